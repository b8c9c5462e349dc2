// Runs the plug-in installer on a fresh simulated machine: the program and the two terminal
// files in C:\KIT, the browser in C:\IE (its App Paths "Path" value "C:\IE;"), and C:\WORK as
// the current directory, where bare file names land.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_calls.h"
#include "platform/sim/ui_driver.h"
#include "plugmaj/log_window.h"
#include "plugmaj/plugmaj_main.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_temp_folder.h"

namespace plugtest {

constexpr const char* kBrowserKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
constexpr const char* kCommandKey = "vtxfile\\Shell\\open\\command";
constexpr const char* kExeContents = "MZ quadterm stand-in";
constexpr const char* kIniContents = "[Quadterm]\r\nTitre=Quadterm\r\n";

using testsupport::KeyExists;
using testsupport::ReadValue;
using testsupport::RegValue;

// Creates the key; a null `text` leaves it without that value.
inline void SetText(plat::RegKey root, const char* key, const char* name, const char* text) {
    plat::RegKey handle = 0;
    ASSERT_EQ(plat::RegCreateKey(root, key, &handle), plat::kErrorSuccess);
    if (text != nullptr) {
        plat::RegSetValue(handle, name, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(text),
                          static_cast<plat::Dword>(std::strlen(text) + 1));
    }
    plat::RegCloseKey(handle);
}

inline std::string FileText(const char* path) {
    std::string contents;
    if (!plat::ReadWholeFile(path, &contents)) return "<missing>";
    return contents;
}

inline bool FileExists(const char* path) {
    return plat::GetFileAttributes(path) != plat::kInvalidFileAttributes;
}

// One run of the program and what it drew.
struct RunResult {
    int exitCode = -1;
    plat::Hwnd window = 0;
    std::vector<std::string> log;
};

class PlugmajTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = testsupport::TestTempFolder("plugmaj-test");
        ASSERT_FALSE(folder_.empty());
        sim::Machine::Use(folder_);
        sim::Machine::Current().SetModulePath("C:\\KIT\\plugmaj.exe");
        for (const char* directory : {"C:\\KIT", "C:\\IE", "C:\\WORK"}) {
            plat::CreateDirectory(directory);
        }
        plat::SetCurrentDirectory("C:\\WORK");
        plat::WriteWholeFile("C:\\KIT\\quadterm.exe", kExeContents);
        plat::WriteWholeFile("C:\\KIT\\quadterm.ini", kIniContents);
        SetText(plat::kHkeyLocalMachine, kBrowserKey, "Path", "C:\\IE;");
        sim::ui::Reset();
        sim::ClearRegistryCalls();
    }
    void TearDown() override { sim::ui::Reset(); }

    // One run of plugmaj.exe with `argument`, as a process of its own (a fresh window system)
    // on the same machine. The log lines must sit at x = 0 and y = 0, 20, 40...
    RunResult Start(const char* argument) {
        sim::ui::Reset();
        return RunAndRead(argument);
    }
    // The same in the window system as it is (for user actions scripted beforehand).
    RunResult RunAndRead(const char* argument) {
        RunResult run;
        run.exitCode = plug::RunPlugmaj(argument);
        run.window = sim::ui::FindTopLevel(plug::kLogWindowClass, plug::kLogWindowTitle);
        if (run.window == 0) return run;
        int y = 0;
        for (const auto& op : sim::ui::TextsDrawn(run.window)) {
            EXPECT_EQ(op.kind, sim::ui::DrawKind::TextOut) << op.text;
            EXPECT_EQ(op.rect.left, 0) << op.text;
            EXPECT_EQ(op.rect.top, y) << op.text;
            y += 20;
            run.log.push_back(op.text);
        }
        return run;
    }

    std::string folder_;
};

}  // namespace plugtest
