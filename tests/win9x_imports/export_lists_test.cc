#include "tools/win9x_imports/export_lists.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using win9x::Availability;

// A folder of list files that is removed with everything in it when the test ends.
class ListFolder {
  public:
    ListFolder() {
        path_ = fs::temp_directory_path() /
                ("win9x_lists_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~ListFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    std::string path() const { return path_.string(); }

  private:
    static inline int counter_ = 0;
    fs::path path_;
};

std::string LoadError(const ListFolder& folder) {
    win9x::ExportLists lists;
    std::string error;
    EXPECT_FALSE(lists.Load(folder.path(), &error));
    return error;
}

TEST(ExportListsReal, KnownFactsAboutWindows95And98) {
    win9x::ExportLists lists;
    std::string error;
    ASSERT_TRUE(lists.Load(W9X_EXPORTS_DIR, &error)) << error;
    EXPECT_EQ(lists.Find("KERNEL32.DLL", "CreateFileA"), Availability::kWindows95);
    EXPECT_EQ(lists.Find("kernel32.dll", "CreateFileA"), Availability::kWindows95);
    EXPECT_EQ(lists.Find("KERNEL32.DLL", "createfilea"), Availability::kNowhere);
    EXPECT_EQ(lists.Find("KERNEL32.DLL", "GetTickCount64"), Availability::kNowhere);
    EXPECT_EQ(lists.Find("KERNEL32.DLL", "InterlockedCompareExchange"), Availability::kWindows98);
    EXPECT_EQ(lists.Find("KERNEL32.DLL", "IsDebuggerPresent"), Availability::kWindows98);
    EXPECT_EQ(lists.Find("MSVCRT.DLL", "__lc_collate_cp"), Availability::kWindows98Se);
    EXPECT_EQ(lists.Find("MSVCRT.DLL", "malloc"), Availability::kWindows95);
    EXPECT_EQ(lists.Find("COMCTL32.DLL", "InitCommonControlsEx"), Availability::kWindows98);
    EXPECT_TRUE(lists.HasDll("Gdi32.Dll"));
    EXPECT_FALSE(lists.HasDll("WS2_32.DLL"));
    // The additions files are no DLLs of their own.
    for (const std::string& dll : lists.Dlls()) {
        EXPECT_EQ(dll.find("ADDITIONS"), std::string::npos) << dll;
    }
    EXPECT_EQ(lists.Dlls().size(), 8u);
}

TEST(ExportListsLoad, CommentsBlankLinesAndCarriageReturnsAreSkipped) {
    ListFolder folder;
    folder.Write("foo.txt", "# FOO.DLL\r\nAlpha\r\n\r\nBeta  \n");
    folder.Write("foo-win98-additions.txt", "# more\nGamma\n");
    folder.Write("foo-win98se-additions.txt", "# more\nDelta");
    folder.Write("README.md", "not a list\n");
    win9x::ExportLists lists;
    std::string error;
    ASSERT_TRUE(lists.Load(folder.path(), &error)) << error;
    EXPECT_EQ(lists.Dlls(), std::vector<std::string>{"FOO.DLL"});
    EXPECT_EQ(lists.Find("foo.dll", "Alpha"), Availability::kWindows95);
    EXPECT_EQ(lists.Find("foo.dll", "Beta"), Availability::kWindows95);
    EXPECT_EQ(lists.Find("foo.dll", "Gamma"), Availability::kWindows98);
    EXPECT_EQ(lists.Find("foo.dll", "Delta"), Availability::kWindows98Se);
    EXPECT_EQ(lists.Find("foo.dll", "# FOO.DLL"), Availability::kNowhere);
    EXPECT_EQ(lists.Find("foo.dll", ""), Availability::kNowhere);
}

TEST(ExportListsLoad, InconsistentFoldersAreRefused) {
    {
        ListFolder folder;
        EXPECT_NE(LoadError(folder).find("no export lists"), std::string::npos);
    }
    {
        ListFolder folder;
        folder.Write("foo.txt", "# x\nAlpha\n");
        folder.Write("bar-win98-additions.txt", "# x\nBeta\n");
        EXPECT_EQ(LoadError(folder), folder.path() +
                                         "/bar-win98-additions.txt: additions to BAR.DLL, which "
                                         "has no Windows 95 list");
    }
    {
        ListFolder folder;
        folder.Write("foo.txt", "# x\nAlpha\n");
        folder.Write("foo-win98-additions.txt", "# x\nBeta\nAlpha\n");
        EXPECT_EQ(LoadError(folder), folder.path() +
                                         "/foo-win98-additions.txt:3: Alpha is already listed "
                                         "for FOO.DLL");
    }
    {
        ListFolder folder;
        folder.Write("foo.txt", "# x\nAlpha Beta\n");
        EXPECT_EQ(LoadError(folder), folder.path() + "/foo.txt:2: not a function name: Alpha Beta");
    }
    {
        ListFolder folder;
        folder.Write("foo.txt", "# x\nAlpha\n");
        folder.Write("foo-winme-additions.txt", "# x\nBeta\n");
        EXPECT_NE(
            LoadError(folder).find("foo-winme-additions.txt: additions for an unknown system"),
            std::string::npos);
    }
}

TEST(ExportListsLoad, MissingFolderIsAnError) {
    win9x::ExportLists lists;
    std::string error;
    EXPECT_FALSE(lists.Load("/nonexistent/win9x_lists", &error));
    EXPECT_EQ(error.rfind("/nonexistent/win9x_lists: ", 0), 0u) << error;
}

}  // namespace
