// Private-profile rules of the simulated machine that the contract suite cannot check under
// Wine: accented letters, which Wine compares exactly where Windows folds their case, and
// files in Unicode encodings, whose bytes on disk the contract suite keeps out of its way.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/sim/machine.h"
#include "tests/support/test_temp_folder.h"

namespace {

class ProfileRules : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string folder = testsupport::TestTempFolder("profile-rules");
        ASSERT_FALSE(folder.empty());
        sim::Machine::Use(folder);
    }
    std::string Value(const char* section, const char* key) const {
        char buffer[64];
        plat::GetPrivateProfileString(section, key, "?", buffer, sizeof buffer, kFile);
        return buffer;
    }
    std::string Bytes() const {
        std::string bytes;
        plat::ReadWholeFile(kFile, &bytes);
        return bytes;
    }
    static constexpr const char* kFile = "C:\\rules.ini";
};

TEST_F(ProfileRules, AccentedLettersMatchTheirOtherCase) {
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "[Général]\r\nClé=1\r\nœuvre=2\r\nÿ=3\r\n"));
    EXPECT_EQ(Value("GÉNÉRAL", "CLÉ"), "1");
    EXPECT_EQ(Value("général", "ŒUVRE"), "2");
    EXPECT_EQ(Value("GÉNÉRAL", "Ÿ"), "3");
    EXPECT_EQ(Value("GENERAL", "CLE"), "?");  // an accent is not dropped
    ASSERT_TRUE(plat::WritePrivateProfileString("GÉNÉRAL", "CLÉ", "4", kFile));
    EXPECT_EQ(Bytes(), "[Général]\r\nClé=4\r\nœuvre=2\r\nÿ=3\r\n");
}

TEST_F(ProfileRules, Utf8FilesAreReadAsWindows1252AndKeepTheirEncoding) {
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "\xEF\xBB\xBF[A]\r\na=\xC3\xA9\xE2\x82\xAC\r\n"));
    EXPECT_EQ(Value("A", "a"), "é€");
    ASSERT_TRUE(plat::WritePrivateProfileString("A", "b", "à", kFile));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[A]\r\na=\xC3\xA9\xE2\x82\xAC\r\nb=\xC3\xA0\r\n");
}

TEST_F(ProfileRules, Utf16FilesAreReadAsWindows1252AndKeepTheirEncoding) {
    using namespace std::string_literals;
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "\xFF\xFE[\0A\0]\0\n\0a\0=\0\xE9\0\n\0"s));
    EXPECT_EQ(Value("A", "a"), "é");
    ASSERT_TRUE(plat::WritePrivateProfileString("A", "b", "€", kFile));
    EXPECT_EQ(Bytes(), "\xFF\xFE[\0A\0]\0\r\0\n\0a\0=\0\xE9\0\r\0\n\0b\0=\0\xAC\x20\r\0\n\0"s);
    // Characters the code page lacks read as '?'.
    ASSERT_TRUE(plat::WriteWholeFile(kFile, "\xFF\xFE[\0A\0]\0\n\0a\0=\0\x01\x01\0\xD8"s));
    EXPECT_EQ(Value("A", "a"), "??");
}

}  // namespace
