// Runs the kit wizard on a fresh simulated machine: the program in C:\KIT (or a folder the
// test chooses), a Pakonel.ini the test writes, the browser and Program Files values in the
// registry, and the headless window system to drive the modal dialog.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "kitassist/resource_ids.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_temp_folder.h"

namespace kittest {

inline void SetRegistryText(plat::RegKey root, const char* key, const char* name,
                            const char* text) {
    ASSERT_TRUE(testsupport::WriteText(root, key, name, text));
}

inline void SetBrowserValue(const char* name, const char* value) {
    SetRegistryText(plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", name, value);
}

class KitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("kit-test");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::ui::Reset();
        SetProgramDirectory("C:\\KIT");
        SetRegistryText(plat::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                        "ProgramFilesDir", "C:\\Program Files");
        SetBrowserValue("Version", "5.00.2614.3500");  // the first page is "IE45"
    }
    void TearDown() override { sim::ui::Reset(); }

    // The running program is kitassist.exe in `directory`, which is made.
    void SetProgramDirectory(const std::string& directory) {
        plat::CreateDirectory(directory.c_str());
        programDir_ = directory + "\\";
        sim::Machine::Current().SetModulePath(programDir_ + "kitassist.exe");
    }
    void WriteIni(const std::string& text) {
        ASSERT_TRUE(plat::WriteWholeFile((programDir_ + "Pakonel.ini").c_str(), text));
    }
    std::string HostPath(const std::string& windowsPath) const {
        std::string host;
        EXPECT_TRUE(sim::Machine::Current().ToHostPath(windowsPath, &host));
        return host;
    }

    // Start-up, then the modal dialog; each step runs when the dialog waits for the user. The
    // dialog's result: kIdOk once the wizard closed, -1 when it was still open after the last
    // step.
    int Run(const std::vector<std::function<void()>>& steps) {
        app_.Start();
        for (const auto& step : steps) sim::ui::ScriptUserAction(step);
        return dialog_.DoModal();
    }
    plat::Hwnd Dialog() const { return dialog_.m_hwnd; }
    sim::ui::WindowInfo Control(int id) const {
        return sim::ui::Info(plat::GetDlgItem(Dialog(), id));
    }
    void Click(int id) { EXPECT_TRUE(sim::ui::Click(Dialog(), id)) << "button " << id; }

    // Waits (at most five seconds) for a file that a started program writes.
    std::string WaitForFile(const std::string& windowsPath) {
        std::string contents;
        for (int i = 0; i < 500; ++i) {
            if (plat::ReadWholeFile(windowsPath.c_str(), &contents) && !contents.empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return contents;
    }

    std::string folder_;
    std::string programDir_;
    CKitApp app_;
    CKitDialog dialog_{app_};
};

}  // namespace kittest
