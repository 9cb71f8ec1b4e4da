// Opening, retrying and replacing saverlist.dat. The bytes themselves are built in ListFile.cpp.
#include <windows.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Text.h"
#include "catalogue/SaverList.h"
#include "settings/SystemHelpers_win.h"

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Names the file and the system's reason, for the user who has to put it right.
EFCreateError CreateError(const std::string& name, DWORD code) {
    return EFCreateError("Unable to create file " + Quoted(name) + ": " + SystemErrorText(code));
}

// The new file goes beside the old one, so that the final rename stays on one volume and is atomic.
std::string TempNameBeside(const std::string& name) {
    std::string folder(ParentFolderOf(name));
    if (folder.empty()) folder = ".";
    char temp[MAX_PATH] = {};
    if (!GetTempFileNameA(folder.c_str(), "vtl", 0, temp)) return {};
    return temp;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file);
}

}  // namespace

void TSaverList::SaveToFile(const std::string& name) const {
    std::string bytes;
    SaveToStream(bytes);  // may throw before any file is touched

    std::string temp = TempNameBeside(name);
    if (temp.empty()) throw CreateError(name, GetLastError());
    bool written;
    {
        UniqueFile file(CreateFileA(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.get(), bytes);
    }
    // Until this rename succeeds the old list, with all its ticks, stays as it was.
    if (!written || !MoveFileExA(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileA(temp.c_str());
        throw CreateError(name, code);
    }
}

void TSaverList::LoadFromFile(const std::string& name) {
    // Another process may be replacing the file right now: retry briefly before giving up.
    constexpr DWORD kRetryWaitsMs[] = {100, 500};
    auto open = [&] {
        return UniqueFile(
            CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    UniqueFile file = open();
    for (DWORD wait : kRetryWaitsMs) {
        if (file) break;
        Sleep(wait);
        file = open();
    }
    if (!file) throw EFOpenError("Unable to open file " + Quoted(name));

    std::string bytes;
    char chunk[16384];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    LoadFromStream(bytes);
}
