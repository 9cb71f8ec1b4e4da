// The rules behind the settings: how stored text becomes a setting, how the "Order" word packs
// the display order and the change schedule, where the data folder may live, and the texts the
// program hands to the shell. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t kSettingMax = 1000000000;

// Every integer setting is kept within 0..1000000000.
int32_t ClampSetting(int32_t value);
// The stored text of an integer setting: empty or not a decimal integer gives `fallback`; the
// result, fallback included, is clamped.
int32_t SettingFromText(std::string_view text, int32_t fallback);

// "Order": the order mode in the low three bits (3 reads as Sequential), 8 for once a day, 16
// for every ChangeTime minutes.
struct OrderSettings {
    int32_t orderMode = 1;
    bool changeOnceADay = false;
    bool changeEvery = true;
};
constexpr int32_t kDefaultOrder = 17;
OrderSettings DecodeOrder(int32_t value);
int32_t EncodeOrder(int32_t orderMode, bool changeOnceADay, bool changeEvery);

// Windows sets this timeout (24 h 4 min) itself; it is never the user's choice.
constexpr int32_t kForeignScreenSaveTimeout = 86640;
// Whether loading must put the stored Delay back into the system timeout.
bool TimeoutNeedsRestore(int32_t systemTimeout, bool restoreDelay, int32_t delay);

// Whole days since 30 December 1899 for a civil date (the registry's date form, no fraction).
double CivilDate(int year, int month, int day);

// The agent's start entry: the quoted path of vtagent.exe in the install folder.
std::string AgentCommand(const std::string& installPath);

// saverlist.dat in the data folder, or in the install folder when no data folder is known.
std::string SaverListPath(const std::string& dataFolder, const std::string& installPath);

// The base folders the data-folder candidates are built on; "" for an unknown one.
struct DataFolderBases {
    std::string appData;      // no trailing backslash
    std::string installPath;  // no trailing backslash
    std::string documents;    // no trailing backslash
    std::string temp;         // with its trailing backslash
};
constexpr int kDataFolderCandidates = 5;
// Candidate 1..5, "" when its base is unknown; any other index throws Exception "Wrong pathind".
std::string DataFolderCandidateOf(int index, const DataFolderBases& bases);

// "pathdata" is "<test value>,<test file number>".
std::string PathDataText(int32_t value, int32_t number);
enum class PathDataParse { Ok, NoSeparator, BadNumber };
PathDataParse ParsePathData(std::string_view text, int32_t& value, int32_t& number);

// The product's web site; the error page and the bug-report form hang below it.
extern const char kSiteAddress[];
// The error page for `code`, with the address (at least 8 upper-case hex digits) when not 0 and
// the comment, percent-encoded, when not empty.
std::string WebErrorUrl(int code, uintptr_t address, std::string_view comment);
// Percent-encodes everything but letters, digits and -._~, so any text is one query value.
std::string UrlEncode(std::string_view text);
