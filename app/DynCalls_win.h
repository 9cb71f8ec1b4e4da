// Functions looked up by name at run time, one table per DLL. Each table is filled the first time
// it is asked for, so a DLL that is not always needed (shell32, psapi, uxtheme, comctl32, mpr) is
// loaded only by the code that uses it; shell32 in particular stays out of a full-screen start.
// An entry is null when the DLL or the export is missing: the caller then skips the feature.
// The entries are plain function pointers, so a test may replace one.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

// X(name, return type, parameter list)
#define VANTORA_KERNEL32_CALLS(X)                     \
    X(IsWow64Process, BOOL, (HANDLE, PBOOL))          \
    X(Wow64DisableWow64FsRedirection, BOOL, (PVOID*)) \
    X(Wow64RevertWow64FsRedirection, BOOL, (PVOID))   \
    X(GetSystemWow64DirectoryA, UINT, (LPSTR, UINT))  \
    X(GlobalMemoryStatusEx, BOOL, (LPMEMORYSTATUSEX))

#define VANTORA_SHELL32_CALLS(X)                               \
    X(SHGetSpecialFolderPathA, BOOL, (HWND, LPSTR, int, BOOL)) \
    X(ShellExecuteA, HINSTANCE, (HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT))

// psapi's PROCESS_MEMORY_COUNTERS is passed as bytes: its header renames the export.
#define VANTORA_PSAPI_CALLS(X) X(GetProcessMemoryInfo, BOOL, (HANDLE, void*, DWORD))

#define VANTORA_UXTHEME_CALLS(X)                                                        \
    X(IsThemeActive, BOOL, ())                                                          \
    X(IsAppThemed, BOOL, ())                                                            \
    X(OpenThemeData, HTHEME, (HWND, LPCWSTR))                                           \
    X(CloseThemeData, HRESULT, (HTHEME))                                                \
    X(DrawThemeBackground, HRESULT, (HTHEME, HDC, int, int, const RECT*, const RECT*))  \
    X(DrawThemeParentBackground, HRESULT, (HWND, HDC, RECT*))                           \
    X(GetThemeBackgroundContentRect, HRESULT, (HTHEME, HDC, int, int, LPCRECT, LPRECT)) \
    X(EnableThemeDialogTexture, HRESULT, (HWND, DWORD))                                 \
    X(GetThemePartSize, HRESULT, (HTHEME, HDC, int, int, RECT*, enum THEMESIZE, SIZE*)) \
    X(IsThemeBackgroundPartiallyTransparent, BOOL, (HTHEME, int, int))

#define VANTORA_COMCTL32_CALLS(X)                                \
    X(InitCommonControlsEx, BOOL, (const INITCOMMONCONTROLSEX*)) \
    X(_TrackMouseEvent, BOOL, (LPTRACKMOUSEEVENT))

// The Windows 9x password provider.
#define VANTORA_MPR_CALLS(X) X(PwdChangePasswordA, DWORD, (LPCSTR, HWND, DWORD, DWORD))

#define VANTORA_DYN_ENTRY(name, result, params) result(WINAPI* name) params = nullptr;
struct Kernel32Calls {
    VANTORA_KERNEL32_CALLS(VANTORA_DYN_ENTRY)
};
struct Shell32Calls {
    VANTORA_SHELL32_CALLS(VANTORA_DYN_ENTRY)
};
struct PsapiCalls {
    VANTORA_PSAPI_CALLS(VANTORA_DYN_ENTRY)
};
struct UxthemeCalls {
    VANTORA_UXTHEME_CALLS(VANTORA_DYN_ENTRY)
};
struct Comctl32Calls {
    VANTORA_COMCTL32_CALLS(VANTORA_DYN_ENTRY)
};
struct MprCalls {
    VANTORA_MPR_CALLS(VANTORA_DYN_ENTRY)
};
#undef VANTORA_DYN_ENTRY

// Kernel32, loaded once; throws Exception "HKernel=0" when it cannot be.
HMODULE KernelModule();

// The tables, each filled on its first use.
Kernel32Calls& DynKernel32();
Shell32Calls& DynShell32();
PsapiCalls& DynPsapi();
UxthemeCalls& DynUxtheme();
Comctl32Calls& DynComctl32();
MprCalls& DynMpr();
