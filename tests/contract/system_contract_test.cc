// What the system says about itself, the same on the simulated machine and under Wine. Both are
// set to Windows 98, and the wizard's first step refuses anything else, so a prefix that came up
// as another version (a 64-bit prefix ignores winecfg's win98) must fail here, not later.
#include <gtest/gtest.h>

#include "platform/system.h"

namespace {

TEST(SystemContract, ReportsWindows98) {
    ASSERT_TRUE(plat::HasGetVersionEx());
    plat::OsVersion version;
    ASSERT_TRUE(plat::GetVersionEx(&version));
    EXPECT_EQ(version.major, 4u);
    EXPECT_EQ(version.minor, 10u);
    EXPECT_EQ(version.platformId, 1u);
    const plat::Dword packed = plat::GetVersion();
    EXPECT_EQ(packed & 0xFF, 4u);
    EXPECT_EQ((packed >> 8) & 0xFF, 10u);
}

}  // namespace
