// Where the data folder may live and the test record that checks it. No Windows headers: built
// natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
constexpr int kDocumentsCandidate = 4;  // the one built on the documents folder
// Candidate 1..5, "" when its base is unknown; any other index throws Exception "Wrong pathind".
std::string DataFolderCandidateOf(int index, const DataFolderBases& bases);

// "pathdata" is "<test value>,<test file number>".
std::string PathDataText(int32_t value, int32_t number);
enum class PathDataParse { Ok, NoSeparator, BadNumber };
PathDataParse ParsePathData(std::string_view text, int32_t& value, int32_t& number);
