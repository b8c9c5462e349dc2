// The simulated registry's file: what survives a round trip through it, several processes
// writing at once, damaged files, and .reg imports.
#include "platform/sim/registry_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/regedit4.h"
#include "tests/support/test_temp_folder.h"

namespace {

using plat::Dword;
using plat::RegKey;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class RegistryStore : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("registry-store");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        file_ = sim::Machine::Current().RegistryFile();
    }

    RegKey Create(const std::string& path) {
        RegKey key = 0;
        EXPECT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, path.c_str(), &key), 0) << path;
        return key;
    }
    static void Set(RegKey key, const std::string& name, Dword type, const std::string& bytes) {
        EXPECT_EQ(plat::RegSetValue(key, name.c_str(), type,
                                    reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    static_cast<Dword>(bytes.size())),
                  0)
            << name;
    }
    // The registry as another process would load it from the file.
    sim::RegTree LoadFile() {
        sim::RegScript script;
        std::string error;
        EXPECT_TRUE(sim::ParseRegedit4(ReadFile(file_), file_, &script, &error)) << error;
        sim::RegTree tree;
        sim::ApplyRegScript(script, &tree);
        return tree;
    }
    std::string Import(const std::string& text) {
        std::string path = folder_ + "/import.reg";
        WriteFile(path, text);
        std::string error;
        return sim::ImportRegFile(path, &error) ? "ok" : error;
    }

    std::string folder_;
    std::string file_;
};

TEST_F(RegistryStore, EveryTypeAndOddNamesSurviveTheFile) {
    RegKey key = Create("Software\\Noms \"bizarres\"\\a=b]c\\Clé é");
    Set(key, "", plat::kRegSz, std::string("défaut", 7));
    Set(key, "guillemet \" et \\ barre", plat::kRegSz, std::string("C:\\a \"b\"", 9));
    Set(key, "égal=crochet]", plat::kRegSz, std::string("", 1));
    Set(key, "saut\nde ligne", plat::kRegExpandSz, std::string("%A%\r\n", 5));
    Set(key, "multi", plat::kRegMultiSz, std::string("a\0b\0\0", 5));
    Set(key, "mot", plat::kRegDword, std::string("\x1f\0\0\0", 4));
    Set(key, "mot court", plat::kRegDword, std::string("\x01\x02", 2));
    Set(key, "vide", plat::kRegBinary, "");
    Set(key, "aucun", plat::kRegNone, "xy");
    Set(key, "type 9", 9, "\x01");
    std::string big;
    for (int i = 0; i < 100; ++i) big += static_cast<char>(i * 7);
    Set(key, "gros", plat::kRegBinary, big);
    plat::RegCloseKey(key);

    std::string text = ReadFile(file_);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Noms \"bizarres\"\\a=b]c\\Clé é]\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("@=\"défaut\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"guillemet \\\" et \\\\ barre\"=\"C:\\\\a \\\"b\\\"\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"égal=crochet]\"=\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"saut\\nde ligne\"=hex(2):25,41,25,0d,0a\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"mot\"=dword:0000001f\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"mot court\"=hex(4):01,02\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"vide\"=hex:\r\n"), std::string::npos);
    EXPECT_NE(text.find(",\\\r\n  "), std::string::npos) << "long data folded";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;

    sim::RegTree tree = LoadFile();
    const sim::RegKeyNode* node =
        tree.Find({"HKEY_CURRENT_USER", "Software", "Noms \"bizarres\"", "a=b]c", "Clé é"});
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->values.size(), 11u);
    EXPECT_EQ(node->FindValue("")->bytes, std::string("défaut", 7));
    EXPECT_EQ(node->FindValue("GUILLEMET \" ET \\ BARRE")->bytes, std::string("C:\\a \"b\"", 9));
    EXPECT_EQ(node->FindValue("saut\nde ligne")->type, plat::kRegExpandSz);
    EXPECT_EQ(node->FindValue("multi")->bytes, std::string("a\0b\0\0", 5));
    EXPECT_EQ(node->FindValue("mot court")->bytes, "\x01\x02");
    EXPECT_EQ(node->FindValue("type 9")->type, 9u);
    EXPECT_EQ(node->FindValue("gros")->bytes, big);
    EXPECT_EQ(sim::WriteRegedit4(tree), text) << "writing again gives the same file";
}

TEST_F(RegistryStore, StringsWithoutTerminatorKeepTheirCountInTheFile) {
    // Only an NT machine lets a program store a REG_SZ without its terminator.
    sim::MachineSettings nt;
    nt.major = 4;
    nt.minor = 0;
    nt.platformId = 2;
    sim::Machine::Current().SetSettings(nt);
    RegKey key = Create("Software\\Compte");
    const char unterminated[] = {'a', 'b', 'c', 'X'};
    ASSERT_EQ(plat::RegSetValue(key, "sans", plat::kRegSz,
                                reinterpret_cast<const std::uint8_t*>(unterminated), 3),
              0);
    ASSERT_EQ(
        plat::RegSetValue(key, "vide", plat::kRegSz, reinterpret_cast<const std::uint8_t*>(""), 0),
        0);
    Set(key, "zero dedans", plat::kRegSz, std::string("a\0b\0", 4));
    EXPECT_NE(ReadFile(file_).find("\"sans\"=hex(1):61,62,63\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(file_).find("\"vide\"=hex(1):\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(file_).find("\"zero dedans\"=hex(1):61,00,62,00\r\n"), std::string::npos);
    sim::RegTree tree = LoadFile();
    const sim::RegKeyNode* node = tree.Find({"HKEY_CURRENT_USER", "Software", "Compte"});
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->FindValue("sans")->bytes, "abc");
    EXPECT_EQ(node->FindValue("vide")->bytes, "");

    // And refuses to delete a key that has subkeys.
    plat::RegCloseKey(Create("Software\\Compte\\Sous"));
    EXPECT_EQ(plat::RegDeleteKey(key, ""), plat::kErrorAccessDenied);
    plat::RegCloseKey(key);
}

TEST_F(RegistryStore, ConcurrentWritersLoseNoUpdate) {
    constexpr int kProcesses = 4;
    constexpr int kValues = 50;
    plat::RegCloseKey(Create("Software\\Concurrence"));
    pid_t children[kProcesses];
    for (int p = 0; p < kProcesses; ++p) {
        children[p] = fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            int failures = 0;
            for (int v = 0; v < kValues; ++v) {
                RegKey key = 0;
                std::string path = "Software\\Concurrence\\P" + std::to_string(p);
                failures += plat::RegCreateKey(plat::kHkeyCurrentUser, path.c_str(), &key) != 0;
                std::string name = "v" + std::to_string(v);
                Dword number = static_cast<Dword>(p * 1000 + v);
                failures +=
                    plat::RegSetValue(key, name.c_str(), plat::kRegDword,
                                      reinterpret_cast<const std::uint8_t*>(&number), 4) != 0;
                plat::RegCloseKey(key);
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Read through this process's cache, which must notice the other processes' writes.
    for (int p = 0; p < kProcesses; ++p) {
        RegKey key = 0;
        std::string path = "Software\\Concurrence\\P" + std::to_string(p);
        ASSERT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, path.c_str(), plat::kKeyRead, &key), 0);
        for (int v = 0; v < kValues; ++v) {
            Dword number = 0;
            Dword size = 4;
            ASSERT_EQ(plat::RegQueryValue(key, ("v" + std::to_string(v)).c_str(), nullptr,
                                          reinterpret_cast<std::uint8_t*>(&number), &size),
                      0)
                << "P" << p << " v" << v;
            EXPECT_EQ(number, static_cast<Dword>(p * 1000 + v));
        }
        plat::RegCloseKey(key);
    }
}

TEST_F(RegistryStore, AKeyDeletedByAnotherProcessAnswersKeyDeleted) {
    RegKey key = Create("Software\\Partagee");
    Set(key, "v", plat::kRegBinary, "x");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(plat::RegDeleteKey(plat::kHkeyCurrentUser, "Software\\Partagee"));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    Dword size = 0;
    EXPECT_EQ(plat::RegQueryValue(key, "v", nullptr, nullptr, &size), plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegCloseKey(key), 0);
}

TEST_F(RegistryStore, ADamagedFileIsReportedWithItsLineAndNeverOverwritten) {
    std::string torn =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=dword:00000001\r\n\"w\"=\"coup";
    WriteFile(file_, torn);
    RegKey key = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, "Software\\A", plat::kKeyRead, &key),
              sim::kErrorRegistryCorrupt);
    EXPECT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, "Software\\B", &key),
              sim::kErrorRegistryCorrupt);
    EXPECT_EQ(plat::RegSetValue(plat::kHkeyCurrentUser, "x", plat::kRegBinary,
                                reinterpret_cast<const std::uint8_t*>("x"), 1),
              sim::kErrorRegistryCorrupt);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "registry: " + file_ + ":5: quoted text not closed on its line\n")
        << "printed once";
    EXPECT_EQ(ReadFile(file_), torn);

    // Repaired by hand, it is read again.
    WriteFile(file_, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n");
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, "Software\\A", plat::kKeyRead, &key), 0);
    plat::RegCloseKey(key);
}

TEST_F(RegistryStore, MalformedFilesNameTheLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "f.reg:1: empty file, REGEDIT4 expected"},
        {"Windows Registry Editor Version 5.00\r\n", "f.reg:1: the first line must be REGEDIT4"},
        {"REGEDIT4\n\n\"v\"=\"x\"\n", "f.reg:3: value line before any [key] line"},
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "f.reg:2: unknown root key \"HKEY_NOWHERE\""},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A\n", "f.reg:2: a key line must end with ']'"},
        {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", "f.reg:2: a root key cannot be deleted"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\\tb\"\n",
         "f.reg:3: unknown escape \\t in a quoted text"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\" \"x\"\n", "f.reg:3: '=' expected after the name"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n",
         "f.reg:3: dword: needs 1 to 8 hexadecimal digits"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\\\n  02,zz\n",
         "f.reg:4: hexadecimal byte expected"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\\\n",
         "f.reg:3: hex data continued past the end of the file"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(zz):01\n",
         "f.reg:3: bad value type in hex(...)"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"x\" y\n",
         "f.reg:3: unexpected text after the closing quote"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\nv=1\n", "f.reg:3: unrecognised line"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=str:x\n",
         "f.reg:3: value data expected: \"text\", dword:, hex:, hex(n): or -"},
    };
    for (const Case& c : cases) {
        sim::RegScript script;
        std::string error;
        EXPECT_FALSE(sim::ParseRegedit4(c.text, "f.reg", &script, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    sim::RegScript script;
    std::string error;
    EXPECT_TRUE(sim::ParseRegedit4(
        "REGEDIT4\n; comment\n  [HKEY_CURRENT_USER\\A]  \n\t\"v\" = hex:01 , 02,\n@=-\n", "f.reg",
        &script, &error))
        << error;
}

TEST_F(RegistryStore, ImportMergesDeletesAndRejectsBadFilesWhole) {
    RegKey key = Create("Software\\Import");
    Set(key, "gardee", plat::kRegBinary, "g");
    Set(key, "jetee", plat::kRegBinary, "j");
    plat::RegCloseKey(Create("Software\\Import\\Ancienne\\Dessous"));
    EXPECT_EQ(Import("REGEDIT4\r\n\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Import]\r\n"
                     "\"jetee\"=-\r\n"
                     "\"nouvelle\"=\"n\"\r\n"
                     "\"hexa\"=hex(1):61\r\n"
                     "\r\n"
                     "[-HKEY_CURRENT_USER\\Software\\Import\\Ancienne]\r\n"
                     "\"ignoree\"=\"x\"\r\n"
                     "\r\n"
                     "[HKEY_CLASSES_ROOT\\.vtx]\r\n"
                     "@=\"Quadrel\"\r\n"),
              "ok");
    sim::RegTree tree = LoadFile();
    const sim::RegKeyNode* node = tree.Find({"HKEY_CURRENT_USER", "Software", "Import"});
    ASSERT_NE(node, nullptr);
    EXPECT_NE(node->FindValue("gardee"), nullptr);
    EXPECT_EQ(node->FindValue("jetee"), nullptr);
    EXPECT_EQ(node->FindValue("nouvelle")->bytes, std::string("n", 2));
    EXPECT_EQ(node->FindValue("hexa")->bytes, std::string("a", 2)) << "terminated as regedit does";
    EXPECT_TRUE(node->subkeys.empty());
    EXPECT_NE(tree.Find({"HKEY_LOCAL_MACHINE", "Software", "Classes", ".vtx"}), nullptr);

    std::string before = ReadFile(file_);
    EXPECT_EQ(Import("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Import]\r\n\"a\"=\"1\"\r\n"
                     "\"b\"=dword:zz\r\n"),
              folder_ + "/import.reg:4: dword: needs 1 to 8 hexadecimal digits");
    EXPECT_EQ(ReadFile(file_), before) << "nothing of a bad file is applied";
    std::string error;
    EXPECT_FALSE(sim::ImportRegFile(folder_ + "/absent.reg", &error));
    EXPECT_NE(error.find("absent.reg"), std::string::npos) << error;
}

}  // namespace
