// The files family behaves the same on the simulated machine and on the real platform.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/contract/contract_env.h"

namespace {

using contract::Upper;

class FilesContract : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = contract::FreshFolder(); }
    std::string Path(const char* name) const { return folder_ + "\\" + name; }
    std::string Read(const std::string& path) const {
        std::string data;
        EXPECT_TRUE(plat::ReadWholeFile(path.c_str(), &data)) << path;
        return data;
    }
    std::string folder_;
};

TEST_F(FilesContract, WholeFilesRoundTripBytesExactly) {
    std::string bytes("a\r\nb\0c\xE9\xFF", 8);
    ASSERT_TRUE(plat::WriteWholeFile(Path("data.bin").c_str(), bytes));
    EXPECT_EQ(Read(Path("data.bin")), bytes);
    EXPECT_TRUE(plat::CanOpenForReading(Path("DATA.BIN").c_str()));
    EXPECT_FALSE(plat::CanOpenForReading(Path("missing.bin").c_str()));
    EXPECT_FALSE(plat::CanOpenForReading(folder_.c_str()));
    std::string untouched = "kept";
    EXPECT_FALSE(plat::ReadWholeFile(Path("missing.bin").c_str(), &untouched));
    EXPECT_EQ(untouched, "kept");
}

TEST_F(FilesContract, CopyOverwritesUnlessAskedNotTo) {
    plat::WriteWholeFile(Path("a.txt").c_str(), "new");
    plat::WriteWholeFile(Path("b.txt").c_str(), "old contents");
    EXPECT_FALSE(plat::CopyFile(Path("a.txt").c_str(), Path("b.txt").c_str(), true));
    EXPECT_EQ(Read(Path("b.txt")), "old contents");
    EXPECT_TRUE(plat::CopyFile(Path("a.txt").c_str(), Path("b.txt").c_str(), false));
    EXPECT_EQ(Read(Path("b.txt")), "new");
    EXPECT_FALSE(plat::CopyFile(Path("none.txt").c_str(), Path("c.txt").c_str(), false));
    EXPECT_FALSE(plat::CanOpenForReading(Path("c.txt").c_str()));
    // Onto itself, under another spelling of its name.
    EXPECT_FALSE(plat::CopyFile(Path("a.txt").c_str(), Path("A.TXT").c_str(), false));
    EXPECT_EQ(Read(Path("a.txt")), "new");
    // Into a folder that does not exist.
    EXPECT_FALSE(plat::CopyFile(Path("a.txt").c_str(), Path("no\\c.txt").c_str(), false));
}

TEST_F(FilesContract, MoveRenamesButNeverReplaces) {
    plat::WriteWholeFile(Path("new.tmp").c_str(), "fresh");
    plat::WriteWholeFile(Path("kept.txt").c_str(), "old");
    EXPECT_FALSE(plat::MoveFile(Path("new.tmp").c_str(), Path("KEPT.TXT").c_str()));
    EXPECT_EQ(Read(Path("kept.txt")), "old");
    EXPECT_TRUE(plat::MoveFile(Path("new.tmp").c_str(), Path("moved.txt").c_str()));
    EXPECT_EQ(Read(Path("moved.txt")), "fresh");
    EXPECT_FALSE(plat::CanOpenForReading(Path("new.tmp").c_str()));
    EXPECT_FALSE(plat::MoveFile(Path("new.tmp").c_str(), Path("again.txt").c_str()));
}

TEST_F(FilesContract, ListingAFolderGivesItsFilesAndFolders) {
    ASSERT_TRUE(plat::CreateDirectory(Path("Sous dossier").c_str()));
    plat::WriteWholeFile(Path("Accès.txt").c_str(), "a");
    plat::WriteWholeFile(Path("Sous dossier\\b.bin").c_str(), "b");
    std::vector<plat::DirectoryEntry> entries;
    ASSERT_TRUE(plat::ListDirectory(folder_.c_str(), &entries));
    std::map<std::string, bool> found;
    for (const auto& entry : entries) found[entry.name] = entry.directory;
    EXPECT_EQ(found, (std::map<std::string, bool>{{"Accès.txt", false}, {"Sous dossier", true}}));
    ASSERT_TRUE(plat::ListDirectory(Path("Sous dossier").c_str(), &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "b.bin");
    EXPECT_FALSE(plat::ListDirectory(Path("absent").c_str(), &entries));
}

TEST_F(FilesContract, DeleteRemovesAFileOnce) {
    plat::WriteWholeFile(Path("x.txt").c_str(), "x");
    EXPECT_TRUE(plat::DeleteFile(Path("X.TXT").c_str()));
    EXPECT_FALSE(plat::CanOpenForReading(Path("x.txt").c_str()));
    EXPECT_FALSE(plat::DeleteFile(Path("x.txt").c_str()));
    EXPECT_EQ(plat::GetFileAttributes(Path("x.txt").c_str()), plat::kInvalidFileAttributes);
}

TEST_F(FilesContract, ReadOnlyAttributeIsReportedAndCleared) {
    std::string path = Path("ro.txt");
    plat::WriteWholeFile(path.c_str(), "x");
    plat::Dword normal = plat::GetFileAttributes(path.c_str());
    ASSERT_NE(normal, plat::kInvalidFileAttributes);
    EXPECT_EQ(normal & (plat::kFileAttributeReadOnly | plat::kFileAttributeDirectory), 0u);
    ASSERT_TRUE(plat::SetFileAttributes(path.c_str(), normal | plat::kFileAttributeReadOnly));
    plat::Dword readOnly = plat::GetFileAttributes(path.c_str());
    EXPECT_NE(readOnly & plat::kFileAttributeReadOnly, 0u);
    // Deleting a read-only file is refused, also where root could write over it.
    EXPECT_FALSE(plat::DeleteFile(path.c_str()));
    // Clearing the read-only bit and keeping the others, as the wizard does before a delete.
    ASSERT_TRUE(plat::SetFileAttributes(path.c_str(), readOnly & ~plat::kFileAttributeReadOnly));
    EXPECT_EQ(plat::GetFileAttributes(path.c_str()) & plat::kFileAttributeReadOnly, 0u);
    EXPECT_TRUE(plat::DeleteFile(path.c_str()));
    EXPECT_NE(plat::GetFileAttributes(folder_.c_str()) & plat::kFileAttributeDirectory, 0u);
}

TEST_F(FilesContract, ReadOnlyFilesRefuseWritesAndCopiesOverThem) {
    std::string target = Path("target.txt");
    plat::WriteWholeFile(target.c_str(), "original");
    plat::WriteWholeFile(Path("source.txt").c_str(), "replacement");
    plat::SetFileAttributes(target.c_str(), plat::kFileAttributeReadOnly);
    EXPECT_FALSE(plat::CopyFile(Path("source.txt").c_str(), target.c_str(), false));
    EXPECT_FALSE(plat::WriteWholeFile(target.c_str(), "replacement"));
    EXPECT_EQ(Read(target), "original");
    plat::SetFileAttributes(target.c_str(), plat::kFileAttributeNormal);
}

TEST_F(FilesContract, ShortPathsAreEightDotThreeAndOpenTheSameFile) {
    std::string folder = folder_ + "\\Long Folder Name";
    ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
    std::string path = folder + "\\abonnement telvora.ins";
    plat::WriteWholeFile(path.c_str(), "content");
    char shortPath[260];
    plat::Dword n = plat::GetShortPathName(path.c_str(), shortPath, sizeof shortPath);
    ASSERT_GT(n, 0u);
    std::string result(shortPath, n);
    EXPECT_EQ(result.find(' '), std::string::npos) << result;
    std::string last = result.substr(result.rfind('\\') + 1);
    EXPECT_LE(last.find('.'), 8u) << last;
    EXPECT_EQ(Upper(last.substr(last.find('.'))), ".INS") << last;
    EXPECT_EQ(Read(result), "content");
    // A path that is already short comes back as it is.
    n = plat::GetShortPathName(folder_.c_str(), shortPath, sizeof shortPath);
    EXPECT_EQ(Upper(std::string(shortPath, n)), Upper(folder_));
    // Too small a buffer: the size needed, terminator included.
    char tiny[4];
    EXPECT_EQ(plat::GetShortPathName(folder_.c_str(), tiny, sizeof tiny), folder_.size() + 1);
    EXPECT_EQ(plat::GetShortPathName(Path("missing.txt").c_str(), shortPath, sizeof shortPath), 0u);
}

TEST_F(FilesContract, CurrentDirectoryMovesAndRelativePathsFollowIt) {
    char saved[260];
    ASSERT_GT(plat::GetCurrentDirectory(sizeof saved, saved), 0u);
    ASSERT_TRUE(plat::SetCurrentDirectory(folder_.c_str()));
    char now[260];
    plat::Dword n = plat::GetCurrentDirectory(sizeof now, now);
    EXPECT_EQ(Upper(std::string(now, n)), Upper(folder_));
    plat::WriteWholeFile("relative.txt", "here");
    EXPECT_EQ(Read(Path("relative.txt")), "here");
    EXPECT_FALSE(plat::SetCurrentDirectory(Path("nowhere").c_str()));
    n = plat::GetCurrentDirectory(sizeof now, now);
    EXPECT_EQ(Upper(std::string(now, n)), Upper(folder_));
    char tiny[3];
    EXPECT_EQ(plat::GetCurrentDirectory(sizeof tiny, tiny), folder_.size() + 1);
    plat::SetCurrentDirectory(saved);
}

// The kit's removal takes away the folders the installation made, only once they are empty.
TEST_F(FilesContract, RemovingAFolderTakesOnlyAnEmptyOne) {
    const std::string folder = folder_ + "\\vide";
    ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
    const std::string file = folder + "\\f.txt";
    ASSERT_TRUE(plat::WriteWholeFile(file.c_str(), "x"));
    EXPECT_FALSE(plat::RemoveDirectory(folder.c_str()));
    EXPECT_NE(plat::GetFileAttributes(file.c_str()), plat::kInvalidFileAttributes);
    EXPECT_FALSE(plat::RemoveDirectory(file.c_str()));
    ASSERT_TRUE(plat::DeleteFile(file.c_str()));
    EXPECT_TRUE(plat::RemoveDirectory(folder.c_str()));
    EXPECT_EQ(plat::GetFileAttributes(folder.c_str()), plat::kInvalidFileAttributes);
    EXPECT_FALSE(plat::RemoveDirectory(folder.c_str()));
}

TEST_F(FilesContract, WellKnownFolders) {
    char windows[260];
    plat::Dword n = plat::GetWindowsDirectory(windows, sizeof windows);
    EXPECT_EQ(Upper(std::string(windows, n)), "C:\\WINDOWS");
    char desktop[260];
    ASSERT_TRUE(plat::GetDesktopDirectory(desktop, sizeof desktop));
    EXPECT_EQ(Upper(desktop).substr(0, 3), "C:\\");
    EXPECT_NE(plat::GetFileAttributes(desktop) & plat::kFileAttributeDirectory, 0u) << desktop;
    // The uninstaller runs from a copy there: a full path that ends with its '\'.
    char temporary[260];
    n = plat::GetTempPath(sizeof temporary, temporary);
    ASSERT_GT(n, 3u);
    ASSERT_LT(n, sizeof temporary);
    EXPECT_EQ(temporary[1], ':');
    EXPECT_EQ(temporary[n - 1], '\\');
    EXPECT_NE(plat::GetFileAttributes(temporary) & plat::kFileAttributeDirectory, 0u) << temporary;
    char module[260];
    n = plat::GetModuleFileName(module, sizeof module);
    ASSERT_GT(n, 3u);
    EXPECT_EQ(module[1], ':');
    EXPECT_TRUE(plat::CanOpenForReading(module)) << module;
    char cut[8];
    EXPECT_EQ(plat::GetModuleFileName(cut, sizeof cut), 7u);
    EXPECT_EQ(std::string(cut), std::string(module).substr(0, 7));
}

}  // namespace
