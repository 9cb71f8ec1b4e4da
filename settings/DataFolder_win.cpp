#include "settings/DataFolder_win.h"

#include <windows.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Random.h"
#include "app/Text.h"
#include "settings/DataFolderRules.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "settings/WebUrl.h"

namespace {

constexpr int kPersonalFolder = 5;  // CSIDL_PERSONAL, the user's documents
constexpr double kTestValueRange = 99999999;
constexpr double kTestNumberRange = 9999;
constexpr int kTestNameAttempts = 101;

std::string DataFolder;

bool WriteTestValue(const std::string& fileName, int32_t value) {
    UniqueFile file(
        CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const auto bits = static_cast<uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
                                    static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    DWORD written = 0;
    return WriteFile(file.get(), bytes, sizeof bytes, &written, nullptr) && written == sizeof bytes;
}

bool ReadTestValue(const std::string& fileName, int32_t& value) {
    UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char bytes[4] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) return false;
    value = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

std::string TestFileName(const std::string& folder, int32_t number) { return folder + "\\" + std::to_string(number); }

// Removes "pathdata" and the test file it names, so that no test file outlives its record.
void DropTestRecord(const std::string& folder) {
    const PathData record = ParsePathData(ReadSettingString("pathdata"));
    if (record.number) DeleteFileA(TestFileName(folder, *record.number).c_str());
    DeleteSetting("pathdata");
}

// The check of a folder chosen at an earlier start: it must still hold its test file with the
// value recorded then. The record and the file go either way, so the test is made only once.
bool StoredTestPasses(const std::string& folder) {
    const std::string pathData = ReadSettingString("pathdata");
    if (pathData.empty()) return true;
    const PathData record = ParsePathData(pathData);
    const bool passed =
        record.value && record.number && TestDataFile(TestFileName(folder, *record.number), *record.value, true);
    DropTestRecord(folder);
    return passed;
}

void SendNotice(StartNotices notices, int code) {
    if (notices == StartNotices::Show) SendWebErrorNotice(code);
}

}  // namespace

std::string DataFolderCandidate(int index, const std::string& installPath) {
    DataFolderBases bases;
    if (index >= 1 && index <= kDataFolderCandidates) {
        bases.appData = AppDataFolder();
        bases.installPath = installPath;
        bases.temp = TempFolder();
        // Only the shell knows the documents folder: asking for it only when its candidate is
        // wanted keeps shell32 out of the starts that use an earlier candidate.
        if (index == kDocumentsCandidate) bases.documents = SpecialFolderPath(kPersonalFolder);
    }
    return DataFolderCandidateOf(index, bases);
}

bool TestDataFile(const std::string& fileName, int32_t value, bool verifyOnly) {
    int32_t stored = 0;
    const bool passed = (verifyOnly || WriteTestValue(fileName, value)) && FileExists(fileName) &&
                        ReadTestValue(fileName, stored) && stored == value;
    if (!passed && FileExists(fileName)) DeleteFileA(fileName.c_str());
    return passed;
}

bool TryDataFolder(const std::string& folder, int index) {
    if (!FolderExists(folder)) {
        EnsureFolder(std::string(ParentFolderOf(folder)));
        EnsureFolder(folder);
    }
    const int32_t value = RandomRounded(kTestValueRange);
    int32_t number = 0;
    std::string fileName;
    for (int attempt = 0; attempt < kTestNameAttempts; ++attempt) {
        number = RandomRounded(kTestNumberRange);
        fileName = TestFileName(folder, number);
        if (!FileExists(fileName)) break;
    }
    if (FileExists(fileName) || !TestDataFile(fileName, value, false)) return false;
    // The test file stays for the check at the next start.
    WriteSettingInt("pathind", index);
    WriteSettingString("pathdata", PathDataText(value, number));
    return true;
}

int ChooseDataFolder(const std::string& installPath, StartNotices notices) {
    for (int index = 1; index <= kDataFolderCandidates; ++index) {
        const std::string candidate = DataFolderCandidate(index, installPath);
        if (!candidate.empty() && TryDataFolder(candidate, index)) {
            DataFolder = candidate;
            return index;
        }
    }
    if (notices == StartNotices::Show) {
        ShowMessage("Failed to write Data files");
        SendWebErrorNotice(101);
    }
    return 0;
}

std::string GetDataFolder(const std::string& installPath, StartNotices notices) {
    if (!DataFolder.empty()) return DataFolder;
    const std::optional<int> stored = ParsePathInd(ReadSettingString("pathind"));
    if (!stored) {
        // Left in place, the value would fail every start from now on.
        DeleteSetting("pathind");
        throw Exception("Wrong pathind");
    }
    if (*stored == 0) {
        ChooseDataFolder(installPath, notices);
    } else {
        DataFolder = DataFolderCandidate(*stored, installPath);
        if (!FolderExists(DataFolder) || !StoredTestPasses(DataFolder)) {
            ChooseDataFolder(installPath, notices);
            // Landing on the same candidate again (or on none) would only repeat the failed test.
            if (ParsePathInd(ReadSettingString("pathind")) == stored) {
                SendNotice(notices, 102);
                DropTestRecord(DataFolder);
            }
        }
    }
    if (DataFolder.empty()) SendNotice(notices, 103);
    return DataFolder;
}

std::string RechooseDataFolder(const std::string& installPath, StartNotices notices) {
    ChooseDataFolder(installPath, notices);
    return GetDataFolder(installPath, notices);
}

void SendWebErrorNotice(int code, uintptr_t address, const std::string& comment) {
    ShellOpen(GetDesktopWindow(), WebErrorUrl(code, address, comment), nullptr, nullptr, SW_SHOWNORMAL);
}
