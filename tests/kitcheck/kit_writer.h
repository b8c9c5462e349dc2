// Small kits for kitcheck's tests: a kit that passes with no finding, written into a temporary
// folder (on a simulated machine of its own), which each test then breaks in one place.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/kitcheck/findings.h"

namespace kitcheck_test {

// The connection wizard's files of a good kit, by name: its step file, pages, bitmap and
// sign-up model.
std::map<std::string, std::string> GoodWizardFiles();
// The kit wizard's files of a good kit: Pakonel.ini, its picture, the extraction program and
// the payload.
std::map<std::string, std::string> GoodKitWizardFiles();
// A valid one-pixel BMP file.
std::string TinyBitmap();

// The line (from 1) of the first line of `text` that holds `needle`; 0 when none does.
int LineOf(const std::string& text, const std::string& needle);

// `text` with the first `from` replaced by `to` (the test fails when `from` is not there).
std::string Replace(const std::string& text, const std::string& from, const std::string& to);

class KitTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `files` (name -> contents; names may hold '/') into the kit folder.
    void Write(const std::map<std::string, std::string>& files);
    // Starts again with an empty kit folder and no finding, for a test that checks several
    // kits. (A new folder: the platform trusts what it read of a file for a moment.)
    void NewKit();
    void Remove(const std::string& name);
    // Runs the checks on the kit folder (or on `arguments` inside it, when given).
    void Check(const std::vector<std::string>& arguments = {});

    // The findings, as printed, without the kit folder's path in front.
    std::vector<std::string> Lines() const;
    // The one finding that holds `text` (the test fails when there is none, or several).
    std::string Only(const std::string& text) const;
    bool Has(const std::string& text) const;
    std::string All() const;

    std::string m_temp;
    std::string m_kit;  // the host folder of the kit
    int m_kitCount = 0;
    kitcheck::Report m_report;
};

}  // namespace kitcheck_test
