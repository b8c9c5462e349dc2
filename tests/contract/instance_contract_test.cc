// A program's claim to run alone on the machine, the same on the simulated machine and on the
// real platform: a second claim fails while the first is held, in this process or another, and
// succeeds once it is given back. The other process is test_child.exe, built beside this test.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process.h"
#include "tests/contract/contract_env.h"

namespace {

constexpr const char* kName = "TelvoraContractClaim";

std::string Child() {
    char self[260];
    plat::GetModuleFileName(self, sizeof self);
    std::string path(self);
    return path.substr(0, path.rfind('\\') + 1) + "test_child.exe";
}

TEST(InstanceContract, ASecondClaimFailsUntilTheFirstIsGivenBack) {
    contract::FreshFolder();
    plat::InstanceClaim first = 0;
    ASSERT_TRUE(plat::ClaimInstance(kName, &first));
    EXPECT_NE(first, 0);
    plat::InstanceClaim second = 0;
    EXPECT_FALSE(plat::ClaimInstance(kName, &second));
    EXPECT_EQ(second, 0);
    EXPECT_EQ(plat::SpawnWait(Child().c_str(), {Child(), "claim", kName}), 1);
    // Another name is another claim.
    EXPECT_EQ(plat::SpawnWait(Child().c_str(), {Child(), "claim", "TelvoraOtherClaim"}), 0);

    plat::ReleaseInstance(first);
    EXPECT_EQ(plat::SpawnWait(Child().c_str(), {Child(), "claim", kName}), 0);
    ASSERT_TRUE(plat::ClaimInstance(kName, &second));
    plat::ReleaseInstance(second);
}

}  // namespace
