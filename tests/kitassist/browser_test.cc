// Browser detection: the build table, the Version, Build and IVer values with their
// fallbacks, and the first page each category leads to.
#include <gtest/gtest.h>

#include "kitassist/browser_detect.h"
#include "kitassist/kit_app.h"
#include "tests/kitassist/kit_fixture.h"

namespace {

class BrowserTest : public kittest::KitTest {
  protected:
    void SetUp() override {
        kittest::KitTest::SetUp();
        plat::RegKey key = 0;
        // A machine without any browser values; each test adds its own.
        ASSERT_EQ(plat::RegOpenKey(plat::kHkeyLocalMachine, "Software\\Microsoft",
                                   plat::kKeyAllAccess, &key),
                  plat::kErrorSuccess);
        plat::RegDeleteKey(key, "Internet Explorer");
        plat::RegCloseKey(key);
    }
    static int Detect() { return DetectBrowserBuild(MakeIeBuildTable()); }
    static const char* FirstPage() { return StartSectionOf(BrowserCategory()); }
};

TEST(BrowserTable, KeysLabelsAndCategories) {
    IeBuildTable table = MakeIeBuildTable();
    EXPECT_TRUE(table[0].build.empty() && table[0].key.empty());
    EXPECT_STREQ(table[1].key.c_str(), "100");
    for (int i = 2; i <= 6; ++i) EXPECT_TRUE(table[i].key.empty()) << i;
    EXPECT_STREQ(table[6].build.c_str(), "4.70.1300");
    EXPECT_STREQ(table[12].key.c_str(), "4.72.3612.1713");
    EXPECT_STREQ(table[18].label.c_str(), "5 pour Windows 2000 RC1 build 2072");
    const int expected[] = {0, 1, 1, 1, 1, 2, 3, 4, 4, 4, 4, 4, 5, 6, 6, 6, 6, 6, 6};
    for (int i = 0; i <= 18; ++i) EXPECT_EQ(CategoryOfBuild(i), expected[i]) << i;
    EXPECT_EQ(CategoryOfBuild(-1), 1);
    EXPECT_EQ(CategoryOfBuild(-3), 1);
    EXPECT_EQ(CategoryOfBuild(-4), 4);
    EXPECT_EQ(CategoryOfBuild(-5), 6);
    EXPECT_STREQ(StartSectionOf(0), "NOIE");
    EXPECT_STREQ(StartSectionOf(3), "IE3");
    EXPECT_STREQ(StartSectionOf(4), "IE45");
}

TEST_F(BrowserTest, NoBrowserKeyMeansNoBrowser) {
    EXPECT_EQ(Detect(), 0);
    EXPECT_STREQ(FirstPage(), "NOIE");
}

TEST_F(BrowserTest, VersionIsMatchedExactlyElseByItsFirstDigit) {
    kittest::SetBrowserValue("Version", "5.00.2614.3500");
    kittest::SetBrowserValue("Build", "4.40.308");  // not looked at once Version is there
    EXPECT_EQ(Detect(), 17);
    EXPECT_STREQ(FirstPage(), "IE45");
    kittest::SetBrowserValue("Version", "4.72.9999.1");
    EXPECT_EQ(Detect(), -4);
    EXPECT_STREQ(FirstPage(), "IE45");
    kittest::SetBrowserValue("Version", "5.50.4134.0600");
    EXPECT_EQ(Detect(), -5);
    kittest::SetBrowserValue("Version", "6.0.2600.0000");
    EXPECT_EQ(Detect(), 0);
    EXPECT_STREQ(FirstPage(), "NOIE");
    // 32 characters do not fit in the 32-byte buffer: unreadable, so Build counts.
    kittest::SetBrowserValue("Version", "4.72.3110.8.000000000000000000000");
    EXPECT_EQ(Detect(), -3);
}

TEST_F(BrowserTest, BuildAndIVerFallBackToTheVersionThreePages) {
    kittest::SetBrowserValue("Build", "4.70.1155");  // entries 2 to 6 have no Build key
    EXPECT_EQ(Detect(), -3);
    EXPECT_STREQ(FirstPage(), "IE3");
    kittest::SetBrowserValue("Build", "4.72.3110.8");
    EXPECT_EQ(Detect(), 11);
    kittest::SetBrowserValue("Build", "");
    kittest::SetBrowserValue("IVer", "101");
    EXPECT_EQ(Detect(), 1);
    EXPECT_STREQ(FirstPage(), "IE3");
    kittest::SetBrowserValue("IVer", "103");
    EXPECT_EQ(Detect(), -1);
    EXPECT_STREQ(FirstPage(), "IE3");
}

TEST_F(BrowserTest, ABrowserKeyWithoutValuesMatchesTheEmptyKeysOfEarlyBuilds) {
    kittest::SetBrowserValue("Other", "x");
    EXPECT_EQ(Detect(), 6);
    EXPECT_STREQ(FirstPage(), "IE3");
}

}  // namespace
