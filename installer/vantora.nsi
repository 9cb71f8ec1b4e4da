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
!define SETTINGS_CLASS "TLSW_Vantora"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE 1
; HKEY_CURRENT_USER as the System plug-in must pass it: sign-extended on 64-bit Windows.
!define HKCU_HANDLE -2147483647
!define REG_EXPAND_SZ 2
; ERROR_SUCCESS_REBOOT_REQUIRED: a file in use is replaced when Windows restarts.
!define EXIT_REBOOT_NEEDED 3010

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
; 1 when this run ended a running agent, which it then starts again.
Var AgentWasRunning

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

; Closes the window found by class and title (pushed in that order; "" for any title) and ends its
; process: a close request first, and only if the process has not ended after 10 s, termination.
; Pushes 1 when there was such a window, else 0.
!macro DefineCloseWindowProcess un
Function ${un}CloseWindowProcess
    Pop $1
    Pop $0
    FindWindow $0 $0 $1
    ${If} $0 == 0
        Push 0
        Return
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r1'
        ${If} $1 != 0
            System::Call 'kernel32::TerminateProcess(p r2, i 0)'
            System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Push 1
FunctionEnd

; Ends this session's agent, so its file can be replaced or removed.
Function ${un}CloseAgent
    Push "${AGENT_CLASS}"
    Push "${AGENT_TITLE}"
    Call ${un}CloseWindowProcess
    Pop $AgentWasRunning
FunctionEnd

; Ends every running copy of the screensavers this installer puts in the system folder, so that
; no old file stays in use: Vantora's settings windows are asked to close (their Cancel writes
; nothing), then whatever still runs from those files (a full-screen run, a preview, a demo) is
; terminated. A screensaver runs only while nobody uses the computer, so nothing is lost.
Function ${un}EndOurSavers
    ${For} $R0 1 5
        Push "${SETTINGS_CLASS}"
        Push ""
        Call ${un}CloseWindowProcess
        Pop $0
        ${IfThen} $0 == 0 ${|} ${Break} ${|}
    ${Next}
    ; Room for 4096 process ids.
    System::Alloc 16384
    Pop $R0
    System::Call 'kernel32::K32EnumProcesses(p R0, i 16384, *i .R1) i .R2'
    ${IfThen} $R2 == 0 ${|} StrCpy $R1 0 ${|}
    IntOp $R1 $R1 / 4
    StrCpy $R3 0
    ${While} $R3 < $R1
        IntOp $R4 $R3 * 4
        IntPtrOp $R4 $R0 + $R4
        System::Call '*$R4(i .R5)'
        ; PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE
        System::Call 'kernel32::OpenProcess(i 0x00101001, i 0, i R5) p .R6'
        ${If} $R6 P<> 0
            StrCpy $R7 ${NSIS_MAX_STRLEN}
            System::Call 'kernel32::QueryFullProcessImageNameW(p R6, i 0, w .R8, *i R7) i .R9'
            ${GetParent} $R8 $R7
            ${GetFileName} $R8 $R8
            ${If} $R9 <> 0
            ${AndIf} $R7 == $SaverFolder
                ${If} $R8 == "vantora.scr"
                ${OrIf} $R8 == "vstars.scr"
                ${OrIf} $R8 == "vlines.scr"
                ${OrIf} $R8 == "vplasma.scr"
                    DetailPrint "Ending the running $R8 (process $R5)"
                    System::Call 'kernel32::TerminateProcess(p R6, i 0)'
                    System::Call 'kernel32::WaitForSingleObject(p R6, i 10000) i'
                ${EndIf}
            ${EndIf}
            System::Call 'kernel32::CloseHandle(p R6)'
        ${EndIf}
        IntOp $R3 $R3 + 1
    ${EndWhile}
    System::Free $R0
FunctionEnd
!macroend
!insertmacro DefineCloseWindowProcess ""
!insertmacro DefineCloseWindowProcess "un."

; Copies a string value of the current user, type and all (REG_SZ or REG_EXPAND_SZ), or deletes
; the target when the source is absent: what the installer remembers is put back exactly.
!macro CopyUserValue fromKey fromName toKey toName
    ; KEY_QUERY_VALUE; the type as stored (SHGetValue would report REG_EXPAND_SZ as REG_SZ).
    System::Call 'advapi32::RegOpenKeyExW(p ${HKCU_HANDLE}, w "${fromKey}", i 0, i 1, *p .R3) i .R2'
    ${If} $R2 == 0
        System::Call 'advapi32::RegQueryValueExW(p R3, w "${fromName}", p 0, *i .R1, p 0, p 0) i .R2'
        System::Call 'advapi32::RegCloseKey(p R3)'
    ${EndIf}
    ReadRegStr $R0 HKCU "${fromKey}" "${fromName}"
    ${If} $R2 != 0
        DeleteRegValue HKCU "${toKey}" "${toName}"
    ${ElseIf} $R1 == ${REG_EXPAND_SZ}
        WriteRegExpandStr HKCU "${toKey}" "${toName}" $R0
    ${Else}
        WriteRegStr HKCU "${toKey}" "${toName}" $R0
    ${EndIf}
!macroend

; A file of the system folder written while it may be in use: when a copy still runs (one that
; could not be ended), the new file replaces it when Windows restarts, and the exit code says so.
!macro InstallSaverFile name
    ClearErrors
    SetOverwrite try
    File "${STAGE}\${name}"
    ${If} ${Errors}
        SetOverwrite on
        File "/oname=${name}.new" "${STAGE}\${name}"
        Rename /REBOOTOK "$SaverFolder\${name}.new" "$SaverFolder\${name}"
        DetailPrint "${name} is in use: the new one takes its place when Windows restarts."
    ${EndIf}
    SetOverwrite on
!macroend

Function .onInit
    !insertmacro RefuseWrongWindows
    !insertmacro FindSaverFolder
FunctionEnd

Section "Vantora (required)" SecMain
    SectionIn RO
    Call CloseAgent
    Call EndOurSavers
    SetOutPath $SaverFolder
    !insertmacro InstallSaverFile vantora.scr
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
    !insertmacro InstallSaverFile vstars.scr
    !insertmacro InstallSaverFile vlines.scr
    !insertmacro InstallSaverFile vplasma.scr
SectionEnd

; The screensaver it replaces is remembered per user, beside the user's settings, for the
; uninstaller to put back exactly, absent values included. Setting Vantora again over itself keeps
; the first one remembered.
Section "Make Vantora the system screensaver" SecSystem
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${GetFileName} $0 $0
    ${If} $0 != "vantora.scr"
        !insertmacro CopyUserValue "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${SETTINGS_KEY}" "PreviousSaver"
        !insertmacro CopyUserValue "${DESKTOP_KEY}" "ScreenSaveActive" "${SETTINGS_KEY}" "PreviousSaverActive"
        WriteRegStr HKCU "${SETTINGS_KEY}" "PreviousSaverKept" 1
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

; The agent comes back when this run ended it or when it starts with Windows; its start entry
; follows the folder of this install.
Section "-Agent"
    ReadRegStr $0 HKCU "${RUN_KEY}" "Vantora"
    ${If} $0 != ""
        WriteRegStr HKCU "${RUN_KEY}" "Vantora" '"$INSTDIR\vtagent.exe"'
    ${EndIf}
    ${If} $0 != ""
    ${OrIf} $AgentWasRunning == 1
        SetOutPath $INSTDIR
        Exec '"$INSTDIR\vtagent.exe"'
    ${EndIf}
SectionEnd

Function .onInstSuccess
    ${If} ${RebootFlag}
        SetErrorLevel ${EXIT_REBOOT_NEEDED}
    ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Vantora, and its tray agent."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDemos} "Three small screensavers for Vantora to rotate: stars, lines and plasma."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecSystem} "Make Vantora the screensaver Windows starts. Uninstalling puts back the one it replaces."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
    !insertmacro FindSaverFolder
FunctionEnd

; Deletes a screensaver of the system folder unless it is the system screensaver ($1 holds its
; file name): a demo the user chose stays.
!macro RemoveSaverFile name
    ${If} $1 != "${name}"
        Delete /REBOOTOK "$SaverFolder\${name}"
    ${EndIf}
!macroend

Section "-un.Vantora"
    Call un.CloseAgent
    Call un.EndOurSavers

    ; The screensaver comes back only while Vantora is still the one set: a later choice of the
    ; user's stays. With nothing remembered, no screensaver is better than a missing file. The
    ; registry gets back exactly what it held; the running session follows it.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${GetFileName} $0 $0
    ReadRegStr $1 HKCU "${SETTINGS_KEY}" "PreviousSaverKept"
    ${If} $0 == "vantora.scr"
        ${If} $1 == 1
            !insertmacro CopyUserValue "${SETTINGS_KEY}" "PreviousSaver" "${DESKTOP_KEY}" "SCRNSAVE.EXE"
            ReadRegStr $2 HKCU "${SETTINGS_KEY}" "PreviousSaverActive"
            ${If} $2 == 1
                System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i 0) i'
            ${Else}
                System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i 0) i'
            ${EndIf}
            !insertmacro CopyUserValue "${SETTINGS_KEY}" "PreviousSaverActive" "${DESKTOP_KEY}" "ScreenSaveActive"
        ${Else}
            DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${EndIf}
    ${EndIf}
    DeleteRegValue HKCU "${SETTINGS_KEY}" "PreviousSaver"
    DeleteRegValue HKCU "${SETTINGS_KEY}" "PreviousSaverActive"
    DeleteRegValue HKCU "${SETTINGS_KEY}" "PreviousSaverKept"
    DeleteRegValue HKCU "${RUN_KEY}" "Vantora"

    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${GetFileName} $1 $1
    !insertmacro RemoveSaverFile vantora.scr
    !insertmacro RemoveSaverFile vstars.scr
    !insertmacro RemoveSaverFile vlines.scr
    !insertmacro RemoveSaverFile vplasma.scr
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
