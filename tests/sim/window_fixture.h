// A fresh simulated machine and a fresh headless window system for each test of the windows
// and drawing families.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"

class WindowSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/window-sim-XXXXXX";
        const char* folder = mkdtemp(pattern);
        ASSERT_NE(folder, nullptr);
        folder_ = folder;
        sim::Machine::Use(folder_);
        sim::ui::Reset();
    }
    void TearDown() override { sim::ui::Reset(); }

    std::string folder_;
};
