// The program's data folder (saverlist.dat, bug reports) and the web error notice.
#pragma once

#include <cstdint>
#include <string>

#include "settings/DataFolderRules.h"

// The data folder, chosen and verified on first use in the process; "" when none works.
// `installPath` is the base of one of the candidates ("" when unknown). A "pathind" out of range
// is removed, then throws Exception "Wrong pathind": the next start chooses afresh.
std::string GetDataFolder(const std::string& installPath, StartNotices notices);
// Discards the current choice and chooses afresh.
std::string RechooseDataFolder(const std::string& installPath, StartNotices notices);
// Opens the product's error page for `code` in the user's browser, with the address (8 hex
// digits) when not 0 and the comment when not empty.
void SendWebErrorNotice(int code, uintptr_t address = 0, const std::string& comment = "");

// The steps behind GetDataFolder, for the tests and for callers that need one of them alone.
// Candidate 1..5 ("" when its base folder is unknown); throws Exception "Wrong pathind" otherwise.
std::string DataFolderCandidate(int index, const std::string& installPath);
// Tries the candidates in order; the index chosen, or 0 (after "Failed to write Data files" and
// notice 101 when they are shown).
int ChooseDataFolder(const std::string& installPath, StartNotices notices);
// Makes `folder` when missing and leaves a test file there; on success records it as "pathind" = index.
bool TryDataFolder(const std::string& folder, int index);
// Writes (unless verifyOnly) and reads back a 4-byte value; a file that fails is deleted.
bool TestDataFile(const std::string& fileName, int32_t value, bool verifyOnly);
