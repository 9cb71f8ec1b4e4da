// Discovery over the prefix's real Windows, System and SysWOW64 folders, with screensaver files
// made on the spot (all named vtt*, or Vantora.SCR, and removed afterwards).
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Exception.h"
#include "app/Handles.h"
#include "app/Text.h"
#include "catalogue/Discovery_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/PeImage.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

std::string Wow64Directory() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : "";
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        windows = SpecialFolderPath(0x24);
        system = SpecialFolderPath(0x25);
        wow64 = Wow64Directory();
        ASSERT_EQ(windows, "C:\\windows");
        ASSERT_EQ(system, "C:\\windows\\system32");
        ASSERT_EQ(wow64, "C:\\windows\\syswow64");
        // 64-bit Windows always has it; a fresh Wine prefix may not have made it yet.
        CreateDirectoryA(wow64.c_str(), nullptr);
        RemoveOurFiles();
        SaverListFile = data / "saverlist.dat";
        AllSavers.Clear();
        FoundSaverFiles.clear();
    }
    void TearDown() override { RemoveOurFiles(); }

    void RemoveOurFiles() const {
        for (const std::string& folder : {windows, system, wow64}) {
            WIN32_FIND_DATAA found;
            UniqueFind find(FindFirstFileA((folder + "\\vtt*").c_str(), &found));
            if (find) {
                do {
                    const std::string path = folder + "\\" + found.cFileName;
                    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                        RemoveDirectoryA(path.c_str());
                    } else {
                        DeleteFileA(path.c_str());
                    }
                } while (FindNextFileA(find.get(), &found));
            }
            DeleteFileA((folder + "\\Vantora.SCR").c_str());
        }
    }

    static std::string Place(const std::string& folder,
                             const std::string& name,
                             const std::string& description,
                             PeKind kind = PeKind::Pe32Plus) {
        const std::string path = folder + "\\" + name;
        WriteWholeFile(path, MakeResourceImage(kind, description));
        return path;
    }

    // "description|path|tick" of the entries made by these tests, in catalogue order.
    static std::vector<std::string> Ours() {
        std::vector<std::string> out;
        for (int i = 0; i < AllSavers.Count(); ++i) {
            const TSaverItem item = AllSavers.GetItem(i);
            if (AsciiLower(FileNameOf(item.FilePath)).rfind("vtt", 0) != 0) continue;
            out.push_back(item.Description + "|" + item.FilePath + (item.Checked ? "" : "|unticked"));
        }
        return out;
    }

    std::string windows, system, wow64;
    TestFolder data;
};

TEST_F(Discovery, TakesScreensaversOfAnyCaseButNotTheProgramItself) {
    Place(system, "Vantora.SCR", "Vantora itself");
    Place(system, "vttX.Scr", "Ex");
    Place(system, "vttnot.scr.txt", "Not one");
    Place(system, "vttlonger.scrx", "Not one either");  // its short name ends in .SCR
    CreateDirectoryA((system + "\\vttdir.scr").c_str(), nullptr);
    DiscoverSavers();
    EXPECT_EQ(Ours(), std::vector<std::string>{"Ex|C:\\windows\\system32\\vttX.Scr"});
    for (int i = 0; i < AllSavers.Count(); ++i)
        EXPECT_NE(AllSavers.GetItem(i).Description, "Vantora itself");
}

TEST_F(Discovery, ScansFolderByFolderSortedWithinEach) {
    TestFolder dir;
    for (const char* name : {"c.Scr", "B.scr", "a.SCR", "Vantora.scr", "x.txt"})
        WriteWholeFile(dir / name, "x");
    CreateDirectoryA((dir / "d.scr").c_str(), nullptr);
    std::vector<std::string> listed;
    ListScreensaverFiles(dir.path(), listed);
    EXPECT_EQ(listed.size(), 3u);

    FoundSaverFiles = {"left over"};
    ScanFolder(dir.path() + "\\", false);
    EXPECT_EQ(FoundSaverFiles, (std::vector<std::string>{dir / "a.SCR", dir / "B.scr", dir / "c.Scr"}));
    ScanFolder(dir / "missing", true);
    ScanFolder("", true);
    EXPECT_EQ(FoundSaverFiles.size(), 3u);
    ScanFolder(dir.path(), true);
    EXPECT_EQ(FoundSaverFiles.size(), 6u);
    ScanFolder("", false);
    EXPECT_TRUE(FoundSaverFiles.empty());
}

TEST_F(Discovery, ScanOrderIsTheLocaleOrderIgnoringCase) {
    TestFolder dir;
    const char* names[] = {"a-b.scr", "ab.scr", "a'c.scr", "A_b.scr", "\xE9t\xE9.scr", "Ez.scr",    "z.scr",
                           "10.scr",  "9.scr",  "a b.scr", "AB2.scr", "~x.scr",        "co-op.scr", "coop.scr"};
    for (const char* name : names)
        WriteWholeFile(dir / name, "x");
    ScanFolder(dir.path(), false);
    ASSERT_EQ(FoundSaverFiles.size(), std::size(names));
    for (size_t i = 1; i < FoundSaverFiles.size(); ++i) {
        const std::string& a = FoundSaverFiles[i - 1];
        const std::string& b = FoundSaverFiles[i];
        EXPECT_NE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1), CSTR_GREATER_THAN)
            << a << " before " << b;
    }
}

TEST_F(Discovery, OneEntryPerFileNameAndTheFirstFolderWins) {
    Place(system, "vttfoo.scr", "Foo 64");
    const std::string foo32 = Place(wow64, "VTTFOO.scr", "Foo 32", PeKind::Pe32);
    Place(wow64, "vttbar.scr", "Bar 32", PeKind::Pe32);
    Place(windows, "vttbaz.scr", "Baz");
    DiscoverSavers();
    EXPECT_EQ(Ours(),
              (std::vector<std::string>{"Bar 32|C:\\windows\\syswow64\\vttbar.scr", "Baz|C:\\windows\\vttbaz.scr",
                                        "Foo 64|C:\\windows\\system32\\vttfoo.scr"}));
    EXPECT_EQ(FoundSaverFiles, std::vector<std::string>{foo32});
}

TEST_F(Discovery, ThirtyTwoBitDescriptionsAreReadAsData) {
    const std::string path = Place(wow64, "vtt32.scr", "Thirty-two", PeKind::Pe32);
    // What loading it as a module would give a 64-bit process: nothing, so only the file name.
    HMODULE module = LoadLibraryA(path.c_str());
    EXPECT_EQ(module, nullptr);
    if (module) FreeLibrary(module);
    EXPECT_EQ(SaverDescription(path), "Thirty-two");
    EXPECT_EQ(SaverDescription(Place(system, "vtt64.scr", "Sixty-four")), "Sixty-four");
}

TEST_F(Discovery, DescriptionsFallBackToTheFileNameAndAreCutTo254) {
    const UINT errorMode = GetErrorMode();
    EXPECT_EQ(SaverDescription(Place(system, "vttlong.scr", std::string(300, 'd'))), std::string(254, 'd'));
    const std::string bare = system + "\\vttNoText.scr";
    WriteWholeFile(bare, MakeResourceImage(PeKind::Pe32Plus, std::nullopt));
    EXPECT_EQ(SaverDescription(bare), "vttNoText");
    const std::string junk = system + "\\vttjunk.scr";
    WriteWholeFile(junk, "not a program at all");
    EXPECT_EQ(SaverDescription(junk), "vttjunk");
    EXPECT_EQ(SaverDescription(system + "\\vttmissing.scr"), "vttmissing");
    EXPECT_EQ(SaverDescription("C:\\a.b"), "");
    EXPECT_EQ(GetErrorMode(), errorMode);
}

TEST_F(Discovery, NewSaversArePlacedByDescriptionAndEqualOnesGoLast) {
    WriteWholeFile(SaverListFile, "XX not a list file");  // wrong magic: an empty start
    Place(windows, "vttb.scr", "beta");
    Place(system, "vtta.scr", "Alpha");
    Place(wow64, "vttg.scr", "gamma", PeKind::Pe32);
    DiscoverSavers();
    EXPECT_EQ(Ours(), (std::vector<std::string>{"Alpha|C:\\windows\\system32\\vtta.scr", "beta|C:\\windows\\vttb.scr",
                                                "gamma|C:\\windows\\syswow64\\vttg.scr"}));

    // Other screensavers of the prefix would only add entries of their own; keep just ours.
    TSaverList ours;
    for (int i = 0; i < AllSavers.Count(); ++i) {
        if (AsciiLower(FileNameOf(AllSavers.GetItem(i).FilePath)).rfind("vtt", 0) == 0) ours.Add(AllSavers.GetItem(i));
    }
    ours.SaveToFile(SaverListFile);
    Place(system, "vttg2.scr", "GAMMA");
    DiscoverSavers();
    EXPECT_EQ(Ours().back(), "GAMMA|C:\\windows\\system32\\vttg2.scr");
    EXPECT_EQ(Ours().size(), 4u);
}

TEST_F(Discovery, MovedFileKeepsItsTickAndPlace) {
    TSaverList stored;
    TSaverItem moved = MakeSaverItem("Moved", windows + "\\vttmoved.scr");
    moved.Checked = false;
    moved.Reserved = 5;
    stored.Add(moved);
    stored.Add(MakeSaverItem("Stays", windows + "\\vttstay.scr"));
    stored.Add(MakeSaverItem("Gone", windows + "\\vttgone.scr"));
    stored.Add(MakeSaverItem("Twin", windows + "\\vtttwin.scr"));
    stored.SaveToFile(SaverListFile);
    Place(system, "vttmoved.scr", "ignored: catalogued already");
    Place(windows, "vttstay.scr", "ignored too");
    Place(windows, "vtttwin.scr", "twin here");
    const std::string twinCopy = Place(system, "vtttwin.scr", "twin there");
    Place(windows, "vttnew.scr", "Aardvark");

    DiscoverSavers();
    EXPECT_EQ(Ours(), (std::vector<std::string>{"Aardvark|C:\\windows\\vttnew.scr",
                                                "Moved|C:\\windows\\system32\\vttmoved.scr|unticked",
                                                "Stays|C:\\windows\\vttstay.scr", "Twin|C:\\windows\\vtttwin.scr"}));
    for (int i = 0; i < AllSavers.Count(); ++i) {
        if (AllSavers.GetItem(i).Description == "Moved") {
            EXPECT_EQ(AllSavers.GetItem(i).Reserved, 5);
        }
    }
    EXPECT_EQ(FoundSaverFiles, std::vector<std::string>{twinCopy});
}

TEST_F(Discovery, LockedListFileEndsDiscovery) {
    TSaverList().SaveToFile(SaverListFile);
    UniqueFile lock(CreateFileA(SaverListFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    try {
        DiscoverSavers();
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Unable to open file \"" + SaverListFile + "\"");
    }
}

TEST_F(Discovery, RedirectionIsLeftAloneInA64BitProcess) {
    EXPECT_EQ(KernelModule(), GetModuleHandleA("kernel32.dll"));
    EXPECT_FALSE(IsWow64());
    SetFsRedirection(true);
    SetFsRedirection(false);
    try {
        SysWow64Folder();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "getsyswow64, not64");
    }
}

TEST(CatalogueChild, DISABLED_StartAndStop) {
    LaunchedFromSettings = true;
    StartCatalogue();
    ChildReport("launched=" + std::to_string(LaunchedFromSettings));
    ChildReport("list=" + SaverListFile);
    for (int i = 0; i < AllSavers.Count(); ++i)
        ChildReport("saver=" + AllSavers.GetItem(i).FilePath);
    StopCatalogue();
}

TEST_F(Discovery, StartCatalogueLoadsTheSettingsFirstAndStopEndsTheProcess) {
    TestFolder install;
    SetInstallPath(install.path());
    DeleteSetting("pathind");
    DeleteSetting("pathdata");
    const std::string path = Place(system, "vttcat.scr", "Catalogued");
    UrlLog urls;
    const std::vector<std::string> report = RunChildTest("CatalogueChild.DISABLED_StartAndStop");
    SetInstallPath("");
    ASSERT_GE(report.size(), 3u);
    EXPECT_EQ(report[0], "launched=0");
    EXPECT_EQ(report[1], "list=" + AppDataFolder() + "\\Vantora\\saverlist.dat");
    EXPECT_NE(std::find(report.begin(), report.end(), "saver=" + path), report.end());

    AllSavers.Add(MakeSaverItem("x", "y"));
    FoundSaverFiles = {"z"};
    FreeCatalogue();
    EXPECT_EQ(AllSavers.Count(), 0);
    EXPECT_TRUE(FoundSaverFiles.empty());
}

}  // namespace
