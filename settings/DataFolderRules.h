// Where the data folder may live and the test record that checks it. No Windows headers: built
// natively too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whether loading the settings may stop at a message box ("Corrupted registry.", "Failed to write
// Data files") and open the web error notices. A full-screen or preview run omits them: nothing
// modal may stand before the saver there, and the run goes on with the catalogue in memory.
enum class StartNotices { Show, Omit };

// saverlist.dat in the data folder, or in the install folder when no data folder is known; ""
// when neither is, so that nothing lands in the root of the current drive.
std::string SaverListPath(const std::string& dataFolder, const std::string& installPath);

// The base folders the data-folder candidates are built on; "" for an unknown one.
struct DataFolderBases {
    std::string appData;      // no trailing backslash
    std::string installPath;  // no trailing backslash
    std::string documents;    // no trailing backslash
    std::string temp;         // with its trailing backslash
};
constexpr int kDataFolderCandidates = 5;
constexpr int kDocumentsCandidate = 4;  // the one built on the documents folder
// Candidate 1..5, "" when its base is unknown; any other index throws Exception "Wrong pathind".
std::string DataFolderCandidateOf(int index, const DataFolderBases& bases);
// "pathind" read as an integer: 0 when no folder is chosen yet (missing, "0", or text that is no
// number), the candidate 1..5, or nothing when the number is out of range.
std::optional<int> ParsePathInd(std::string_view text);

// "pathdata" is "<test value>,<test file number>".
std::string PathDataText(int32_t value, int32_t number);
// Its parts; one that is missing or not a decimal integer is empty, so a damaged record may still
// name the test file it left behind.
struct PathData {
    std::optional<int32_t> value;
    std::optional<int32_t> number;
};
PathData ParsePathData(std::string_view text);
