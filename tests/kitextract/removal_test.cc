// The kit's removal on the simulated machine: the kit installed by its extraction program, the
// shortcut and the connection wizard's files added as the kit's programs add them, then the
// uninstaller started as the control panel starts it, from the "UninstallString" of its entry.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/install_record.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/sim/machine.h"
#include "platform/sim/pending_deletion.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/test_temp_folder.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/removal_entry.h"
#include "tools/kitextract/restart_removal.h"

namespace {

constexpr const char* kProgram = "C:\\KIT\\kitextract.exe";
constexpr const char* kDestination = "C:\\Program Files\\Telvora";
constexpr const char* kLink = "C:\\WINDOWS\\Bureau\\Espace Telvora.lnk";
constexpr const char* kStop = "C:\\stop-outil";

// Every file of drive C: with its contents, and every folder ("/" after its name).
using DriveState = std::map<std::string, std::string>;

void ReadTree(const std::string& host, const std::string& relative, DriveState* state) {
    DIR* dir = opendir(host.c_str());
    if (dir == nullptr) return;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = host + "/" + name;
        const std::string key = relative.empty() ? name : relative + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            (*state)[key + "/"] = "";
            ReadTree(path, key, state);
        } else {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            (*state)[key] = bytes.str();
        }
    }
    closedir(dir);
}

class KitRemovalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("kit-removal-test");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::ui::Reset();
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT"));
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\contenu"));
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\contenu\\Docs"));
        const std::string program = sim::Machine::Current().ToWindowsPath(KITEXTRACT_PATH);
        ASSERT_TRUE(plat::CopyFile(program.c_str(), kProgram, false));
        const std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
        ASSERT_TRUE(plat::CopyFile(child.c_str(), "C:\\KIT\\contenu\\outil.exe", false));
        Write("C:\\KIT\\Pakonel.ini",
              "[General]\r\nTitre=Kit Telvora démonstration\r\nEspace=espace.exe\r\n");
        Write(
            "C:\\KIT\\contenu\\cfg.ini",
            "[General]\r\nPremier=Inscription1\r\n[Inscription1]\r\nTelvoraIsp=telvora.ins\r\n"
            "[Icone1]\r\nNomFichier=icones.ini\r\n[Icone2]\r\nNomFichier=..\\..\\autoexec.bat\r\n");
        Write("C:\\KIT\\contenu\\telvora.ins", "[Phone]\r\n");
        Write("C:\\KIT\\contenu\\Docs\\guide.txt", "Guide\r\n");
        // Every Windows 95 has the key the entries go under.
        plat::RegKey key = 0;
        ASSERT_EQ(plat::RegCreateKey(plat::kHkeyLocalMachine, kitextract::kUninstallRoot, &key), 0);
        plat::RegCloseKey(key);
        boxLog_ = folder_ + "/boxes.log";
        ::setenv("SIMWIN_BOX_LOG", boxLog_.c_str(), 1);
    }

    void TearDown() override {
        ::unsetenv("SIMWIN_BOX_LOG");
        sim::ui::Reset();
    }

    static void Write(const std::string& path, const std::string& text) {
        ASSERT_TRUE(plat::WriteWholeFile(path.c_str(), text)) << path;
    }
    static bool Exists(const std::string& path) {
        return plat::GetFileAttributes(path.c_str()) != plat::kInvalidFileAttributes;
    }
    static std::string Target(const std::string& relative) {
        return std::string(kDestination) + "\\" + relative;
    }

    DriveState Drive() const {
        DriveState state;
        ReadTree(folder_ + "/drive_c", "", &state);
        std::ifstream in(sim::Machine::Current().RegistryFile(), std::ios::binary);
        std::ostringstream registry;
        registry << in.rdbuf();
        state["(registre)"] = registry.str();
        return state;
    }

    // The kit wizard's part: the extraction program, then the desktop shortcut it records.
    static void Install() {
        ASSERT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto", "C:\\Program", "Files\\Telvora"}),
                  0);
        plat::ShellLinkSettings link;
        link.targetPath = Target("espace.exe");
        link.workingDirectory = kDestination;
        ASSERT_TRUE(plat::SaveShellLink(link, kLink, false));
        kit::InstallRecord record;
        ASSERT_TRUE(kit::LoadRecord(kDestination, &record));
        kit::AddShortcut(&record, kLink);
        ASSERT_TRUE(kit::SaveRecord(kDestination, record));
    }

    // The connection wizard's part: its working sign-up file, the numbers it writes.
    static void RunConnectionWizard() {
        Write(Target("modele_0.ins"), "[User]\r\nName=abonne\r\n");
        Write(Target("telvora.ins"), "[Phone]\r\nPhone_Number=0836\r\n");
        Write(Target("icones.ini"), "[Icone1]\r\nVisible=1\r\n");
    }

    static std::string EntryKey() { return kitextract::EntryKeyFor(kDestination); }

    // The control panel's start: the entry's command line, split by Windows' rules; then the
    // copy the uninstaller starts from the temporary folder, waited for.
    static void RemoveAsTheControlPanelDoes() {
        const std::string command = kitextract::EntryUninstallString(EntryKey());
        ASSERT_FALSE(command.empty());
        const std::size_t blank = command.find(' ');
        const std::string program = command.substr(0, blank);
        ASSERT_EQ(plat::SpawnWait(program.c_str(), {program, command.substr(blank + 1)}), 0);
        WaitForUninstallers();
    }

    static void WaitForUninstallers() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            std::vector<std::string> running;
            ASSERT_TRUE(plat::ProcessSnapshot(&running));
            bool still = false;
            for (const std::string& name : running) {
                still = still || name.find("kitsuppr.exe") != std::string::npos;
            }
            if (!still) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << "the uninstaller did not end";
    }

    std::string Boxes() const {
        std::ifstream in(boxLog_);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string folder_;
    std::string boxLog_;
};

TEST_F(KitRemovalTest, InstallThenRemoveGivesBackTheMachineButWhatTheNextStartRemoves) {
    const DriveState before = Drive();
    Install();
    RunConnectionWizard();
    ASSERT_TRUE(Exists(Target("kitsuppr.exe")));
    ASSERT_TRUE(Exists(kLink));
    RemoveAsTheControlPanelDoes();

    DriveState after = Drive();
    // The uninstaller's copy in the temporary folder ran the removal: Windows deletes it at its
    // next start, as WININIT.INI says in the short form it reads.
    EXPECT_EQ(after.erase("WINDOWS/TEMP/kitsuppr.exe"), 1u);
    ASSERT_EQ(after.count("WINDOWS/WININIT.INI"), 1u);
    EXPECT_EQ(after["WINDOWS/WININIT.INI"], "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\kitsuppr.exe\r\n");
    after.erase("WINDOWS/WININIT.INI");
    EXPECT_EQ(after, before);
    const std::string boxes = Boxes();
    EXPECT_NE(boxes.find("Seront supprimés :"), std::string::npos) << boxes;
    EXPECT_NE(boxes.find("le raccourci « Espace Telvora » du bureau"), std::string::npos) << boxes;
    EXPECT_NE(boxes.find("Le Kit Telvora a été supprimé de cet ordinateur."), std::string::npos);
    EXPECT_NE(boxes.find("la connexion d'accès à distance, les comptes de courrier et les pages "
                         "du navigateur"),
              std::string::npos);
    EXPECT_EQ(boxes.find("Redémarrez"), std::string::npos) << boxes;

    // A second removal, from the copy that is still there, has nothing to do and says so.
    ASSERT_EQ(plat::SpawnWait("C:\\WINDOWS\\TEMP\\kitsuppr.exe",
                              {"C:\\WINDOWS\\TEMP\\kitsuppr.exe", "/supprimer", kDestination}),
              0);
    EXPECT_NE(Boxes().find("il n'y a rien à supprimer"), std::string::npos);
}

TEST_F(KitRemovalTest, KeepsAChangedFileAndAReplacedOneAndNamesThem) {
    ASSERT_TRUE(plat::CreateDirectory("C:\\Program Files"));
    ASSERT_TRUE(plat::CreateDirectory(kDestination));
    // There before the kit: the kit's copy replaces it, and the removal leaves it in place.
    Write(Target("outil.exe"), "ancien\r\n");
    // Also there before, but a file the connection wizard writes: it goes with the kit.
    Write(Target("icones.ini"), "[Icone1]\r\n");
    Install();
    RunConnectionWizard();
    Write(Target("Docs\\guide.txt"), "Guide annoté par l'abonné\r\n");
    RemoveAsTheControlPanelDoes();

    EXPECT_TRUE(Exists(Target("Docs\\guide.txt")));
    EXPECT_TRUE(Exists(Target("outil.exe")));
    for (const char* gone : {"cfg.ini", "telvora.ins", "modele_0.ins", "icones.ini", "kitsuppr.exe",
                             "kitextract.log", "kitextract.lst"}) {
        EXPECT_FALSE(Exists(Target(gone))) << gone;
    }
    EXPECT_FALSE(Exists(kLink));
    EXPECT_TRUE(kitextract::EntryUninstallString(EntryKey()).empty());
    // A name that leads out of the folder is never taken for one of the kit's.
    EXPECT_FALSE(Exists("C:\\autoexec.bat"));
    const std::string boxes = Boxes();
    EXPECT_NE(boxes.find("modifiés depuis l'installation, ont été conservés dans C:\\Program "
                         "Files\\Telvora :\\n   Docs\\guide.txt"),
              std::string::npos)
        << boxes;
    EXPECT_NE(boxes.find("qui étaient là avant l'installation, ont été laissés en place dans "
                         "C:\\Program Files\\Telvora :\\n   outil.exe\\n\\n"),
              std::string::npos)
        << boxes;
}

TEST_F(KitRemovalTest, ASecondInstallationMergesIntoTheRecordAndGoesWhole) {
    Install();
    // A newer kit into the same folder: one file changed, one new.
    Write("C:\\KIT\\contenu\\Docs\\guide.txt", "Guide, deuxième édition\r\n");
    Write("C:\\KIT\\contenu\\nouveau.txt", "Nouveau\r\n");
    ASSERT_EQ(plat::SpawnWait(kProgram, {kProgram, "/auto", kDestination}), 0);
    RemoveAsTheControlPanelDoes();
    EXPECT_FALSE(Exists(kDestination));
    EXPECT_EQ(Boxes().find("conservés"), std::string::npos) << Boxes();
    EXPECT_EQ(Boxes().find("laissés en place"), std::string::npos) << Boxes();
}

TEST_F(KitRemovalTest, AShortcutThatLeadsElsewhereNowStays) {
    Install();
    plat::ShellLinkSettings link;
    link.targetPath = "C:\\Autre\\programme.exe";
    ASSERT_TRUE(plat::SaveShellLink(link, kLink, false));
    RemoveAsTheControlPanelDoes();
    EXPECT_TRUE(Exists(kLink));
    EXPECT_FALSE(Exists(kDestination));
}

TEST_F(KitRemovalTest, RefusesWhileTheConnectionWizardRunsAndRemovesNothing) {
    Install();
    plat::InstanceClaim claim = 0;
    ASSERT_TRUE(plat::ClaimInstance("TelvoraAssistantDeConnexion", &claim));
    const DriveState installed = Drive();
    const std::string uninstaller = Target("kitsuppr.exe");
    EXPECT_EQ(plat::SpawnWait(uninstaller.c_str(), {uninstaller, "/supprimer", kDestination}), 1);
    plat::ReleaseInstance(claim);
    EXPECT_EQ(Drive(), installed);
    EXPECT_NE(Boxes().find("pendant que l'assistant de connexion à Telvora fonctionne"),
              std::string::npos)
        << Boxes();
}

TEST_F(KitRemovalTest, RefusesWhileAnInstallationIntoTheFolderRuns) {
    Install();
    plat::InstanceClaim claim = 0;
    ASSERT_TRUE(plat::ClaimInstance(kitextract::ClaimName(kDestination).c_str(), &claim));
    const DriveState installed = Drive();
    const std::string uninstaller = Target("kitsuppr.exe");
    EXPECT_EQ(plat::SpawnWait(uninstaller.c_str(), {uninstaller, "/supprimer", kDestination}), 1);
    plat::ReleaseInstance(claim);
    EXPECT_EQ(Drive(), installed);
    EXPECT_NE(Boxes().find("pendant que son installation dans C:\\Program Files\\Telvora est en "
                           "cours"),
              std::string::npos)
        << Boxes();
}

TEST_F(KitRemovalTest, AFileInUseGoesAtTheNextStartTheWayTheVersionCallsFor) {
    for (const plat::Dword platform : {1u, 2u}) {
        SCOPED_TRACE(platform);
        sim::MachineSettings settings = sim::Machine::Current().Settings();
        settings.platformId = platform;
        sim::Machine::Current().SetSettings(settings);
        plat::DeleteFile("C:\\WINDOWS\\WININIT.INI");
        plat::DeleteFile(kStop);
        Install();
        const std::string tool = Target("outil.exe");
        plat::ProcessHandle running = 0;
        ASSERT_EQ(plat::SpawnNoWait(tool.c_str(), {tool, "wait", kStop}, &running), 0);
        RemoveAsTheControlPanelDoes();
        EXPECT_TRUE(Exists(tool));
        EXPECT_FALSE(Exists(Target("cfg.ini")));
        EXPECT_TRUE(kitextract::EntryUninstallString(EntryKey()).empty());
        std::string wininit;
        plat::ReadWholeFile("C:\\WINDOWS\\WININIT.INI", &wininit);
        const std::vector<std::string> pending = sim::PendingDeletions();
        if (platform == 1) {
            // The short form of each part of the path: WININIT.INI runs before long names exist.
            EXPECT_NE(wininit.find("NUL=C:\\PROGRA~1\\Telvora\\outil.exe\r\n"), std::string::npos)
                << wininit;
        } else {
            EXPECT_EQ(wininit, "");
            // The file, then the folder it leaves empty.
            const auto file = std::find(pending.begin(), pending.end(), tool);
            ASSERT_NE(file, pending.end());
            ASSERT_NE(file + 1, pending.end());
            EXPECT_EQ(*(file + 1), kDestination);
        }
        EXPECT_NE(Boxes().find("Redémarrez l'ordinateur pour terminer la suppression : 1 "
                               "fichier(s) encore utilisé(s)"),
                  std::string::npos);
        Write(kStop, "");
        while (plat::ProcessStillRunning(running)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        plat::CloseProcessHandle(running);
        plat::DeleteFile(tool.c_str());
        plat::RemoveDirectory(kDestination);
    }
}

TEST(KitRemovalRestart, WininitLinesGoAtTheEndOfTheRenameSection) {
    EXPECT_EQ(kitextract::AddDeletionsToWininit("", {"C:\\A.EXE", "C:\\B.EXE"}),
              "[rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n");
    EXPECT_EQ(kitextract::AddDeletionsToWininit(
                  "[Rename]\r\nNUL=C:\\A.EXE\r\n\r\n[Autre]\r\nx=1\r\n", {"C:\\B.EXE"}),
              "[Rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n\r\n[Autre]\r\nx=1\r\n");
    EXPECT_EQ(kitextract::AddDeletionsToWininit("[Autre]\r\nx=1", {"C:\\B.EXE"}),
              "[Autre]\r\nx=1\r\n[rename]\r\nNUL=C:\\B.EXE\r\n");
    EXPECT_EQ(kitextract::AddDeletionsToWininit(" [rename] \r\nNUL=C:\\A.EXE", {"C:\\B.EXE"}),
              " [rename] \r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n");
    // A removal started again asks once.
    EXPECT_EQ(kitextract::AddDeletionsToWininit("[rename]\r\nNUL=C:\\A.EXE\r\n", {"C:\\A.EXE"}),
              "[rename]\r\nNUL=C:\\A.EXE\r\n");
}

}  // namespace
