#include "catalogue/Discovery_win.h"

#include <windows.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Wow64_win.h"
#include "catalogue/Description_win.h"
#include "catalogue/FolderScan_win.h"
#include "catalogue/Reconcile.h"
#include "settings/SystemHelpers_win.h"

namespace {

constexpr int kWindowsFolder = 0x24;  // CSIDL_WINDOWS
constexpr int kSystemFolder = 0x25;   // CSIDL_SYSTEM
constexpr bool k64BitBuild = sizeof(void*) == 8;

std::string FolderOr(int csidl, const char* failure) {
    std::string folder = SpecialFolderPath(csidl);
    if (folder.empty()) throw Exception(failure);
    return folder;
}

}  // namespace

TSaverList DiscoverSavers(const std::string& saverListFile) {
    TSaverList savers;
    if (FileExists(saverListFile)) savers.LoadFromFile(saverListFile);
    // Discovery must see the folders as they are, not as WOW64 redirects them for a 32-bit process,
    // until the end: reconciliation checks whether old paths still exist and reads descriptions.
    // The redirection comes back on however discovery ends.
    ScopedRedirectionOff redirectionOff;
    std::vector<std::string> found;
    ScanFolder(FolderOr(kWindowsFolder, "Failed to get WINDOWS path"), found);
    ScanFolder(FolderOr(kSystemFolder, "Failed to get SYSTEM path"), found);
    const std::optional<std::string> wow64Folder = SystemWow64Directory();
    const bool haveWow64 = wow64Folder && !wow64Folder->empty();
    if (IsWow64()) {
        if (!haveWow64) throw Exception("Failed to get SYSwow64 path");
        ScanFolder(*wow64Folder, found);
    } else if (k64BitBuild && haveWow64 && FolderExists(*wow64Folder)) {
        // A 64-bit process is never redirected, yet SysWOW64 still holds the 32-bit screensavers.
        ScanFolder(*wow64Folder, found);
    }
    ReconcileSavers(savers, found, FileExists, SaverDescription);
    return savers;
}
