// Runs the connection wizard on a fresh simulated machine: the kit in C:\KIT (the working
// directory), a step file the test writes, and the headless window system to click through it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cnxassist/assistant.h"
#include "cnxassist/etapes_environnement.h"
#include "cnxassist/wizard_main.h"
#include "platform/sim/ui_driver.h"
#include "tests/cnxassist/wizard_machine.h"

namespace cnxtest {

// A "General" section of a 641 x 400 window with its page area and buttons; `changes` replace
// or remove (empty value) keys, or add new ones at the end.
inline std::string GeneralSection(const std::map<std::string, std::string>& changes = {}) {
    std::vector<std::pair<std::string, std::string>> keys = {
        {"Tx", "0"},      {"Ty", "0"},      {"Tl", "641"},    {"Th", "400"},    {"Cx", "10"},
        {"Cy", "20"},     {"Cl", "600"},    {"Ch", "300"},    {"Precx", "100"}, {"Precy", "350"},
        {"Suivx", "400"}, {"Suivy", "350"}, {"Quitx", "250"}, {"Quity", "350"}, {"NbBitmaps", "0"}};
    for (const auto& change : changes) {
        auto it = std::find_if(keys.begin(), keys.end(),
                               [&](const auto& key) { return key.first == change.first; });
        if (it == keys.end()) {
            keys.push_back(change);
        } else {
            it->second = change.second;
        }
    }
    std::string section = "[General]\r\n";
    for (const auto& key : keys) {
        if (!key.second.empty()) section += key.first + "=" + key.second + "\r\n";
    }
    return section;
}

inline std::string IdentWindowSection(const std::string& next = "Etape1",
                                      const std::string& extra = "") {
    return "[IdentWindow]\r\nSuivants=" + next + "\r\nMessage=Systeme non supporte\r\n" + extra;
}

class WizardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshWizardMachine();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        g_ieVersionCode = 0;
        g_osKind = 0;
        // The sign-up program, found in the working directory.
        WriteKitFile("ISIGNUP.EXE", "stand-in");
        SetMachineRegistryValue(plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer",
                                "Version", "5.00.2614.3500");
    }
    void TearDown() override {
        if (g_assistant != nullptr) cnx::EndWizard();
    }

    static void SetMachineRegistryValue(plat::RegKey root, const char* key, const char* name,
                                        const char* text) {
        ASSERT_TRUE(testsupport::WriteText(root, key, name, text));
    }

    // Starts the wizard and runs its messages until it waits for the user.
    void Start(const char* commandLine = "") {
        start_ = cnx::StartWizard(commandLine);
        sim::ui::PumpMessages();
    }
    plat::Hwnd Window() const { return start_.window; }
    std::string Current() const {
        return g_assistant != nullptr && g_assistant->m_current != nullptr
                   ? g_assistant->m_current->Name()
                   : std::string("(none)");
    }
    void Click(int id) {
        sim::ui::Click(Window(), id);
        sim::ui::PumpMessages();
    }
    bool Ended() const { return sim::ui::QuitCode().has_value(); }
    sim::ui::WindowInfo Button(int id) const {
        return sim::ui::Info(plat::GetDlgItem(Window(), id));
    }

    cnx::WizardStart start_;
};

}  // namespace cnxtest
