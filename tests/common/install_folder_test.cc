// The installation folder as the kit wizard and the extraction program both read it, and the
// program an unquoted command line names.
#include "common/install_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/program_lookup.h"

namespace {

TEST(InstallFolder, BlanksQuotesAndTheLastBackslashGoADrivesRootKeepsIt) {
    EXPECT_EQ(kit::NormaliseFolder("C:\\Program Files\\Telvora"), "C:\\Program Files\\Telvora");
    EXPECT_EQ(kit::NormaliseFolder("  C:\\Telvora   "), "C:\\Telvora");
    EXPECT_EQ(kit::NormaliseFolder("C:\\Telvora \\ "), "C:\\Telvora");
    EXPECT_EQ(kit::NormaliseFolder("\"C:\\Mes Documents\\\""), "C:\\Mes Documents");
    EXPECT_EQ(kit::NormaliseFolder("C:\\"), "C:\\");
    EXPECT_EQ(kit::NormaliseFolder("C:\\ \\"), "C:\\");
    EXPECT_EQ(kit::NormaliseFolder("\\\\serveur\\kits\\"), "\\\\serveur\\kits");
    EXPECT_EQ(kit::NormaliseFolder(" \t "), "");
    EXPECT_EQ(kit::NormaliseFolder("\"\""), "");
}

TEST(InstallFolder, OnlyADriveWithItsBackslashOrANetworkPathIsFull) {
    for (const char* full : {"C:\\", "c:\\Telvora", "D:\\Kit CD\\x", "\\\\serveur\\kits"}) {
        EXPECT_TRUE(kit::IsFullFolderPath(full)) << full;
    }
    for (const char* partial : {"", "C:", "C:Telvora", "Telvora", "\\Telvora", "\\\\",
                                "\\\\serveur", "\\\\serveur\\", "1:\\x", "..\\Telvora"}) {
        EXPECT_FALSE(kit::IsFullFolderPath(partial)) << partial;
    }
}

// The shortest beginning cut at a blank that names a file wins, ".exe" added where the
// beginning has no extension.
TEST(UnquotedProgram, TheShortestBeginningThatNamesAFileWins) {
    std::set<std::string> files = {"C:\\Program Files\\Telvora\\cnxassist.exe"};
    auto exists = [&files](const std::string& path) { return files.count(path) > 0; };
    kit::UnquotedProgram found =
        kit::FindUnquotedProgram("C:\\Program Files\\Telvora\\cnxassist.exe /xyz  b", exists);
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.program, "C:\\Program Files\\Telvora\\cnxassist.exe");
    EXPECT_EQ(found.arguments, "/xyz  b");

    // A decoy C:\Program.exe is what Windows starts for that line.
    files.insert("C:\\Program.exe");
    found = kit::FindUnquotedProgram("C:\\Program Files\\Telvora\\cnxassist.exe /xyz", exists);
    EXPECT_EQ(found.program, "C:\\Program.exe");
    EXPECT_EQ(found.arguments, "Files\\Telvora\\cnxassist.exe /xyz");

    files = {"cnxassist.exe", "Inscription\\abo.v2.exe"};
    found = kit::FindUnquotedProgram("cnxassist /xyz", exists);
    EXPECT_EQ(found.program, "cnxassist.exe");
    EXPECT_EQ(found.arguments, "/xyz");
    found = kit::FindUnquotedProgram("  Inscription\\abo.v2.exe", exists);
    EXPECT_EQ(found.program, "Inscription\\abo.v2.exe");
    EXPECT_EQ(found.arguments, "");

    // Nothing there: the whole line is the program.
    found = kit::FindUnquotedProgram("absent /a ", exists);
    EXPECT_FALSE(found.found);
    EXPECT_EQ(found.program, "absent /a.exe");
    EXPECT_FALSE(kit::FindUnquotedProgram("   ", exists).found);
}

}  // namespace
