#include "catalogue/Description_win.h"

#include <windows.h>

#include <cstring>

#include "app/Handles.h"
#include "app/Text.h"

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
            // A string resource may hold a zero byte; the list file cannot, so the name ends there.
            const size_t kept = length > 0 ? strnlen(text, static_cast<size_t>(length)) : 0;
            if (kept > 0) description.assign(text, kept);
        }
    } catch (...) {
    }
    return description;
}
