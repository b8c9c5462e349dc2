// On the host build the contract suite runs on a fresh simulated machine of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sim/machine.h"

namespace {

class FreshMachine : public ::testing::Environment {
  public:
    void SetUp() override {
        char pattern[] = "/tmp/contract-machine-XXXXXX";
        const char* folder = mkdtemp(pattern);
        ASSERT_NE(folder, nullptr);
        sim::Machine::Use(folder);
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new FreshMachine);

}  // namespace
