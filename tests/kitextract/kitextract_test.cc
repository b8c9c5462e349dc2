// The kit's extraction program (tools/kitextract): its command line, its walk of the payload
// folder, its copies and its window in this process, and the host program started on a fresh
// simulated machine as the kit wizard starts it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/test_temp_folder.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/progress_window.h"

namespace {

constexpr const char* kProgram = "C:\\KIT\\kitextract.exe";
constexpr const char* kDestination = "C:\\Program Files\\Telvora";
// Windows-1252 bytes, as every literal of this file is.
constexpr const char* kAccented = "Docs\\Guide d'accès.txt";

class KitExtractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("kitextract-test");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::ui::Reset();
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT"));
        std::string program = sim::Machine::Current().ToWindowsPath(KITEXTRACT_PATH);
        ASSERT_TRUE(plat::CopyFile(program.c_str(), kProgram, false));
        // The programs started here inherit it.
        boxLog_ = folder_ + "/boxes.log";
        ::setenv("SIMWIN_BOX_LOG", boxLog_.c_str(), 1);
    }

    void TearDown() override {
        ::unsetenv("SIMWIN_BOX_LOG");
        sim::ui::Reset();
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        ASSERT_TRUE(plat::WriteWholeFile(path.c_str(), text)) << path;
    }

    static std::string ReadFile(const std::string& path) {
        std::string text;
        EXPECT_TRUE(plat::ReadWholeFile(path.c_str(), &text)) << path;
        return text;
    }

    static bool Exists(const std::string& path) {
        return plat::GetFileAttributes(path.c_str()) != plat::kInvalidFileAttributes;
    }

    static bool IsFolder(const std::string& path) {
        plat::Dword attributes = plat::GetFileAttributes(path.c_str());
        return attributes != plat::kInvalidFileAttributes &&
               (attributes & plat::kFileAttributeDirectory) != 0;
    }

    // A payload with nested folders, an empty folder, a binary file and an accented name.
    static void MakePayload(const std::string& version) {
        for (const char* folder : {"C:\\KIT\\contenu", "C:\\KIT\\contenu\\Docs",
                                   "C:\\KIT\\contenu\\Docs\\Images", "C:\\KIT\\contenu\\Vide"}) {
            plat::CreateDirectory(folder);
        }
        WriteFile("C:\\KIT\\contenu\\cnxassist.exe", Binary(version));
        WriteFile("C:\\KIT\\contenu\\cfg.ini", "[General]\r\nTitre=Telvora " + version + "\r\n");
        WriteFile("C:\\KIT\\contenu\\Docs\\Images\\logo.bmp", Binary("logo" + version));
        WriteFile(std::string("C:\\KIT\\contenu\\") + kAccented, "Accès " + version + "\r\n");
    }

    static std::string Binary(const std::string& seed) {
        std::string bytes;
        for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 7 + seed.size()) & 0xFF);
        return bytes + seed + std::string(1, '\0');
    }

    static std::string Target(const std::string& relative) {
        return std::string(kDestination) + "\\" + relative;
    }

    // The wizard's start: WinExec's command line split with the Windows rules, so the
    // directory with blanks arrives as two arguments.
    static int Run() {
        return plat::SpawnWait(kProgram, {kProgram, "/auto", "C:\\Program", "Files\\Telvora"});
    }

    static void ExpectPayloadCopied(const std::string& version) {
        for (const char* relative :
             {"cnxassist.exe", "cfg.ini", "Docs\\Images\\logo.bmp", kAccented}) {
            SCOPED_TRACE(relative);
            EXPECT_EQ(ReadFile(Target(relative)),
                      ReadFile(std::string("C:\\KIT\\contenu\\") + relative));
        }
        EXPECT_EQ(ReadFile(Target("cfg.ini")), "[General]\r\nTitre=Telvora " + version + "\r\n");
        EXPECT_TRUE(IsFolder(Target("Vide")));
    }

    // The boxes the programs started here showed, one line each (program, caption, text).
    std::string Boxes() const {
        std::string text;
        std::ifstream in(boxLog_);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return text;
    }

    std::string folder_;
    std::string boxLog_;
};

// --- Reading the command line --------------------------------------------------------------

TEST(KitExtractCommandLine, TakesEverythingAfterAutoBlanksIncluded) {
    std::string destination;
    ASSERT_TRUE(
        kitextract::DestinationFromCommandLine("/auto C:\\Program Files\\Telvora", &destination));
    EXPECT_EQ(destination, "C:\\Program Files\\Telvora");
    ASSERT_TRUE(kitextract::DestinationFromCommandLine("  /AUTO   \"C:\\Mes Documents\\\"  ",
                                                       &destination));
    EXPECT_EQ(destination, "C:\\Mes Documents");
    ASSERT_TRUE(kitextract::DestinationFromCommandLine("/auto C:\\", &destination));
    EXPECT_EQ(destination, "C:\\");
    ASSERT_TRUE(kitextract::DestinationFromCommandLine("/auto\tD:\\Kit  Telvora", &destination));
    EXPECT_EQ(destination, "D:\\Kit  Telvora");
    // Blanks before a last '\' go with it: the folder is named without them.
    ASSERT_TRUE(
        kitextract::DestinationFromCommandLine("/auto \"C:\\Telvora \\ \\\"", &destination));
    EXPECT_EQ(destination, "C:\\Telvora");
    ASSERT_TRUE(kitextract::DestinationFromCommandLine("/auto C:\\Kit\r\\", &destination));
    EXPECT_EQ(destination, "C:\\Kit");
    ASSERT_TRUE(kitextract::DestinationFromCommandLine("/auto C:\\ \\", &destination));
    EXPECT_EQ(destination, "C:\\");
}

TEST(KitExtractCommandLine, RefusesAnythingElse) {
    std::string destination;
    for (const char* text : {"", "   ", "/auto", "/auto   ", "/auto \"\"", "/autoC:\\X", "C:\\X",
                             "/x C:\\X", "-auto C:\\X", "/auto \"C:\\X"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(kitextract::DestinationFromCommandLine(text, &destination));
        EXPECT_EQ(destination, "");
    }
    EXPECT_FALSE(kitextract::DestinationFromCommandLine(nullptr, &destination));
}

TEST(KitExtractPaths, FolderOfAndJoin) {
    EXPECT_EQ(kitextract::FolderOf("C:\\KIT\\kitextract.exe"), "C:\\KIT");
    EXPECT_EQ(kitextract::FolderOf("C:\\kitextract.exe"), "C:\\");
    EXPECT_EQ(kitextract::Join("C:\\", "a"), "C:\\a");
    EXPECT_EQ(kitextract::Join("C:\\KIT", "a"), "C:\\KIT\\a");
}

// --- The payload's walk, copies and the window, in this process -------------------------------

TEST_F(KitExtractTest, WalksThePayloadSortedByNameFoldersFirstOfWhatTheyHold) {
    MakePayload("1");
    kitextract::Log log("C:\\log.txt");
    std::vector<kitextract::Entry> entries;
    int errors = 0;
    ASSERT_TRUE(kitextract::ListPayload("C:\\KIT\\contenu", &entries, &log, &errors));
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(log.Text(), "");
    std::vector<std::string> seen;
    for (const kitextract::Entry& entry : entries) {
        seen.push_back(entry.path + (entry.folder ? "\\" : ""));
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"cfg.ini", "cnxassist.exe", "Docs\\", kAccented,
                                        "Docs\\Images\\", "Docs\\Images\\logo.bmp", "Vide\\"}));

    ASSERT_TRUE(plat::CreateDirectory("C:\\Vide"));
    EXPECT_TRUE(kitextract::ListPayload("C:\\Vide", &entries, &log, &errors));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(kitextract::ListPayload("C:\\Absent", &entries, &log, &errors));
    EXPECT_EQ(errors, 0);
}

TEST_F(KitExtractTest, DoesNotWalkFoldersNestedAbsurdlyDeep) {
    std::string folder = "C:\\P";
    ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
    for (int level = 1; level <= kitextract::kMaxPayloadDepth + 1; ++level) {
        folder += "\\a";
        ASSERT_TRUE(plat::CreateDirectory(folder.c_str())) << level;
    }
    WriteFile(folder + "\\f.txt", "x");
    kitextract::Log log("C:\\log.txt");
    std::vector<kitextract::Entry> entries;
    int errors = 0;
    ASSERT_TRUE(kitextract::ListPayload("C:\\P", &entries, &log, &errors));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(kitextract::kMaxPayloadDepth));
    EXPECT_NE(log.Text().find("Erreur : dossier du kit trop profond, ignoré : a\\a"),
              std::string::npos)
        << log.Text();
}

TEST_F(KitExtractTest, MakesEveryMissingFolderAndLogsEach) {
    kitextract::Log log("C:\\log.txt");
    ASSERT_TRUE(kitextract::MakeFolders("C:\\A b\\C\\D", &log));
    EXPECT_TRUE(IsFolder("C:\\A b\\C\\D"));
    EXPECT_EQ(log.Text(),
              "Dossier créé : C:\\A b\r\nDossier créé : C:\\A b\\C\r\n"
              "Dossier créé : C:\\A b\\C\\D\r\n");
    EXPECT_EQ(ReadFile("C:\\log.txt"), log.Text());
    // A file in the way is an error.
    WriteFile("C:\\A b\\f", "x");
    EXPECT_FALSE(kitextract::MakeFolders("C:\\A b\\f\\g", &log));
    EXPECT_NE(log.Text().find("Erreur : impossible de créer le dossier C:\\A b\\f (un fichier "
                              "porte déjà ce nom)\r\n"),
              std::string::npos);
}

TEST_F(KitExtractTest, ACopyThatFailsLeavesTheOldFileAndNoTemporaryFile) {
    WriteFile("C:\\KIT\\new.txt", "nouveau");
    WriteFile("C:\\KIT\\old.txt", "ancien");
    ASSERT_TRUE(plat::SetFileAttributes("C:\\KIT\\old.txt", plat::kFileAttributeReadOnly));
    std::string why;
    EXPECT_FALSE(kitextract::CopyOneFile("C:\\KIT\\new.txt", "C:\\KIT\\old.txt", &why));
    EXPECT_EQ(why, "fichier en lecture seule");
    EXPECT_EQ(ReadFile("C:\\KIT\\old.txt"), "ancien");
    EXPECT_FALSE(Exists("C:\\KIT\\old.txt.kx~"));

    EXPECT_FALSE(kitextract::CopyOneFile("C:\\KIT\\absent.txt", "C:\\KIT\\x.txt", &why));
    EXPECT_FALSE(Exists("C:\\KIT\\x.txt"));

    // A leftover temporary file of an interrupted run is replaced, then removed.
    WriteFile("C:\\KIT\\y.txt.kx~", "reste");
    ASSERT_TRUE(kitextract::CopyOneFile("C:\\KIT\\new.txt", "C:\\KIT\\y.txt", &why));
    EXPECT_EQ(ReadFile("C:\\KIT\\y.txt"), "nouveau");
    EXPECT_FALSE(Exists("C:\\KIT\\y.txt.kx~"));
}

TEST_F(KitExtractTest, ShowsItsFrenchWindowAndFillsItsBar) {
    plat::Hwnd window = kitextract::OpenProgressWindow();
    ASSERT_NE(window, plat::kNoWindow);
    EXPECT_EQ(sim::ui::FindTopLevel("CKitExtract", "Installation du kit Telvora"), window);
    sim::ui::WindowInfo info = sim::ui::Info(window);
    EXPECT_TRUE(info.shown);
    EXPECT_GE(info.screenRect.left, 0);
    EXPECT_LE(info.screenRect.right, 1024);
    kitextract::ShowStatus(window, "Copie de Guide d'accès.txt ...");
    EXPECT_EQ(sim::ui::Info(plat::GetDlgItem(window, kitextract::kStatusTextId)).text,
              "Copie de Guide d'accès.txt ...");
    EXPECT_NE(sim::ui::Info(plat::GetDlgItem(window, kitextract::kStatusTextId)).font.height, 0);
    plat::Hwnd bar = plat::GetDlgItem(window, kitextract::kBarId);
    ASSERT_NE(bar, plat::kNoWindow);
    int painted = sim::ui::Info(bar).paintCount;
    kitextract::ShowProgress(window, 1, 4);
    EXPECT_EQ(kitextract::ProgressThousandths(), 250);
    EXPECT_GT(sim::ui::Info(bar).paintCount, painted);
    EXPECT_FALSE(sim::ui::DrawLog(bar).empty());
    kitextract::ShowProgress(window, 4, 4);
    EXPECT_EQ(kitextract::ProgressThousandths(), 1000);
    plat::DestroyWindow(window);
}

// --- The program itself, started on the machine -----------------------------------------------

TEST_F(KitExtractTest, CopiesThePayloadIntoADirectoryWithBlanksAndLogsIt) {
    MakePayload("1");
    ASSERT_EQ(Run(), 0);
    ExpectPayloadCopied("1");
    EXPECT_EQ(ReadFile(Target("kitextract.log")),
              "Installation du kit Telvora dans C:\\Program Files\\Telvora\r\n"
              "Dossier créé : C:\\Program Files\r\n"
              "Dossier créé : C:\\Program Files\\Telvora\r\n"
              "Inscrit dans Ajout/Suppression de programmes : Kit Telvora\r\n"
              "Fichier copié : cfg.ini\r\n"
              "Fichier copié : cnxassist.exe\r\n"
              "Dossier créé : C:\\Program Files\\Telvora\\Docs\r\n"
              "Fichier copié : Docs\\Guide d'accès.txt\r\n"
              "Dossier créé : C:\\Program Files\\Telvora\\Docs\\Images\r\n"
              "Fichier copié : Docs\\Images\\logo.bmp\r\n"
              "Dossier créé : C:\\Program Files\\Telvora\\Vide\r\n"
              "Terminé : 4 fichier(s) copié(s), 0 erreur(s)\r\n");
    EXPECT_FALSE(Exists(Target("cfg.ini.kx~")));
}

TEST_F(KitExtractTest, ASecondRunOverwritesAndAQuotedDirectoryServesToo) {
    MakePayload("1");
    ASSERT_EQ(Run(), 0);
    MakePayload("version 2");
    // The start quotes the directory, blanks and all: the program's line holds it in quotes.
    ASSERT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto", "C:\\Program Files\\Telvora"}), 0);
    ExpectPayloadCopied("version 2");
    std::string log = ReadFile(Target("kitextract.log"));
    EXPECT_EQ(log.find("Dossier créé"), std::string::npos) << log;
    EXPECT_NE(log.find("Terminé : 4 fichier(s) copié(s), 0 erreur(s)"), std::string::npos);
}

TEST_F(KitExtractTest, AReadOnlyTargetIsAnErrorThatLeavesTheOldFile) {
    MakePayload("1");
    ASSERT_EQ(Run(), 0);
    MakePayload("2");
    ASSERT_TRUE(plat::SetFileAttributes(Target("cfg.ini").c_str(), plat::kFileAttributeReadOnly));
    ASSERT_EQ(Run(), 1);
    EXPECT_EQ(ReadFile(Target("cfg.ini")), "[General]\r\nTitre=Telvora 1\r\n");
    EXPECT_FALSE(Exists(Target("cfg.ini.kx~")));
    // The others are copied all the same.
    EXPECT_EQ(ReadFile(Target("cnxassist.exe")), Binary("2"));
    std::string log = ReadFile(Target("kitextract.log"));
    EXPECT_NE(log.find("Erreur : impossible de copier cfg.ini (fichier en lecture seule)\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Terminé : 3 fichier(s) copié(s), 1 erreur(s)"), std::string::npos);
}

TEST_F(KitExtractTest, AMissingPayloadFolderIsAnErrorInTheLog) {
    ASSERT_EQ(Run(), 1);
    std::string log = ReadFile(Target("kitextract.log"));
    EXPECT_NE(log.find("Erreur : dossier du contenu du kit introuvable : C:\\KIT\\contenu\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Terminé"), std::string::npos) << log;
}

TEST_F(KitExtractTest, AnEmptyPayloadFolderCopiesNothingAndSucceeds) {
    ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\contenu"));
    ASSERT_EQ(Run(), 0);
    std::string log = ReadFile(Target("kitextract.log"));
    EXPECT_NE(log.find("Terminé : 0 fichier(s) copié(s), 0 erreur(s)\r\n"), std::string::npos)
        << log;
}

TEST_F(KitExtractTest, ABadCommandLineCopiesNothingAndSaysTheKitIsDamaged) {
    MakePayload("1");
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram}), 2);
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto"}), 2);
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram, "C:\\Program Files\\Telvora"}), 2);
    EXPECT_FALSE(Exists(kDestination));
    const std::string damaged =
        std::string(kProgram) +
        "\tInstallation du kit Telvora\tLe Kit Telvora est endommagé : son "
        "programme de copie n'a pas reçu le répertoire d'installation.\\nRecommencez "
        "l'installation depuis le CD ; si le problème persiste, demandez un nouveau kit à "
        "Telvora.\n";
    EXPECT_EQ(Boxes(), damaged + damaged + damaged);
}

TEST_F(KitExtractTest, AFolderThatCannotBeMadeIsToldWithWhyAndNoLog) {
    MakePayload("1");
    WriteFile("C:\\Fichier", "x");
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto", "C:\\Fichier\\Telvora"}), 1);
    EXPECT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto", "Q:\\Telvora"}), 1);
    EXPECT_EQ(Boxes(),
              std::string(kProgram) +
                  "\tInstallation du kit Telvora\tLe répertoire d'installation "
                  "C:\\Fichier\\Telvora n'a pas pu être créé : un fichier porte déjà ce nom.\\n"
                  "Choisissez un autre répertoire.\n" +
                  kProgram +
                  "\tInstallation du kit Telvora\tLe répertoire d'installation "
                  "Q:\\Telvora n'a pas pu être créé : le chemin est introuvable (lecteur absent ?)."
                  "\\nChoisissez un autre répertoire.\n");
}

TEST_F(KitExtractTest, ASecondExtractionIntoTheSameFolderIsRefused) {
    MakePayload("1");
    plat::InstanceClaim claim = 0;
    ASSERT_TRUE(plat::ClaimInstance(kitextract::ClaimName(kDestination).c_str(), &claim));
    EXPECT_EQ(Run(), 1);
    plat::ReleaseInstance(claim);
    EXPECT_FALSE(Exists(kDestination));
    EXPECT_EQ(Boxes(),
              std::string(kProgram) +
                  "\tInstallation du kit Telvora\tLe Kit Telvora est déjà en cours "
                  "d'installation dans C:\\Program Files\\Telvora.\\nAttendez la fin de cette "
                  "installation.\n");
    EXPECT_EQ(Run(), 0);  // once the first has ended
}

TEST_F(KitExtractTest, ALogThatCannotBeWrittenLosesNoFile) {
    MakePayload("1");
    // A folder in the log's place: no line of it can be written.
    ASSERT_TRUE(kitextract::MakeFolders(Target("kitextract.log"), nullptr));
    EXPECT_EQ(Run(), 0);
    ExpectPayloadCopied("1");
    EXPECT_EQ(Boxes(), "");
}

TEST_F(KitExtractTest, TheProgressMovesByEachFilesSize) {
    plat::CreateDirectory("C:\\KIT\\contenu");
    plat::CreateDirectory("C:\\KIT\\contenu\\d");
    WriteFile("C:\\KIT\\contenu\\a.txt", std::string(100, 'a'));
    WriteFile("C:\\KIT\\contenu\\d\\b.txt", std::string(300, 'b'));
    std::string calls;
    kitextract::Outcome outcome = kitextract::Extract(
        "C:\\KIT", kDestination,
        [&calls](const std::string& file, std::uint64_t done, std::uint64_t total) {
            calls += file + " " + std::to_string(done) + "/" + std::to_string(total) + "\n";
        });
    EXPECT_EQ(outcome.errors, 0);
    EXPECT_EQ(calls, "a.txt 0/400\nd 100/400\nd\\b.txt 100/400\n 400/400\n");
}

}  // namespace
