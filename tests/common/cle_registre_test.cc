// CCleRegistre on both back ends. What the class asks of the platform (the byte count of a text,
// or no call at all) cannot be seen in the registry itself, since Windows 98 stores a text up to
// its terminator whatever count it is given; the simulated machine records the calls, so those
// checks run on the host build only.
#include "common/cle_registre.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "platform/registry.h"

#ifndef _WIN32
#include <stdlib.h>

#include "platform/sim/machine.h"
#include "platform/sim/registry_calls.h"
#include "tests/support/test_temp_folder.h"
#endif

namespace {

std::string FreshKeyPath() {
    static int counter = 0;
    auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return "Software\\TelvoraCommon\\K" + std::to_string(now % 1000000007) + "_" +
           std::to_string(++counter);
}

class CleRegistre : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef _WIN32
        std::string folder = testsupport::TestTempFolder("cle-registre");
        ASSERT_FALSE(folder.empty());
        sim::Machine::Use(folder);
        sim::ClearRegistryCalls();
#endif
        path_ = FreshKeyPath();
    }
    void TearDown() override { plat::RegDeleteKey(plat::kHkeyCurrentUser, path_.c_str()); }

    // The stored bytes of a value, read past the class.
    std::string Stored(const char* name) {
        plat::RegKey key = 0;
        std::string bytes;
        if (plat::RegOpenKey(plat::kHkeyCurrentUser, path_.c_str(), plat::kKeyRead, &key) != 0) {
            return "<no key>";
        }
        char buffer[64];
        plat::Dword size = sizeof buffer;
        if (plat::RegQueryValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer),
                                &size) == plat::kErrorSuccess) {
            bytes.assign(buffer, size);
        } else {
            bytes = "<no value>";
        }
        plat::RegCloseKey(key);
        return bytes;
    }

#ifndef _WIN32
    // The count passed with the last RegSetValue call, or -1 when there was none.
    static long LastSetCount() {
        long count = -1;
        for (const sim::RegistryCall& call : sim::RegistryCalls()) {
            if (call.function == "RegSetValue") count = call.size;
        }
        return count;
    }
#endif

    std::string path_;
};

TEST_F(CleRegistre, OpensWithOrWithoutCreation) {
    CCleRegistre missing(plat::kHkeyCurrentUser, path_.c_str(), false);
    EXPECT_FALSE(missing.IsOpen());
    CCleRegistre created(plat::kHkeyCurrentUser, path_.c_str(), true);
    ASSERT_TRUE(created.IsOpen());
    EXPECT_TRUE(created.SetDword("n", 0x1234));
    created.Close();
    EXPECT_FALSE(created.IsOpen());

    CCleRegistre existing;
    existing.Open(plat::kHkeyCurrentUser, path_.c_str(), false);
    ASSERT_TRUE(existing.IsOpen());
    plat::Dword value = 0;
    EXPECT_TRUE(existing.QueryDword("N", &value));
    EXPECT_EQ(value, 0x1234u);
    // Opened for writing as well.
    EXPECT_TRUE(existing.SetString("t", "x"));
}

TEST_F(CleRegistre, SetStringPassesTheLengthWithoutTheTerminator) {
    CCleRegistre key(plat::kHkeyCurrentUser, path_.c_str(), true);
    ASSERT_TRUE(key.SetString("texte", "abc"));
    // Stored up to the terminator on Windows 98, whatever the count.
    EXPECT_EQ(Stored("texte"), std::string("abc", 4));
    ASSERT_TRUE(key.SetString("vide", ""));
    EXPECT_EQ(Stored("vide"), std::string("", 1));
#ifdef _WIN32
    GTEST_SKIP() << "the count passed to RegSetValueExA is seen on the simulated machine only";
#else
    ASSERT_TRUE(key.SetString("texte", "abc"));
    EXPECT_EQ(LastSetCount(), 3);
    ASSERT_TRUE(key.SetString("vide", ""));
    EXPECT_EQ(LastSetCount(), 0);
    key.StoreEmptyTextAsTerminator(true);
    ASSERT_TRUE(key.SetString("vide", ""));
    EXPECT_EQ(LastSetCount(), 1);
    ASSERT_TRUE(key.SetString("texte", "abc"));
    EXPECT_EQ(LastSetCount(), 3) << "only the empty text changes";
#endif
}

TEST_F(CleRegistre, QueryStringTerminatesAValueStoredWithoutTerminator) {
    CCleRegistre key(plat::kHkeyCurrentUser, path_.c_str(), true);
    // A value of another type read as text has no terminator of its own.
    const std::uint8_t bytes[] = {'a', 'b', 'c'};
    ASSERT_TRUE(key.SetBinary("brut", bytes, 3));
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    ASSERT_TRUE(key.QueryString("brut", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");

    // Exactly filling the buffer: the last byte gives way to the terminator.
    std::memset(buffer, 'Z', sizeof buffer);
    ASSERT_TRUE(key.QueryString("brut", buffer, 3));
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(buffer[3], 'Z');

    // Too small: fails, as the platform does.
    EXPECT_FALSE(key.QueryString("brut", buffer, 2));
    EXPECT_FALSE(key.QueryString("absente", buffer, sizeof buffer));
    EXPECT_FALSE(key.QueryString("brut", buffer, 0));
}

TEST_F(CleRegistre, BinaryAndNumbersRoundTrip) {
    CCleRegistre key(plat::kHkeyCurrentUser, path_.c_str(), true);
    const std::uint8_t bytes[] = {0x00, 0xFF, 0x10, 0x01};
    ASSERT_TRUE(key.SetBinary("octets", bytes, 4));
    std::uint8_t read[16] = {};
    plat::Dword size = sizeof read;
    ASSERT_TRUE(key.QueryBinary("octets", read, &size));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::memcmp(read, bytes, 4), 0);
    size = 2;
    EXPECT_FALSE(key.QueryBinary("octets", read, &size));

    ASSERT_TRUE(key.SetDword("nombre", 0xA1B2C3D4u));
    EXPECT_EQ(Stored("nombre"), std::string("\xD4\xC3\xB2\xA1", 4));
    plat::Dword value = 0;
    ASSERT_TRUE(key.QueryDword("nombre", &value));
    EXPECT_EQ(value, 0xA1B2C3D4u);
    EXPECT_FALSE(key.QueryDword("absente", &value));
    // A value longer than four bytes does not fit the number.
    ASSERT_TRUE(key.SetString("texte", "abcdefgh"));
    EXPECT_FALSE(key.QueryDword("texte", &value));
}

TEST_F(CleRegistre, AClosedKeyAnswersFalseWithoutCallingThePlatform) {
    CCleRegistre key;
    char buffer[8] = "x";
    std::uint8_t bytes[4] = {};
    plat::Dword size = sizeof bytes;
    plat::Dword value = 7;
#ifndef _WIN32
    sim::ClearRegistryCalls();
#endif
    EXPECT_FALSE(key.QueryString("v", buffer, sizeof buffer));
    EXPECT_FALSE(key.QueryBinary("v", bytes, &size));
    EXPECT_FALSE(key.QueryDword("v", &value));
    EXPECT_FALSE(key.SetString("v", "t"));
    EXPECT_FALSE(key.SetBinary("v", bytes, 4));
    EXPECT_FALSE(key.SetDword("v", 1));
    EXPECT_FALSE(key.DeleteKey());
    EXPECT_STREQ(buffer, "x");
    EXPECT_EQ(value, 7u);
#ifndef _WIN32
    EXPECT_TRUE(sim::RegistryCalls().empty());
    // DeleteValue alone goes to the platform, which refuses the null key.
    EXPECT_FALSE(key.DeleteValue("v"));
    ASSERT_EQ(sim::RegistryCalls().size(), 1u);
    EXPECT_EQ(sim::RegistryCalls()[0].function, "RegDeleteValue");
#else
    EXPECT_FALSE(key.DeleteValue("v"));
#endif
}

TEST_F(CleRegistre, DeleteValueAndDeleteKey) {
    CCleRegistre key(plat::kHkeyCurrentUser, path_.c_str(), true);
    ASSERT_TRUE(key.SetString("v", "x"));
    EXPECT_TRUE(key.DeleteValue("v"));
    EXPECT_FALSE(key.DeleteValue("v"));

    CCleRegistre child(plat::kHkeyCurrentUser, (path_ + "\\Shell\\open\\command").c_str(), true);
    ASSERT_TRUE(child.SetString("", "prog.exe %1"));
    child.Close();
    // Opened for reading, as the plug-in removal does; the subkeys go with it.
    CCleRegistre doomed(plat::kHkeyCurrentUser, path_.c_str(), false);
    ASSERT_TRUE(doomed.IsOpen());
    EXPECT_TRUE(doomed.DeleteKey());
    doomed.Close();
    CCleRegistre gone(plat::kHkeyCurrentUser, path_.c_str(), false);
    EXPECT_FALSE(gone.IsOpen());
    CCleRegistre goneChild(plat::kHkeyCurrentUser, (path_ + "\\Shell").c_str(), false);
    EXPECT_FALSE(goneChild.IsOpen());
}

}  // namespace
