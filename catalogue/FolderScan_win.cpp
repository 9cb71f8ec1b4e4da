#include "catalogue/FolderScan_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/Handles.h"
#include "catalogue/Reconcile.h"
#include "settings/SystemHelpers_win.h"

namespace {

// The user locale's case-insensitive sort key of `text`, as bytes that compare like CompareStringA.
std::string SortKey(const std::string& text) {
    const int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), -1, nullptr, 0);
    if (size <= 0) return text;
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), -1, key.data(), size);
    return key;
}

// The file's name as the ANSI code page holds it: the long name, else the short 8.3 name, else
// nothing. A name with characters the code page lacks would come back with '?' in them and could
// never be started, and neither can a path longer than MAX_PATH.
std::optional<std::string> AnsiName(const std::string& folder, const WIN32_FIND_DATAW& data) {
    for (const wchar_t* name : {data.cFileName, data.cAlternateFileName}) {
        if (!*name) continue;
        BOOL lossy = FALSE;
        char ansi[MAX_PATH] = {};
        // A UTF-8 code page holds every name, and rejects the loss check's flag and flag pointer.
        const bool utf8 = GetACP() == CP_UTF8;
        const int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, name, -1, ansi, sizeof ansi,
                                               nullptr, utf8 ? nullptr : &lossy);
        if (length > 0 && !lossy && folder.size() + 1 + strlen(ansi) < MAX_PATH) return std::string(ansi);
    }
    return std::nullopt;
}

}  // namespace

void ListScreensaverFiles(const std::string& folder, std::vector<std::string>& list) {
    WIN32_FIND_DATAW data;
    // The pattern only narrows what the system hands back (the System folder holds thousands of
    // files); the name test below still decides, so short-name matches such as "x.scrx" stay out.
    UniqueFind find(FindFirstFileW(ToWide(folder + "\\*.scr").c_str(), &data));
    if (!find) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // also "." and ".."
        const std::optional<std::string> name = AnsiName(folder, data);
        if (name && IsScreensaverFileName(*name)) list.push_back(folder + "\\" + *name);
    } while (FindNextFileW(find.get(), &data));
}

void ScanFolder(const std::string& folder, std::vector<std::string>& found) {
    if (folder.empty()) return;
    std::string path = folder;
    if (path.back() == '\\') path.pop_back();
    // A missing folder lists nothing: reading a large one twice would cost every start.

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
    found.reserve(found.size() + files.size());
    for (const auto& entry : keyed)
        found.push_back(std::move(files[entry.second]));
}
