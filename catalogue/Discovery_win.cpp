#include "catalogue/Discovery_win.h"

#include <windows.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Wow64_win.h"
#include "catalogue/Catalogue_win.h"
#include "catalogue/Description_win.h"
#include "catalogue/FolderScan_win.h"
#include "catalogue/Reconcile.h"
#include "settings/SystemHelpers_win.h"

namespace {

constexpr int kWindowsFolder = 0x24;  // CSIDL_WINDOWS
constexpr int kSystemFolder = 0x25;   // CSIDL_SYSTEM
constexpr UINT kFolderBuffer = 1000;
constexpr bool k64BitBuild = sizeof(void*) == 8;

std::string FolderOr(int csidl, UINT(WINAPI* fallback)(LPSTR, UINT), const char* failure) {
    std::string folder = SpecialFolderPath(csidl);
    if (folder.empty()) {
        char buffer[kFolderBuffer] = {};
        const UINT length = fallback(buffer, kFolderBuffer);
        if (length > 0 && length < kFolderBuffer) folder.assign(buffer, length);
    }
    if (folder.empty()) throw Exception(failure);
    return folder;
}

}  // namespace

void DiscoverSavers(const std::string& saverListFile) {
    AllSavers.Clear();
    if (FileExists(saverListFile)) AllSavers.LoadFromFile(saverListFile);
    // Discovery must see the folders as they are, not as WOW64 redirects them for a 32-bit process,
    // until the end: reconciliation checks whether old paths still exist and reads descriptions.
    // The redirection comes back on however discovery ends.
    ScopedRedirectionOff redirectionOff;
    ScanFolder(FolderOr(kWindowsFolder, GetWindowsDirectoryA, "Failed to get WINDOWS path"), false);
    ScanFolder(FolderOr(kSystemFolder, GetSystemDirectoryA, "Failed to get SYSTEM path"), true);
    if (IsWow64()) {
        const std::string wow64Folder = SysWow64Folder();
        if (wow64Folder.empty()) throw Exception("Failed to get SYSwow64 path");
        ScanFolder(wow64Folder, true);
    } else if (k64BitBuild) {
        // A 64-bit process is never redirected, yet SysWOW64 still holds the 32-bit screensavers.
        const std::optional<std::string> wow64Folder = SystemWow64Directory();
        if (wow64Folder && !wow64Folder->empty() && FolderExists(*wow64Folder)) ScanFolder(*wow64Folder, true);
    }
    ReconcileSavers(AllSavers, FoundSaverFiles, FileExists, SaverDescription);
}
