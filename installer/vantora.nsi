; Installer for Vantora, one script for both architectures:
;   makensis -DARCH=x64|x86 -DVERSION=1.2.0.0 -DSTAGE=<folder with the stripped programs> -DOUTFILE=<installer> vantora.nsi
; vantora.scr goes where the system's Screen Saver dialog lists screensavers of its architecture;
; vtagent.exe and the uninstaller go to the install folder, which HKLM "Path" names for vantora.scr.

Unicode true
!ifndef ARCH | VERSION | STAGE | OUTFILE
    !error "Define ARCH, VERSION, STAGE and OUTFILE"
!endif
!if "${ARCH}" == "x64"
    Target amd64-unicode
!else if "${ARCH}" == "x86"
    Target x86-unicode
!else
    !error "ARCH must be x64 or x86"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

!define PRODUCT "Vantora"
!define PUBLISHER "Kestrella"
!define INSTALL_KEY "Software\Kestrella\Vantora"
!define SETTINGS_KEY "Software\Kestrella\Vantora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define DESKTOP_KEY "Control Panel\Desktop"
!define AGENT_CLASS "messages_Vantora"
!define AGENT_TITLE "Vantora_messages"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE 1

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "x64"
    InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
    InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the last install went. The key is read in the installer's own registry
; view, the one its vantora.scr reads too.
InstallDirRegKey HKLM "${INSTALL_KEY}" "Path"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${STAGE}\vantora.ico"
!define MUI_UNICON "${STAGE}\vantora.ico"
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_TEXT "Vantora is installed. Open the Screen Saver settings of Windows to choose it or to change its settings."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The folder where vantora.scr and the demo screensavers go.
Var SaverFolder

; A 32-bit installer on 64-bit Windows writes to SysWOW64 whatever it asks for, so it names that
; folder itself: the path it records must be the one a 64-bit reader finds.
!macro FindSaverFolder
    !if "${ARCH}" == "x64"
        StrCpy $SaverFolder $SYSDIR
    !else
        ${If} ${RunningX64}
            StrCpy $SaverFolder "$WINDIR\SysWOW64"
        ${Else}
            StrCpy $SaverFolder $SYSDIR
        ${EndIf}
    !endif
!macroend

!macro RefuseWrongWindows
    !if "${ARCH}" == "x64"
        ${IfNot} ${RunningX64}
            MessageBox MB_OK|MB_ICONSTOP "This installer is for 64-bit Windows. Please use the 32-bit installer." /SD IDOK
            Abort
        ${EndIf}
    !endif
!macroend

; Ends the agent of this session through its window, so its file can be replaced or removed: a close
; request first, and only if the agent has not ended after 10 s, termination.
!macro DefineCloseAgent un
Function ${un}CloseAgent
    FindWindow $0 "${AGENT_CLASS}" "${AGENT_TITLE}"
    ${If} $0 == 0
        Return
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r3'
        ${If} $3 != 0
            System::Call 'kernel32::TerminateProcess(p r2, i 0)'
            System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineCloseAgent ""
!insertmacro DefineCloseAgent "un."

Function .onInit
    !insertmacro RefuseWrongWindows
    !insertmacro FindSaverFolder
FunctionEnd

Section "Vantora (required)" SecMain
    SectionIn RO
    Call CloseAgent
    SetOutPath $SaverFolder
    File "${STAGE}\vantora.scr"
    SetOutPath $INSTDIR
    File "${STAGE}\vtagent.exe"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${INSTALL_KEY}" "Path" $INSTDIR
    ; Where vantora.scr is, for the agent that sets it back as the system screensaver.
    WriteRegStr HKLM "${INSTALL_KEY}" "Saver" "$SaverFolder\vantora.scr"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vtagent.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" $INSTDIR
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Demo screensavers" SecDemos
    SetOutPath $SaverFolder
    File "${STAGE}\vstars.scr"
    File "${STAGE}\vlines.scr"
    File "${STAGE}\vplasma.scr"
SectionEnd

; The screensaver it replaces is remembered per user, beside the user's settings, for the
; uninstaller to put back. Setting Vantora again over itself keeps the first one remembered.
Section "Make Vantora the system screensaver" SecSystem
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 != "$SaverFolder\vantora.scr"
        WriteRegStr HKCU "${SETTINGS_KEY}" "PreviousSaver" $0
        ReadRegStr $1 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
        WriteRegStr HKCU "${SETTINGS_KEY}" "PreviousSaverActive" $1
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverFolder\vantora.scr"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE}) i'
SectionEnd

; Programs and Features shows the size of what this install put on disk, in KB.
!macro AddSaverSize name
    ${GetSize} $SaverFolder "/M=${name} /S=0K /G=0" $1 $2 $3
    IntOp $0 $0 + $1
!macroend
Section "-Size"
    ${GetSize} $INSTDIR "/S=0K" $0 $1 $2
    !insertmacro AddSaverSize vantora.scr
    !insertmacro AddSaverSize vstars.scr
    !insertmacro AddSaverSize vlines.scr
    !insertmacro AddSaverSize vplasma.scr
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Vantora, and its tray agent."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDemos} "Three small screensavers for Vantora to rotate: stars, lines and plasma."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecSystem} "Make Vantora the screensaver Windows starts. Uninstalling puts back the one it replaces."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
    !insertmacro FindSaverFolder
FunctionEnd

Section "-un.Vantora"
    Call un.CloseAgent

    ; The screensaver comes back only while Vantora is still the one set: a later choice of the
    ; user's stays. With nothing remembered, no screensaver is better than a missing file.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == "$SaverFolder\vantora.scr"
        ReadRegStr $1 HKCU "${SETTINGS_KEY}" "PreviousSaver"
        ${If} $1 == ""
            DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${Else}
            WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
        ${EndIf}
        ReadRegStr $2 HKCU "${SETTINGS_KEY}" "PreviousSaverActive"
        ${If} $2 == "0"
            System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATEINIFILE}) i'
        ${EndIf}
    ${EndIf}
    DeleteRegValue HKCU "${SETTINGS_KEY}" "PreviousSaver"
    DeleteRegValue HKCU "${SETTINGS_KEY}" "PreviousSaverActive"
    DeleteRegValue HKCU "${RUN_KEY}" "Vantora"

    Delete /REBOOTOK "$SaverFolder\vantora.scr"
    Delete /REBOOTOK "$SaverFolder\vstars.scr"
    Delete /REBOOTOK "$SaverFolder\vlines.scr"
    Delete /REBOOTOK "$SaverFolder\vplasma.scr"
    Delete /REBOOTOK "$INSTDIR\vtagent.exe"
    Delete "$INSTDIR\uninstall.exe"
    ; Not /r: the user's list may live in the install folder's Data folder.
    RMDir "$INSTDIR"

    DeleteRegKey HKLM "${INSTALL_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Kestrella"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Off by default, so a silent uninstall keeps them: the settings key and saverlist.dat in each
; folder vantora.scr may have chosen for its data.
Section /o "un.Remove my settings and screensaver list" UnSecData
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Kestrella"
    !macro RemoveDataFolder folder
        Delete "${folder}\saverlist.dat"
        RMDir "${folder}"
    !macroend
    !insertmacro RemoveDataFolder "$APPDATA\Vantora"
    !insertmacro RemoveDataFolder "$APPDATA\Vantora_Data"
    !insertmacro RemoveDataFolder "$INSTDIR\Data"
    !insertmacro RemoveDataFolder "$DOCUMENTS\Vantora_Data"
    !insertmacro RemoveDataFolder "$TEMP\Vantora_Data"
    RMDir "$INSTDIR"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "Also remove your Vantora settings and your list of screensavers."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
