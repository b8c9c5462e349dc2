// The removal: files and keys deleted, every action logged, and no summary verdict.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/plugmaj/plugmaj_fixture.h"

namespace {

using plugtest::FileExists;
using plugtest::KeyExists;
using plugtest::PlugmajTest;
using Log = std::vector<std::string>;

const plat::RegKey kHkcr = plat::kHkeyClassesRoot;
const char* const kMimeKey = "MIME\\Database\\Content Type\\application/x-quadrel";

Log NothingLeftLog(const std::string& directory) {
    return {"La clé de départ n'est pas dans la BdR : vtxfile\\Shell\\open\\command",
            "recherche dans le repertoire : " + directory,
            "pas de suppression du fichier " + directory + "quadterm.exe",
            "pas de suppression du fichier " + directory + "quadterm.ini",
            "pas de suppression de clé HKCR\\.vtx",
            "pas de suppression de clé HKCR\\vtxfile",
            "pas de suppression de clé HKCR\\MIME\\Database\\Content Type\\application/x-quadrel",
            "        ",
            "Terminé...."};
}

TEST_F(PlugmajTest, RemovalAfterInstallationDeletesFilesAndKeysInEightLines) {
    Start("");
    // Removal follows the registered command, not the browser.
    plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", "C:\\OTHER");
    plugtest::RunResult run = Start("d");
    EXPECT_EQ(run.exitCode, 0);
    Log expected = {
        "Valeur par défaut de la clé HKCR\\vtxfile\\Shell\\open\\command   --->   "
        "C:\\IE\\quadterm.exe %1",
        "suppression du fichier C:\\IE\\quadterm.exe OK",
        "suppression du fichier C:\\IE\\quadterm.ini OK",
        "suppression de la clé HKCR\\.vtx OK",
        "suppression de la clé HKCR\\vtxfile OK",
        "suppression de la clé HKCR\\MIME\\Database\\Content Type\\application/x-quadrel OK",
        "        ",
        "Terminé...."};
    EXPECT_EQ(run.log, expected);
    EXPECT_FALSE(FileExists("C:\\IE\\quadterm.exe"));
    EXPECT_FALSE(FileExists("C:\\IE\\quadterm.ini"));
    // The files to copy stay where they were.
    EXPECT_TRUE(FileExists("C:\\KIT\\quadterm.exe"));
    EXPECT_FALSE(KeyExists(kHkcr, ".vtx"));
    EXPECT_FALSE(KeyExists(kHkcr, "vtxfile"));
    EXPECT_FALSE(KeyExists(kHkcr, plugtest::kCommandKey));
    EXPECT_FALSE(KeyExists(kHkcr, kMimeKey));
    // Only the plug-in's own MIME type goes.
    EXPECT_TRUE(KeyExists(kHkcr, "MIME\\Database\\Content Type"));
}

TEST_F(PlugmajTest, SecondRemovalFindsNothingAndSearchesTheBrowserDirectory) {
    Start("");
    Start("d");
    plugtest::RunResult run = Start("D");
    EXPECT_EQ(run.log, NothingLeftLog("C:\\IE\\"));
}

TEST_F(PlugmajTest, RemovalWithoutRegistrationDeletesTheFilesInTheBrowserDirectory) {
    plat::WriteWholeFile("C:\\IE\\quadterm.exe", "x");
    plugtest::RunResult run = Start("d");
    ASSERT_EQ(run.log.size(), 9u);
    EXPECT_EQ(run.log[2], "suppression du fichier C:\\IE\\quadterm.exe OK");
    EXPECT_EQ(run.log[3], "pas de suppression du fichier C:\\IE\\quadterm.ini");
    EXPECT_FALSE(FileExists("C:\\IE\\quadterm.exe"));
}

TEST_F(PlugmajTest, RemovalAppendsABackslashEvenAfterOne) {
    plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", "C:\\IE\\;");
    plat::WriteWholeFile("C:\\IE\\quadterm.exe", "x");
    plat::WriteWholeFile("C:\\IE\\quadterm.ini", "x");
    plugtest::RunResult run = Start("d");
    ASSERT_EQ(run.log.size(), 9u);
    EXPECT_EQ(run.log[1], "recherche dans le repertoire : C:\\IE\\\\");
    // Windows reads the doubled backslash as one.
    EXPECT_EQ(run.log[2], "suppression du fichier C:\\IE\\\\quadterm.exe OK");
    EXPECT_EQ(run.log[3], "suppression du fichier C:\\IE\\\\quadterm.ini OK");
    EXPECT_FALSE(FileExists("C:\\IE\\quadterm.exe"));
}

TEST_F(PlugmajTest, RemovalWithoutBrowserPathSearchesTheRootOfTheCurrentDrive) {
    plat::RegDeleteKey(plat::kHkeyLocalMachine, plugtest::kBrowserKey);
    EXPECT_EQ(Start("d").log, NothingLeftLog("\\"));
}

TEST_F(PlugmajTest, RemovalDeletesKeysLeftByOthersToo) {
    // A half-made registration: the extension alone, with a subkey of its own.
    plugtest::SetText(kHkcr, ".vtx\\ShellNew", "NullFile", "");
    plugtest::RunResult run = Start("d");
    ASSERT_EQ(run.log.size(), 9u);
    EXPECT_EQ(run.log[4], "suppression de la clé HKCR\\.vtx OK");
    EXPECT_EQ(run.log[5], "pas de suppression de clé HKCR\\vtxfile");
    EXPECT_FALSE(KeyExists(kHkcr, ".vtx"));
}

TEST_F(PlugmajTest, RegisteredCommandLongerThanItsBufferDeletesNothingInTheWrongPlace) {
    // Cut to 259 characters this command would point at C:\ instead.
    std::string command = "C:\\" + std::string(300, 'B') + "\\quadterm.exe %1";
    plugtest::SetText(kHkcr, plugtest::kCommandKey, "", command.c_str());
    plat::WriteWholeFile("C:\\quadterm.exe", "someone else's");
    plugtest::RunResult run = Start("d");
    ASSERT_EQ(run.log.size(), 8u);
    EXPECT_EQ(run.log[1], "pas de suppression du fichier C:\\quadterm.exe");
    EXPECT_TRUE(FileExists("C:\\quadterm.exe"));
    EXPECT_EQ(run.log[4], "suppression de la clé HKCR\\vtxfile OK");
}

}  // namespace
