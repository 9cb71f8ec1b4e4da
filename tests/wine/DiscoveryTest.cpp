// Discovery over the prefix's real Windows, System and SysWOW64 folders, with screensaver files
// made on the spot (all named vtt*, or Vantora.SCR, and removed afterwards).
#include <gtest/gtest.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Text.h"
#include "catalogue/Description_win.h"
#include "catalogue/Discovery_win.h"
#include "catalogue/FolderScan_win.h"
#include "catalogue/Launch_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/PeImage.h"
#include "tests/wine/WineTest.h"

namespace {

const std::string kWindows = "C:\\windows", kSystem = kWindows + "\\system32", kWow64 = kWindows + "\\syswow64";

bool Ours(const std::string& path) {
    const std::string name = AsciiLower(FileNameOf(path));
    return name.rfind("vtt", 0) == 0 || name == "vantora.scr";
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SpecialFolderPath(0x24), kWindows);
        ASSERT_EQ(SpecialFolderPath(0x25), kSystem);
        char wow64[MAX_PATH] = {};
        ASSERT_EQ(kWow64, std::string(wow64, GetSystemWow64DirectoryA(wow64, MAX_PATH)));
        // 64-bit Windows always has it; a fresh Wine prefix may not have made it yet.
        CreateDirectoryA(kWow64.c_str(), nullptr);
        TearDown();
        listFile = data / "saverlist.dat";
    }
    void TearDown() override {
        for (const std::string& folder : {kWindows, kSystem, kWow64}) {
            WIN32_FIND_DATAA found;
            UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
            for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found)) {
                if (!Ours(found.cFileName)) continue;
                const std::string path = folder + "\\" + found.cFileName;
                if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
            }
        }
    }

    static std::string Place(const std::string& folder,
                             const std::string& name,
                             const std::string& description,
                             PeKind kind = PeKind::Pe32Plus) {
        WriteWholeFile(folder + "\\" + name, MakeResourceImage(kind, description));
        return folder + "\\" + name;
    }

    // "description|path" of the entries made by these tests, in catalogue order, with "|-" when
    // unticked and "|<n>" for a non-zero Reserved.
    static std::vector<std::string> Catalogued(const TSaverList& savers) {
        std::vector<std::string> out;
        for (int i = 0; i < savers.Count(); ++i) {
            const TSaverItem item = savers.GetItem(i);
            if (!Ours(item.FilePath)) continue;
            out.push_back(item.Description + "|" + item.FilePath + (item.Checked ? "" : "|-") +
                          (item.Reserved ? "|" + std::to_string(item.Reserved) : ""));
        }
        return out;
    }

    TestFolder data;
    std::string listFile;
};

// Within a folder in the locale's order ignoring case, folder after folder when appending.
TEST_F(Discovery, ScansFolderByFolderInLocaleOrder) {
    TestFolder dir;
    const char* names[] = {"a-b.scr", "ab.scr", "a'c.scr", "A_b.scr", "\xE9t\xE9.scr", "Ez.scr",    "z.scr",
                           "10.scr",  "9.scr",  "a b.scr", "AB2.scr", "~x.scr",        "co-op.scr", "coop.scr"};
    for (const char* name : names)
        WriteWholeFile(dir / name, "x");
    std::vector<std::string> found;
    ScanFolder(dir.path() + "\\", found);
    ASSERT_EQ(found.size(), std::size(names));
    for (size_t i = 1; i < found.size(); ++i) {
        const std::string &a = found[i - 1], &b = found[i];
        EXPECT_NE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1), CSTR_GREATER_THAN)
            << a << " before " << b;
    }
    ScanFolder(dir / "missing", found);
    ScanFolder("", found);
    ScanFolder(dir.path(), found);
    EXPECT_EQ(found.size(), 2 * std::size(names));
}

// A name the ANSI code page cannot hold would be listed with '?' in it and never start: it is listed
// by its short name instead.
TEST_F(Discovery, ANameOutsideTheCodePageIsListedByAShortNameThatStarts) {
    TestFolder dir;
    const std::wstring path = ToWide(dir.path()) + L"\\\u0437\u0430\u0441\u0442\u0430\u0432\u043a\u0430.scr";
    ASSERT_TRUE(CopyFileW(ToWide(BinFolder() + "\\fixture.scr").c_str(), path.c_str(), FALSE));
    std::vector<std::string> found;
    ScanFolder(dir.path(), found);
    ASSERT_EQ(found.size(), 1u);
    wchar_t longPath[MAX_PATH] = {};
    GetLongPathNameW(ToWide(found[0]).c_str(), longPath, MAX_PATH);
    EXPECT_EQ(std::wstring(longPath), path) << found[0];

    UniqueChildProcess child = RunScreensaver(found[0], nullptr, true, false);
    ASSERT_TRUE(child);
    TerminateProcess(child.Handle(), 0);
    WaitForSingleObject(child.Handle(), 10000);
    DeleteFileW(path.c_str());
}

TEST_F(Discovery, DescriptionsAreReadAsDataFallBackToTheFileNameAndAreCutTo254OrAtAZero) {
    const std::string path = Place(kWow64, "vtt32.scr", "Thirty-two", PeKind::Pe32);
    // Loading it as a module gives a 64-bit process nothing, which would leave only the file name.
    EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr);
    EXPECT_EQ(SaverDescription(path), "Thirty-two");
    EXPECT_EQ(SaverDescription(Place(kSystem, "vttlong.scr", std::string(300, 'd'))), std::string(254, 'd'));
    // The list file cannot hold a zero byte: the name ends at one, and one that starts with it is none.
    EXPECT_EQ(SaverDescription(Place(kSystem, "vttzero.scr", std::string("Front\0back", 10))), "Front");
    Place(kSystem, "vttNul.scr", std::string("\0back", 5));

    const UINT errorMode = GetErrorMode();
    WriteWholeFile(kSystem + "\\vttNoText.scr", MakeResourceImage(PeKind::Pe32Plus, std::nullopt));
    WriteWholeFile(kSystem + "\\vttjunk.scr", "not a program at all");
    for (const char* name : {"vttNoText", "vttNul", "vttjunk", "vttmissing"})
        EXPECT_EQ(SaverDescription(kSystem + "\\" + name + ".scr"), name);
    EXPECT_EQ(SaverDescription("C:\\a.b"), "");
    EXPECT_EQ(GetErrorMode(), errorMode);
}

// From an empty start: every screensaver file of any case once, the first folder's copy of a
// name (Windows, System, SysWOW64), placed by description; an equal description goes last.
TEST_F(Discovery, NewSaversOncePerNamePlacedByDescriptionAndAHeldListFileEndsDiscovery) {
    WriteWholeFile(listFile, "XX not a list file");  // wrong magic: an empty start
    Place(kWindows, "vttb.scr", "beta");
    Place(kSystem, "vttX.Scr", "Ex");
    Place(kSystem, "vtta.scr", "Alpha");
    Place(kWow64, "VTTA.scr", "Alpha 32", PeKind::Pe32);  // a copy of a catalogued name
    Place(kWow64, "vttg.scr", "gamma", PeKind::Pe32);
    Place(kSystem, "Vantora.SCR", "Vantora itself");
    Place(kSystem, "vttnot.scr.txt", "Not one");
    Place(kSystem, "vttlonger.scrx", "Not one either");  // its short name ends in .SCR
    CreateDirectoryA((kSystem + "\\vttdir.scr").c_str(), nullptr);
    const TSaverList first = DiscoverSavers(listFile);
    std::vector<std::string> expected = {"Alpha|C:\\windows\\system32\\vtta.scr", "beta|C:\\windows\\vttb.scr",
                                         "Ex|C:\\windows\\system32\\vttX.Scr", "gamma|C:\\windows\\syswow64\\vttg.scr"};
    EXPECT_EQ(Catalogued(first), expected);

    // Other screensavers of the prefix sort among ours, but only ours are compared.
    first.SaveToFile(listFile);
    Place(kSystem, "vttg2.scr", "GAMMA");
    expected.push_back("GAMMA|C:\\windows\\system32\\vttg2.scr");
    EXPECT_EQ(Catalogued(DiscoverSavers(listFile)), expected);

    // A list file held by another program ends discovery.
    UniqueFile lock(CreateFileA(listFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_THROW(DiscoverSavers(listFile), EFOpenError);
}

}  // namespace
