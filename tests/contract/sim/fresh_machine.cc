// On the host build the contract suite runs on a fresh simulated machine of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sim/machine.h"
#include "tests/support/test_temp_folder.h"

namespace {

class FreshMachine : public ::testing::Environment {
  public:
    void SetUp() override {
        // Outside any test: removed when the run ends, kept when a test failed.
        std::string folder = testsupport::TestTempFolder("contract-machine");
        ASSERT_FALSE(folder.empty());
        sim::Machine::Use(folder);
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new FreshMachine);

}  // namespace
