// A section read in one call (GetPrivateProfileSectionA) gives the section's raw lines; the
// quote handling, cuts and number reading of a key read are added on top (kit::ProfileSection).
// Both back ends must list the same lines, and the lookups must answer as the key reads do.
#include <gtest/gtest.h>

#include <string>

#include "common/profile_access.h"
#include "common/profile_section.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "tests/contract/contract_env.h"

namespace {

using namespace std::string_literals;
using plat::Dword;

class ProfileSectionContract : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = contract::FreshFolder(); }
    // Each contents in a file of its own: the platform notices a change only by the file's
    // modification time.
    std::string File(const char* name, const std::string& bytes) const {
        std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(plat::WriteWholeFile(path.c_str(), bytes));
        return path;
    }
    struct Read {
        Dword result = 0;
        std::string bytes;
    };
    static Read ReadSection(const char* section, Dword size, const std::string& file) {
        Read read;
        read.bytes.assign(size, '\xAA');
        read.result = plat::GetPrivateProfileSection(section, &read.bytes[0], size, file.c_str());
        return read;
    }

    std::string folder_;
};

TEST_F(ProfileSectionContract, ListsTheFirstSectionsLinesTrimmedWithTheirQuotes) {
    std::string file = File("raw.ini",
                            "[S]\r\n  a = 1 \t\r\n; a comment\r\nbare\r\n\r\nq=\"x y\"\r\n"
                            "empty=\r\n=nameless\r\n[T]\r\nt=2\r\n[s]\r\nlater=3\r\n");
    Read read = ReadSection("S", 100, file);
    std::string lines = "a=1\0bare\0q=\"x y\"\0empty=\0=nameless\0"s;
    EXPECT_EQ(read.result, lines.size());
    EXPECT_EQ(read.bytes.substr(0, lines.size() + 2), lines + "\0\xAA"s);

    // Asked in another case it is the same section; a missing one or a missing file lists
    // nothing.
    EXPECT_EQ(ReadSection("s", 100, file).result, lines.size());
    Read missing = ReadSection("Absent", 10, file);
    EXPECT_EQ(missing.result, 0u);
    EXPECT_EQ(missing.bytes.substr(0, 2), "\0\0"s);
    EXPECT_EQ(ReadSection("S", 10, folder_ + "\\none.ini").result, 0u);
    // A list larger than the buffer returns size - 2.
    EXPECT_EQ(ReadSection("S", 12, file).result, 10u);
}

TEST_F(ProfileSectionContract, LookupsAnswerAsKeyReads) {
    std::string file = File(
        "values.ini",
        "[Etape]\r\nplain=abcdef\r\ndq=\"abcdef\"\r\nsq='abc'\r\nmixed=\"m'\r\nlone=\"\r\n"
        "emptyq=\"\"\r\nopen=\"abc\r\nspaced =  v w  \r\nempty=\r\nbare\r\nDup=first\r\n"
        "dup=second\r\nhex=0x1F\r\nHEX=0X1F\r\nneg= -12\r\nplus=+7\r\nbin=0b101\r\noct=0o17\r\n"
        "tail=12abc\r\nqnum='42'\r\nbig=4294967297\r\nword=abc\r\nlong=" +
            std::string(600, 'x') + "\r\nbareval\r\nbareval=late\r\n[Other]\r\nplain=other\r\n");
    const kit::ProfileSection section(file, "Etape");
    const char* keys[] = {"plain", "PLAIN",  "dq",      "sq",    "mixed", "lone", "emptyq",
                          "open",  "spaced", "empty",   "bare",  "dup",   "DUP",  "hex",
                          "neg",   "plus",   "bin",     "oct",   "tail",  "qnum", "big",
                          "word",  "long",   "bareval", "absent"};
    for (const char* key : keys) {
        SCOPED_TRACE(key);
        for (std::size_t capacity : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 30u, 128u, 512u}) {
            SCOPED_TRACE(capacity);
            EXPECT_EQ(section.ReadString(key, "", capacity),
                      kit::ReadProfileString(file, "Etape", key, "", capacity));
        }
        EXPECT_EQ(section.ReadString(key, "dflt  ", 64),
                  kit::ReadProfileString(file, "Etape", key, "dflt  ", 64));
        for (int defaultValue : {-1, 77}) {
            EXPECT_EQ(section.ReadInt(key, defaultValue),
                      kit::ReadProfileInt(file, "Etape", key, defaultValue));
        }
    }
}

TEST_F(ProfileSectionContract, ASectionTooLargeForOneReadIsReadKeyByKey) {
    std::string bytes = "[Big]\r\n";
    for (int i = 0; i < 2000; ++i)
        bytes += "key" + std::to_string(i) + "=value number " + std::to_string(i) + "\r\n";
    std::string file = File("big.ini", bytes);
    const kit::ProfileSection section(file, "Big");
    EXPECT_EQ(section.ReadString("key1999", "", 64), "value number 1999");
    EXPECT_EQ(section.ReadString("key5", "", 64), "value number 5");
    // A missing section answers with the key reads' defaults.
    const kit::ProfileSection missing(file, "Absent");
    EXPECT_EQ(missing.ReadString("key5", "", 64), "");
    EXPECT_EQ(missing.ReadInt("key5", 9), 9);
}

}  // namespace
