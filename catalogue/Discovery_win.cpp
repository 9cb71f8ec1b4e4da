#include "catalogue/Discovery_win.h"

#include <algorithm>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Random.h"
#include "app/Text.h"
#include "catalogue/Reconcile.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"

TSaverList AllSavers;
std::vector<std::string> FoundSaverFiles;
bool LaunchedFromSettings = false;

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

// The user locale's case-insensitive sort key of `text`, as bytes that compare like CompareStringA.
std::string SortKey(const std::string& text) {
    const int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), -1, nullptr, 0);
    if (size <= 0) return text;
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), -1, key.data(), size);
    return key;
}

}  // namespace

void ListScreensaverFiles(const std::string& folder, std::vector<std::string>& list) {
    WIN32_FIND_DATAA data;
    // The pattern only narrows what the system hands back (the System folder holds thousands of
    // files); the name test below still decides, so short-name matches such as "x.scrx" stay out.
    UniqueFind find(FindFirstFileA((folder + "\\*.scr").c_str(), &data));
    if (!find) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // also "." and ".."
        if (IsScreensaverFileName(data.cFileName)) list.push_back(folder + "\\" + data.cFileName);
    } while (FindNextFileA(find.get(), &data));
}

void ScanFolder(const std::string& folder, bool append) {
    if (!append) FoundSaverFiles.clear();
    if (folder.empty()) return;
    std::string path = folder;
    if (path.back() == '\\') path.pop_back();
    if (!PathMatches(path + "\\*")) return;

    std::vector<std::string> files;
    ListScreensaverFiles(path, files);
    // The order of CompareStringA (user locale, ignoring case), reached through sort keys: comparing
    // the keys bytewise gives CompareString's answer, and each name is mapped once instead of at
    // every one of the n log n comparisons.
    std::vector<std::pair<std::string, size_t>> keyed;
    keyed.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        keyed.emplace_back(SortKey(files[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    FoundSaverFiles.reserve(FoundSaverFiles.size() + files.size());
    for (const auto& entry : keyed)
        FoundSaverFiles.push_back(std::move(files[entry.second]));
}

std::string SaverDescription(const std::string& filePath) {
    const std::string_view name = FileNameOf(filePath);
    std::string description(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
    // A file on a missing medium must not bring up the system's "insert disk" dialog.
    ScopedErrorMode errorMode(SEM_FAILCRITICALERRORS);
    try {
        // Loaded as data only: no imports resolved, no code run, and 32-bit files load into a
        // 64-bit process too. Windows before Vista rejects the image-resource flag.
        UniqueModule module(
            LoadLibraryExA(filePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
            module.reset(LoadLibraryExA(filePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        }
        if (reinterpret_cast<uintptr_t>(module.get()) > 32) {
            char text[255] = {};
            const int length = LoadStringA(module.get(), 1, text, sizeof text);
            if (length > 0) description.assign(text, static_cast<size_t>(length));
        }
    } catch (...) {
    }
    return description;
}

void DiscoverSavers() {
    AllSavers.Clear();
    const std::string& listFile = CurrentSettings().SaverListFile;
    if (FileExists(listFile)) AllSavers.LoadFromFile(listFile);
    {
        // Discovery must see the folders as they are, not as WOW64 redirects them for a 32-bit
        // process; the redirection comes back on however the scan ends.
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
    }
    ReconcileSavers(AllSavers, FoundSaverFiles, FileExists, SaverDescription);
}

void StartCatalogue() {
    SeedRandom(GetTickCount());
    FoundSaverFiles.clear();
    AllSavers.Clear();
    LoadSettings();
    DiscoverSavers();
    LaunchedFromSettings = false;
}

void FreeCatalogue() {
    AllSavers.Clear();
    FoundSaverFiles.clear();
    FoundSaverFiles.shrink_to_fit();
}

void StopCatalogue() {
    FreeCatalogue();
    ExitProcess(0);
}
