// A fresh simulated machine and a fresh headless window system for each test of the windows
// and drawing families.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/test_temp_folder.h"

class WindowSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("window-sim");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::ui::Reset();
    }
    void TearDown() override { sim::ui::Reset(); }

    std::string folder_;
};
