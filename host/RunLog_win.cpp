#include "host/RunLog_win.h"

#include <windows.h>

#include "app/Handles.h"
#include "app/Text.h"

namespace {

std::string ReadAll(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char chunk[16384];
    DWORD got = 0;
    while (file && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

void WriteTo(const std::string& path, DWORD access, DWORD disposition, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

std::string RunLogPathBeside(const std::string& saverListFile) {
    return std::string(ParentFolderOf(saverListFile)) + "\\runlog.txt";
}

void RunLogFile::Write(RunEvent event, const std::string& saverPath) {
    if (path_.empty()) return;
    if (!counted_) {
        lines_ = CountLines(ReadAll(path_));
        counted_ = true;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    // Appending writes go to the end even when another run writes the same file.
    WriteTo(path_, FILE_APPEND_DATA, OPEN_ALWAYS, RunLogLine(time, event, saverPath));
    if (++lines_ <= kRunLogMaxLines) return;
    const std::string text = ReadAll(path_);
    WriteTo(path_, GENERIC_WRITE, CREATE_ALWAYS, std::string(LastLines(text, kRunLogKeepLines)));
    lines_ = kRunLogKeepLines;
}
