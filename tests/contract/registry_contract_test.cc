// The registry family gives the same answers on the simulated machine and on the real platform,
// which for this suite is Windows 98: under Wine, contract_tests.exe must run with the win98
// version setting, or the string counts and the key deletions below differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "tests/contract/contract_env.h"
#include "tests/contract/reg_import.h"

namespace {

using plat::Dword;
using plat::Long;
using plat::RegKey;

// ERROR_BAD_PATHNAME.
constexpr Long kErrorBadPathname = 161;
constexpr const char* kWin98Hint = " (the platform must follow Windows 98 rules)";

struct Queried {
    Long result = -1;
    Dword type = 0xFFFF;
    std::string bytes;
};

std::string Bytes(const char* data, size_t count) { return std::string(data, count); }

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = contract::FreshKeyPath();
        ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, path_.c_str(), &key_),
                  plat::kErrorSuccess);
    }
    void TearDown() override {
        if (key_ != 0) plat::RegCloseKey(key_);
        plat::RegDeleteKey(plat::kHkeyCurrentUser, path_.c_str());
    }

    Long Set(const char* name, Dword type, const std::string& bytes) {
        return plat::RegSetValue(key_, name, type,
                                 reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<Dword>(bytes.size()));
    }
    // Sets from a C text with an explicit count, as callers of RegSetValueExA do.
    Long SetText(const char* name, Dword type, const char* text, Dword count) {
        return plat::RegSetValue(key_, name, type, reinterpret_cast<const std::uint8_t*>(text),
                                 count);
    }
    Queried Query(const char* name, Dword capacity = 64) { return QueryOn(key_, name, capacity); }
    static Queried QueryOn(RegKey key, const char* name, Dword capacity = 64) {
        Queried q;
        std::string buffer(capacity, '\xEE');
        Dword size = capacity;
        q.result = plat::RegQueryValue(key, name, &q.type,
                                       reinterpret_cast<std::uint8_t*>(&buffer[0]), &size);
        if (q.result == plat::kErrorSuccess) q.bytes = buffer.substr(0, size);
        return q;
    }
    bool KeyExists(const std::string& subKey) {
        RegKey key = 0;
        Long result =
            plat::RegOpenKey(plat::kHkeyCurrentUser, subKey.c_str(), plat::kKeyRead, &key);
        if (result == plat::kErrorSuccess) plat::RegCloseKey(key);
        return result == plat::kErrorSuccess;
    }

    std::string path_;
    RegKey key_ = 0;
};

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndCreatesNothing) {
    std::string missing = path_ + "\\Absente\\Dessous";
    RegKey key = 12345;
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, missing.c_str(), plat::kKeyAllAccess, &key),
              plat::kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_FALSE(KeyExists(path_ + "\\Absente"));
    EXPECT_FALSE(KeyExists(missing));
}

TEST_F(RegistryContract, CreatingMakesTheIntermediateKeysAndReopensExistingOnes) {
    RegKey deep = 0;
    ASSERT_EQ(
        plat::RegCreateKey(plat::kHkeyCurrentUser, (path_ + "\\Un\\Deux\\Trois").c_str(), &deep),
        plat::kErrorSuccess);
    EXPECT_TRUE(KeyExists(path_ + "\\Un"));
    EXPECT_TRUE(KeyExists(path_ + "\\Un\\Deux"));
    ASSERT_EQ(plat::RegSetValue(deep, "v", plat::kRegBinary,
                                reinterpret_cast<const std::uint8_t*>("\x07"), 1),
              plat::kErrorSuccess);
    RegKey again = 0;
    ASSERT_EQ(plat::RegCreateKey(key_, "Un\\Deux\\Trois", &again), plat::kErrorSuccess);
    EXPECT_EQ(QueryOn(again, "v").bytes, "\x07");
    EXPECT_EQ(plat::RegCloseKey(again), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegCloseKey(deep), plat::kErrorSuccess);
}

TEST_F(RegistryContract, KeyAndValueNamesMatchWithoutRegardToCase) {
    RegKey created = 0;
    ASSERT_EQ(plat::RegCreateKey(key_, "Clé Mixte", &created), plat::kErrorSuccess);
    plat::RegCloseKey(created);
    RegKey opened = 0;
    ASSERT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, (path_ + "\\CLÉ mixte").c_str(),
                               plat::kKeyRead, &opened),
              plat::kErrorSuccess);
    plat::RegCloseKey(opened);

    ASSERT_EQ(Set("NomDeValeur", plat::kRegBinary, "\x01"), plat::kErrorSuccess);
    EXPECT_EQ(Query("NOMDEVALEUR").bytes, "\x01");
    ASSERT_EQ(Set("nomdevaleur", plat::kRegBinary, "\x02"), plat::kErrorSuccess);
    EXPECT_EQ(Query("NomDeValeur").bytes, "\x02");
    EXPECT_EQ(plat::RegDeleteValue(key_, "NOMdeVALEUR"), plat::kErrorSuccess);
    EXPECT_EQ(Query("nomdevaleur").result, plat::kErrorFileNotFound);
}

TEST_F(RegistryContract, StringsAreStoredUpToTheirTerminatorWhateverTheCount) {
    // Windows 98 takes the length of a REG_SZ from the text itself.
    ASSERT_EQ(SetText("sans", plat::kRegSz, "abc", 3), plat::kErrorSuccess);
    ASSERT_EQ(SetText("avec", plat::kRegSz, "abc", 4), plat::kErrorSuccess);
    ASSERT_EQ(SetText("court", plat::kRegSz, "abcdef", 2), plat::kErrorSuccess);
    ASSERT_EQ(SetText("vide0", plat::kRegSz, "", 0), plat::kErrorSuccess);
    ASSERT_EQ(SetText("vide1", plat::kRegSz, "", 1), plat::kErrorSuccess);
    ASSERT_EQ(SetText("coupe", plat::kRegSz, "ab\0cd", 6), plat::kErrorSuccess);
    EXPECT_EQ(Query("sans").bytes, Bytes("abc", 4)) << kWin98Hint;
    EXPECT_EQ(Query("avec").bytes, Bytes("abc", 4));
    EXPECT_EQ(Query("court").bytes, Bytes("abcdef", 7)) << kWin98Hint;
    EXPECT_EQ(Query("vide0").bytes, Bytes("", 1)) << kWin98Hint;
    EXPECT_EQ(Query("vide1").bytes, Bytes("", 1));
    EXPECT_EQ(Query("coupe").bytes, Bytes("ab", 3));
    EXPECT_EQ(Query("sans").type, plat::kRegSz);
}

TEST_F(RegistryContract, OtherTypesKeepTheirExactByteCounts) {
    ASSERT_EQ(SetText("etendu", plat::kRegExpandSz, "%WINDIR%x", 8), plat::kErrorSuccess);
    ASSERT_EQ(Set("multi", plat::kRegMultiSz, Bytes("a\0b\0\0", 5)), plat::kErrorSuccess);
    ASSERT_EQ(Set("mot", plat::kRegDword, Bytes("\x1f\0\0\0", 4)), plat::kErrorSuccess);
    ASSERT_EQ(Set("mot3", plat::kRegDword, Bytes("\x01\x02\x03", 3)), plat::kErrorSuccess);
    ASSERT_EQ(Set("octets", plat::kRegBinary, Bytes("\0\xff\x10", 3)), plat::kErrorSuccess);
    ASSERT_EQ(Set("rien", plat::kRegBinary, ""), plat::kErrorSuccess);
    ASSERT_EQ(Set("aucun", plat::kRegNone, "xy"), plat::kErrorSuccess);

    Queried expand = Query("etendu");
    EXPECT_EQ(expand.type, plat::kRegExpandSz);
    EXPECT_EQ(expand.bytes, "%WINDIR%");
    EXPECT_EQ(Query("multi").bytes, Bytes("a\0b\0\0", 5));
    Queried dword = Query("mot");
    EXPECT_EQ(dword.type, plat::kRegDword);
    EXPECT_EQ(dword.bytes, Bytes("\x1f\0\0\0", 4));
    EXPECT_EQ(Query("mot3").bytes, "\x01\x02\x03");
    EXPECT_EQ(Query("octets").bytes, Bytes("\0\xff\x10", 3));
    Queried empty = Query("rien");
    EXPECT_EQ(empty.result, plat::kErrorSuccess);
    EXPECT_EQ(empty.bytes, "");
    EXPECT_EQ(Query("aucun").type, plat::kRegNone);
}

TEST_F(RegistryContract, AnUnterminatedTextGetsATerminatorInTheBufferOnlyWhenThereIsRoom) {
    ASSERT_EQ(SetText("etendu", plat::kRegExpandSz, "abcX", 3), plat::kErrorSuccess);
    std::uint8_t buffer[8];
    std::fill(buffer, buffer + 8, 0xEE);
    Dword size = 8;
    ASSERT_EQ(plat::RegQueryValue(key_, "etendu", nullptr, buffer, &size), plat::kErrorSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer[3], 0) << "the terminator after the stored bytes";
    EXPECT_EQ(buffer[4], 0xEE);

    std::fill(buffer, buffer + 8, 0xEE);
    size = 3;
    ASSERT_EQ(plat::RegQueryValue(key_, "etendu", nullptr, buffer, &size), plat::kErrorSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer[3], 0xEE) << "nothing written past the capacity";

    // Binary data never gets one.
    ASSERT_EQ(Set("octets", plat::kRegBinary, "ab"), plat::kErrorSuccess);
    std::fill(buffer, buffer + 8, 0xEE);
    size = 8;
    ASSERT_EQ(plat::RegQueryValue(key_, "octets", nullptr, buffer, &size), plat::kErrorSuccess);
    EXPECT_EQ(buffer[2], 0xEE);
}

TEST_F(RegistryContract, ASmallBufferGetsMoreDataAndTheNeededSize) {
    ASSERT_EQ(Set("octets", plat::kRegBinary, "12345"), plat::kErrorSuccess);
    std::uint8_t buffer[8];
    std::fill(buffer, buffer + 8, 0xEE);
    Dword type = 0;
    Dword size = 4;
    EXPECT_EQ(plat::RegQueryValue(key_, "octets", &type, buffer, &size), plat::kErrorMoreData);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, plat::kRegBinary);
    EXPECT_EQ(buffer[0], 0xEE) << "the buffer is left alone";
    size = 0;
    EXPECT_EQ(plat::RegQueryValue(key_, "octets", nullptr, buffer, &size), plat::kErrorMoreData);
    EXPECT_EQ(size, 5u);

    // A null data pointer asks for the size only.
    size = 0;
    type = 0;
    EXPECT_EQ(plat::RegQueryValue(key_, "octets", &type, nullptr, &size), plat::kErrorSuccess);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, plat::kRegBinary);
    EXPECT_EQ(plat::RegQueryValue(key_, "octets", &type, nullptr, nullptr), plat::kErrorSuccess);
}

TEST_F(RegistryContract, MissingAndDeletedValues) {
    EXPECT_EQ(Query("absente").result, plat::kErrorFileNotFound);
    Dword size = 0;
    EXPECT_EQ(plat::RegQueryValue(key_, "absente", nullptr, nullptr, &size),
              plat::kErrorFileNotFound);
    EXPECT_EQ(plat::RegDeleteValue(key_, "absente"), plat::kErrorFileNotFound);

    ASSERT_EQ(Set("v", plat::kRegBinary, "x"), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegDeleteValue(key_, "v"), plat::kErrorSuccess);
    EXPECT_EQ(Query("v").result, plat::kErrorFileNotFound);
    EXPECT_EQ(plat::RegDeleteValue(key_, "v"), plat::kErrorFileNotFound);
}

TEST_F(RegistryContract, TheDefaultValueHasTheEmptyOrTheNullName) {
    EXPECT_EQ(Query(nullptr).result, plat::kErrorFileNotFound);
    EXPECT_EQ(Query("").result, plat::kErrorFileNotFound);
    ASSERT_EQ(SetText("", plat::kRegSz, "défaut", 6), plat::kErrorSuccess);
    EXPECT_EQ(Query(nullptr).bytes, Bytes("défaut", 7));
    ASSERT_EQ(SetText(nullptr, plat::kRegSz, "autre", 6), plat::kErrorSuccess);
    EXPECT_EQ(Query("").bytes, Bytes("autre", 6));
    EXPECT_EQ(plat::RegDeleteValue(key_, nullptr), plat::kErrorSuccess);
    EXPECT_EQ(Query("").result, plat::kErrorFileNotFound);
}

TEST_F(RegistryContract, DeletingAKeyTakesItsSubkeysAlong) {
    RegKey deep = 0;
    ASSERT_EQ(plat::RegCreateKey(key_, "Parent\\Enfant\\PetitEnfant", &deep), plat::kErrorSuccess);
    ASSERT_EQ(plat::RegSetValue(deep, "v", plat::kRegDword,
                                reinterpret_cast<const std::uint8_t*>("\1\0\0\0"), 4),
              plat::kErrorSuccess);
    EXPECT_EQ(plat::RegDeleteKey(key_, "PARENT"), plat::kErrorSuccess) << kWin98Hint;
    EXPECT_FALSE(KeyExists(path_ + "\\Parent"));
    EXPECT_FALSE(KeyExists(path_ + "\\Parent\\Enfant"));
    EXPECT_EQ(plat::RegDeleteKey(key_, "Parent"), plat::kErrorFileNotFound);
    // A handle still open on a key that went with it.
    EXPECT_EQ(QueryOn(deep, "v").result, plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegCloseKey(deep), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegDeleteKey(key_, nullptr), plat::kErrorInvalidParameter);
}

TEST_F(RegistryContract, DeletingTheOpenKeyItselfWithAnEmptyName) {
    RegKey child = 0;
    ASSERT_EQ(plat::RegCreateKey(key_, "Moi\\Dessous", &child), plat::kErrorSuccess);
    RegKey self = 0;
    ASSERT_EQ(plat::RegOpenKey(key_, "moi", plat::kKeyRead, &self), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegDeleteKey(self, ""), plat::kErrorSuccess) << kWin98Hint;
    EXPECT_FALSE(KeyExists(path_ + "\\Moi"));
    EXPECT_TRUE(KeyExists(path_));

    // Every handle on the deleted keys answers "key deleted", but closes.
    std::uint8_t byte = 1;
    EXPECT_EQ(plat::RegSetValue(self, "v", plat::kRegBinary, &byte, 1), plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegSetValue(child, "v", plat::kRegBinary, &byte, 1), plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegDeleteValue(child, "v"), plat::kErrorKeyDeleted);
    RegKey under = 0;
    EXPECT_EQ(plat::RegCreateKey(child, "Encore", &under), plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegDeleteKey(self, ""), plat::kErrorKeyDeleted);
    EXPECT_EQ(plat::RegCloseKey(self), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegCloseKey(child), plat::kErrorSuccess);
    EXPECT_EQ(plat::RegCloseKey(child), plat::kErrorInvalidHandle);
}

TEST_F(RegistryContract, ARegFileSeedsTheRegistry) {
    std::string key = "HKEY_CURRENT_USER\\" + path_;
    std::string reg =
        "REGEDIT4\r\n\r\n"
        "[" +
        key +
        "\\Graine]\r\n"
        "@=\"valeur par défaut\"\r\n"
        "\"Chemin\"=\"C:\\\\Program Files\\\\a \\\"b\\\"\"\r\n"
        "\"Nombre\"=dword:0000001f\r\n"
        "\"Octets\"=hex:01,02,\\\r\n"
        "  ff\r\n"
        "\"Etendu\"=hex(2):25,41,25,00\r\n"
        "\"SansZero\"=hex(1):61,62\r\n"
        "\"Jetee\"=\"x\"\r\n"
        "\r\n"
        "[" +
        key +
        "\\Graine\\Jetee]\r\n"
        "\r\n"
        "[" +
        key +
        "\\Graine]\r\n"
        "\"Jetee\"=-\r\n"
        "\r\n"
        "[-" +
        key + "\\Graine\\Jetee]\r\n";
    std::string file = contract::FreshFolder() + "\\graine.reg";
    ASSERT_TRUE(plat::WriteWholeFile(file.c_str(), reg));
    ASSERT_TRUE(contract::ImportRegFile(file));

    RegKey seeded = 0;
    ASSERT_EQ(plat::RegOpenKey(key_, "GRAINE", plat::kKeyRead, &seeded), plat::kErrorSuccess);
    EXPECT_EQ(QueryOn(seeded, "").bytes, Bytes("valeur par défaut", 18));
    EXPECT_EQ(QueryOn(seeded, "Chemin").bytes, Bytes("C:\\Program Files\\a \"b\"", 23));
    Queried number = QueryOn(seeded, "Nombre");
    EXPECT_EQ(number.type, plat::kRegDword);
    EXPECT_EQ(number.bytes, Bytes("\x1f\0\0\0", 4));
    EXPECT_EQ(QueryOn(seeded, "Octets").bytes, "\x01\x02\xff");
    Queried expand = QueryOn(seeded, "Etendu");
    EXPECT_EQ(expand.type, plat::kRegExpandSz);
    EXPECT_EQ(expand.bytes, Bytes("%A%", 4));
    // Regedit terminates a text given in hex without its terminator.
    Queried unterminated = QueryOn(seeded, "SansZero");
    EXPECT_EQ(unterminated.type, plat::kRegSz);
    EXPECT_EQ(unterminated.bytes, Bytes("ab", 3));
    EXPECT_EQ(QueryOn(seeded, "Jetee").result, plat::kErrorFileNotFound);
    EXPECT_FALSE(KeyExists(path_ + "\\Graine\\Jetee"));
    plat::RegCloseKey(seeded);
}

TEST_F(RegistryContract, ClassesRootIsSoftwareClassesOfTheLocalMachine) {
    std::string name = ".telv" + path_.substr(path_.rfind('K') + 1);
    RegKey cls = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyClassesRoot, name.c_str(), &cls), plat::kErrorSuccess);
    RegKey viaMachine = 0;
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyLocalMachine, ("Software\\Classes\\" + name).c_str(),
                               plat::kKeyRead, &viaMachine),
              plat::kErrorSuccess);
    plat::RegCloseKey(viaMachine);
    EXPECT_EQ(plat::RegDeleteKey(cls, ""), plat::kErrorSuccess);
    plat::RegCloseKey(cls);
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyClassesRoot, name.c_str(), plat::kKeyRead, &cls),
              plat::kErrorFileNotFound);
}

TEST_F(RegistryContract, PredefinedRootsOpenAsThemselvesAndCannotBeDeleted) {
    RegKey root = 0;
    EXPECT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, "", plat::kKeyRead, &root),
              plat::kErrorSuccess);
    EXPECT_EQ(root, plat::kHkeyCurrentUser);
    EXPECT_EQ(plat::RegDeleteKey(plat::kHkeyCurrentUser, ""), plat::kErrorAccessDenied);
    EXPECT_EQ(plat::RegCloseKey(plat::kHkeyCurrentUser), plat::kErrorSuccess);
    // A path may not begin with a backslash when opening, while creating skips it.
    RegKey key = 0;
    EXPECT_EQ(
        plat::RegOpenKey(plat::kHkeyCurrentUser, ("\\" + path_).c_str(), plat::kKeyRead, &key),
        kErrorBadPathname);
    EXPECT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, ("\\" + path_ + "\\Cree").c_str(), &key),
              plat::kErrorSuccess)
        << kWin98Hint;
    plat::RegCloseKey(key);
    EXPECT_TRUE(KeyExists(path_ + "\\Cree"));
    // Doubled and trailing backslashes are skipped.
    EXPECT_TRUE(KeyExists(path_ + "\\\\Cree\\"));
}

}  // namespace
