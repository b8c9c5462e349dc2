// The installation: the log line by line, the files and the registry values it leaves.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/plugmaj/plugmaj_fixture.h"
#include "tests/support/registry_faults.h"

namespace {

using plugtest::FileText;
using plugtest::kCommandKey;
using plugtest::PlugmajTest;
using plugtest::ReadValue;
using Log = std::vector<std::string>;

const char* const kNotRegistered =
    "La clé de départ n'est pas dans la BdR : vtxfile\\Shell\\open\\command";
const char* const kAllWell = "Tout à l'air d'avoir bien fonctionné....";
const char* const kProblem = "Il y a eu un problème !....";

// The registry part of a first installation into `directory` (with its backslash).
Log RegistryLines(const std::string& directory) {
    return {"HKCR\\MIME\\Database\\Content Type\\application/x-quadrel : Extension = .vtx ---> OK",
            "HKCR\\.vtx :  = vtxfile ---> OK",
            "HKCR\\.vtx : Content Type = vtxfile ---> OK",
            "HKCR\\vtxfile :  = Win-Quadrel ---> OK",
            "HKCR\\vtxfile : AlwaysShowExt =  ---> OK",
            "HKCR\\vtxfile : EditFlags = 00,00,01,00 ---> OK",
            "HKCR\\vtxfile\\Shell\\open\\command :  = " + directory + "quadterm.exe %1 ---> OK"};
}

Log FirstInstallLog(const std::string& directory) {
    Log log = {"Repertoire courant : C:\\KIT\\",
               kNotRegistered,
               "Le plug-in n'y est pas : installation",
               "repertoire de destination : " + directory,
               "Copie de    C:\\KIT\\quadterm.exe    vers   " + directory + "quadterm.exe    OK",
               "Copie de    C:\\KIT\\quadterm.ini    vers   " + directory + "quadterm.ini    OK"};
    for (const auto& line : RegistryLines(directory)) log.push_back(line);
    log.push_back("        ");
    log.push_back(kAllWell);
    return log;
}

Log RefreshLog(const std::string& command, const std::string& directory) {
    return {"Repertoire courant : C:\\KIT\\",
            "Valeur par défaut de la clé HKCR\\vtxfile\\Shell\\open\\command   --->   " + command,
            "Le plug-in est déjà enregistré, j'écrase les 2 fichiers déjà présents",
            "Chemin d'installation existant : " + directory,
            "Copie de    C:\\KIT\\quadterm.exe    vers   " + directory + "quadterm.exe    OK",
            "Copie de    C:\\KIT\\quadterm.ini    vers   " + directory + "quadterm.ini    OK",
            "        ",
            kAllWell};
}

// What the program asked of the registry when writing: the keys it created and, for each
// value, its name, type and the byte count it passed (Windows 98 stores every REG_SZ with its
// terminator whatever the count, so the stored bytes cannot show the count).
using Write = std::tuple<std::string, std::string, plat::Dword, plat::Dword>;
std::vector<Write> Writes() {
    std::vector<Write> writes;
    for (const auto& call : sim::RegistryCalls()) {
        if (call.function == "RegCreateKey" || call.function == "RegSetValue" ||
            call.function == "RegDeleteKey" || call.function == "RegDeleteValue") {
            writes.emplace_back(call.function, call.name, call.type, call.size);
        }
    }
    return writes;
}

TEST_F(PlugmajTest, FirstInstallationCopiesRegistersAndLogsEveryAction) {
    plugtest::RunResult run = Start("");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.log, FirstInstallLog("C:\\IE\\"));

    EXPECT_EQ(FileText("C:\\IE\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_EQ(FileText("C:\\IE\\quadterm.ini"), plugtest::kIniContents);

    const plat::RegKey hkcr = plat::kHkeyClassesRoot;
    const char* mime = "MIME\\Database\\Content Type\\application/x-quadrel";
    EXPECT_EQ(ReadValue(hkcr, mime, "Extension").Text(), ".vtx");
    EXPECT_EQ(ReadValue(hkcr, ".vtx", "").Text(), "vtxfile");
    EXPECT_EQ(ReadValue(hkcr, ".vtx", "Content Type").Text(), "vtxfile");
    EXPECT_EQ(ReadValue(hkcr, "vtxfile", "").Text(), "Win-Quadrel");
    plugtest::RegValue alwaysShow = ReadValue(hkcr, "vtxfile", "AlwaysShowExt");
    EXPECT_TRUE(alwaysShow.present);
    EXPECT_EQ(alwaysShow.type, plat::kRegSz);
    EXPECT_EQ(alwaysShow.Text(), "");
    plugtest::RegValue editFlags = ReadValue(hkcr, "vtxfile", "EditFlags");
    EXPECT_EQ(editFlags.type, plat::kRegBinary);
    EXPECT_EQ(editFlags.bytes, (std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0x00}));
    plugtest::RegValue command = ReadValue(hkcr, kCommandKey, "");
    EXPECT_EQ(command.type, plat::kRegSz);
    EXPECT_EQ(command.Text(), "C:\\IE\\quadterm.exe %1");
    // HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes.
    EXPECT_EQ(ReadValue(plat::kHkeyLocalMachine, "Software\\Classes\\.vtx", "").Text(), "vtxfile");

    // Key by key in order; texts counted without their terminator, the empty one as one byte.
    const plat::Dword sz = plat::kRegSz;
    std::vector<Write> expected = {
        {"RegCreateKey", mime, 0, 0},
        {"RegSetValue", "Extension", sz, 4},
        {"RegCreateKey", ".vtx", 0, 0},
        {"RegSetValue", "", sz, 7},
        {"RegSetValue", "Content Type", sz, 7},
        {"RegCreateKey", "vtxfile", 0, 0},
        {"RegSetValue", "", sz, 11},
        {"RegSetValue", "AlwaysShowExt", sz, 1},
        {"RegSetValue", "EditFlags", plat::kRegBinary, 4},
        {"RegCreateKey", kCommandKey, 0, 0},
        {"RegSetValue", "", sz, 21},
    };
    EXPECT_EQ(Writes(), expected);
}

TEST_F(PlugmajTest, CopiesOverwriteOlderFiles) {
    plat::WriteWholeFile("C:\\IE\\quadterm.exe", "old terminal, longer than the new one");
    plat::WriteWholeFile("C:\\IE\\quadterm.ini", "old");
    EXPECT_EQ(Start("").log, FirstInstallLog("C:\\IE\\"));
    EXPECT_EQ(FileText("C:\\IE\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_EQ(FileText("C:\\IE\\quadterm.ini"), plugtest::kIniContents);
}

TEST_F(PlugmajTest, SecondRunRefreshesTheFilesWhereTheCommandPointsAndLeavesTheRegistry) {
    Start("");
    // The user moved the terminal since: the registered command decides, not the browser.
    plugtest::SetText(plat::kHkeyClassesRoot, kCommandKey, "", "C:\\VTX\\quadterm.exe %1");
    plat::CreateDirectory("C:\\VTX");
    plat::WriteWholeFile("C:\\KIT\\quadterm.exe", "new terminal");
    sim::ClearRegistryCalls();

    plugtest::RunResult run = Start("");
    EXPECT_EQ(run.log, RefreshLog("C:\\VTX\\quadterm.exe %1", "C:\\VTX\\"));
    EXPECT_EQ(FileText("C:\\VTX\\quadterm.exe"), "new terminal");
    EXPECT_EQ(FileText("C:\\VTX\\quadterm.ini"), plugtest::kIniContents);
    EXPECT_EQ(FileText("C:\\IE\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(PlugmajTest, RegisteredCommandWithoutPercentOneIsUsedWhole) {
    plugtest::SetText(plat::kHkeyClassesRoot, kCommandKey, "", "C:\\VTX\\quadterm.exe");
    plat::CreateDirectory("C:\\VTX");
    EXPECT_EQ(Start("").log, RefreshLog("C:\\VTX\\quadterm.exe", "C:\\VTX\\"));
    EXPECT_EQ(FileText("C:\\VTX\\quadterm.exe"), plugtest::kExeContents);
}

TEST_F(PlugmajTest, RegisteredCommandWithoutBackslashCopiesToBareNames) {
    plugtest::SetText(plat::kHkeyClassesRoot, kCommandKey, "", "quadterm.exe %1");
    plugtest::RunResult run = Start("");
    Log expected = {"Repertoire courant : C:\\KIT\\",
                    "Valeur par défaut de la clé HKCR\\vtxfile\\Shell\\open\\command   --->   "
                    "quadterm.exe %1",
                    "Le plug-in est déjà enregistré, j'écrase les 2 fichiers déjà présents",
                    "Chemin d'installation existant : ",
                    "Copie de    C:\\KIT\\quadterm.exe    vers   quadterm.exe    OK",
                    "Copie de    C:\\KIT\\quadterm.ini    vers   quadterm.ini    OK",
                    "        ",
                    kAllWell};
    EXPECT_EQ(run.log, expected);
    // Bare names are in the current directory.
    EXPECT_EQ(FileText("C:\\WORK\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_EQ(FileText("C:\\WORK\\quadterm.ini"), plugtest::kIniContents);
}

TEST_F(PlugmajTest, CommandKeyWithoutDefaultValueStillCountsAsRegistered) {
    plugtest::SetText(plat::kHkeyClassesRoot, kCommandKey, "", nullptr);
    sim::ClearRegistryCalls();
    plugtest::RunResult run = Start("");
    ASSERT_EQ(run.log.size(), 8u);
    EXPECT_EQ(run.log[1],
              "Valeur par défaut de la clé HKCR\\vtxfile\\Shell\\open\\command   --->   ");
    EXPECT_EQ(run.log[3], "Chemin d'installation existant : ");
    EXPECT_EQ(run.log[4], "Copie de    C:\\KIT\\quadterm.exe    vers   quadterm.exe    OK");
    EXPECT_EQ(run.log[7], kAllWell);
    EXPECT_EQ(FileText("C:\\WORK\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(PlugmajTest, BrowserPathGetsExactlyOneTrailingBackslash) {
    for (const char* path : {"C:\\IE\\;", "C:\\IE", "C:\\IE\\"}) {
        SCOPED_TRACE(path);
        plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", path);
        EXPECT_EQ(Start("").log, FirstInstallLog("C:\\IE\\"));
        plat::RegDeleteKey(plat::kHkeyClassesRoot, "vtxfile");
    }
}

TEST_F(PlugmajTest, MissingBrowserPathCopiesIntoTheRootOfTheCurrentDrive) {
    plat::RegDeleteKey(plat::kHkeyLocalMachine, plugtest::kBrowserKey);
    EXPECT_EQ(Start("").log, FirstInstallLog("\\"));
    EXPECT_EQ(FileText("C:\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_EQ(ReadValue(plat::kHkeyClassesRoot, kCommandKey, "").Text(), "\\quadterm.exe %1");
}

TEST_F(PlugmajTest, EmptyBrowserPathBecomesASingleBackslash) {
    plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", ";");
    EXPECT_EQ(Start("").log[3], "repertoire de destination : \\");
}

TEST_F(PlugmajTest, MissingIniIsReportedAndTheRegistryIsStillWritten) {
    plat::DeleteFile("C:\\KIT\\quadterm.ini");
    Log expected = FirstInstallLog("C:\\IE\\");
    expected[5] =
        "Copie de    C:\\KIT\\quadterm.ini    vers   C:\\IE\\quadterm.ini    INCORRECTE !!!";
    expected.back() = kProblem;
    EXPECT_EQ(Start("").log, expected);
    // Silent, with an exit code of 0 whatever happened: only a box can tell the subscriber.
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].caption, "Installation de Quadrel");
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Il y a eu un problème !....\r\nLe plug-in Quadrel n'est pas installé "
              "entièrement.");
    // Shown, the log says it.
    Start("h");
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
    EXPECT_EQ(FileText("C:\\IE\\quadterm.exe"), plugtest::kExeContents);
    EXPECT_FALSE(plugtest::FileExists("C:\\IE\\quadterm.ini"));
    EXPECT_EQ(ReadValue(plat::kHkeyClassesRoot, kCommandKey, "").Text(), "C:\\IE\\quadterm.exe %1");
}

TEST_F(PlugmajTest, MissingBrowserDirectoryFailsBothCopiesButRegisters) {
    plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", "C:\\NOWHERE;");
    plugtest::RunResult run = Start("");
    ASSERT_EQ(run.log.size(), 15u);
    EXPECT_EQ(run.log[4],
              "Copie de    C:\\KIT\\quadterm.exe    vers   C:\\NOWHERE\\quadterm.exe    "
              "INCORRECTE !!!");
    EXPECT_EQ(run.log[12],
              "HKCR\\vtxfile\\Shell\\open\\command :  = C:\\NOWHERE\\quadterm.exe %1 ---> OK");
    EXPECT_EQ(run.log[14], kProblem);
}

// Windows 98 paths are at most 259 characters: a directory that does not fit its buffer is
// never used in a cut form, which would name another place.
TEST_F(PlugmajTest, BrowserPathWithoutRoomForItsBackslashIsNeitherUsedNorRegistered) {
    std::string directory = "C:\\" + std::string(256, 'A');
    plugtest::SetText(plat::kHkeyLocalMachine, plugtest::kBrowserKey, "Path", directory.c_str());
    plugtest::RunResult run = Start("");
    ASSERT_EQ(run.log.size(), 15u);
    EXPECT_EQ(run.log[3], "repertoire de destination : " + directory);
    EXPECT_NE(run.log[4].find("INCORRECTE !!!"), std::string::npos) << run.log[4];
    EXPECT_NE(run.log[5].find("INCORRECTE !!!"), std::string::npos) << run.log[5];
    EXPECT_EQ(run.log[12], "HKCR\\vtxfile\\Shell\\open\\command :  = " + directory +
                               "quadterm.exe %1 ---> INCORRECT");
    EXPECT_EQ(run.log[14], kProblem);
    EXPECT_FALSE(ReadValue(plat::kHkeyClassesRoot, kCommandKey, "").present);
}

TEST_F(PlugmajTest, RegisteredCommandLongerThanItsBufferIsNotUsedCut) {
    // Cut to 259 characters this command would point at C:\ instead.
    std::string command = "C:\\" + std::string(300, 'B') + "\\quadterm.exe %1";
    plugtest::SetText(plat::kHkeyClassesRoot, kCommandKey, "", command.c_str());
    plugtest::RunResult run = Start("");
    ASSERT_EQ(run.log.size(), 8u);
    EXPECT_NE(run.log[4].find("INCORRECTE !!!"), std::string::npos) << run.log[4];
    EXPECT_EQ(run.log[7], kProblem);
    EXPECT_FALSE(plugtest::FileExists("C:\\quadterm.exe"));
}

TEST_F(PlugmajTest, AKeyThatCannotBeCreatedFailsItsWritesAndTheRun) {
    // The tenth registry change of a first installation creates the command key.
    Log expected = FirstInstallLog("C:\\IE\\");
    expected[12] =
        "HKCR\\vtxfile\\Shell\\open\\command :  = C:\\IE\\quadterm.exe %1 ---> INCORRECT";
    expected.back() = kProblem;
    {
        testsupport::ScopedFault commandKeyFails("registry:10");
        EXPECT_EQ(Start("").log, expected);
    }
    // The machine's log of counted operations names the one that failed.
    std::stringstream log;
    log << std::ifstream(folder_ + "/fault-log").rdbuf();
    const std::string faults = log.str();
    EXPECT_NE(faults.find("registry 10 "), std::string::npos) << faults;
    EXPECT_NE(faults.find("vtxfile\\Shell\\open\\command FAILED"), std::string::npos) << faults;
    EXPECT_FALSE(plugtest::KeyExists(plat::kHkeyClassesRoot, kCommandKey));
    EXPECT_TRUE(plugtest::KeyExists(plat::kHkeyClassesRoot, "vtxfile"));
}

}  // namespace
