// The kitcheck program itself: its command line, its output in the compilers' form and its
// exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/kitcheck/kit_writer.h"

namespace kitcheck_test {
namespace {

class KitcheckProgram : public KitTest {
  protected:
    // Runs the program on the simulated machine of the test; its output and exit code.
    int RunProgram(const std::string& arguments, std::string* output) {
        std::string command = "cd '" + m_temp + "' && SIMWIN_MACHINE='" + m_temp +
                              "/machine' '" KITCHECK_PATH "' " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return -1;
        char buffer[4096];
        output->clear();
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) *output += buffer;
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(KitcheckProgram, CleanKitExitsZero) {
    Write(GoodWizardFiles());
    Write(GoodKitWizardFiles());
    std::string output;
    EXPECT_EQ(RunProgram("kit", &output), 0) << output;
    EXPECT_EQ(output, "kitcheck: 2 file(s) checked, 0 error(s), 0 warning(s)\n");
}

TEST_F(KitcheckProgram, FindingsInTheCompilersFormAndExitOne) {
    auto files = GoodWizardFiles();
    files["cfg.ini"] += "\r\n[Etape9]\r\nSuivants=Fin1\r\n";
    files["choix.txt"] = Replace(files["choix.txt"], "a_gauche_de", "a_gauche");
    Write(files);
    std::string output;
    // A file named on its own is checked too; relative paths are shown as given.
    EXPECT_EQ(RunProgram("kit/cfg.ini", &output), 1) << output;
    EXPECT_NE(output.find("kit/choix.txt:3:2: error: the page description does not parse near "
                          "'a_gauche': the wizard refuses the page\n"),
              std::string::npos)
        << output;
    int line = LineOf(files["cfg.ini"], "[Etape9]");
    EXPECT_NE(output.find("kit/cfg.ini:" + std::to_string(line) +
                          ": warning: step [Etape9] is never reached from IdentWindow\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("kitcheck: 1 file(s) checked, "), std::string::npos) << output;
}

TEST_F(KitcheckProgram, BadCommandLineExitsTwo) {
    std::string output;
    EXPECT_EQ(RunProgram("", &output), 2) << output;
    EXPECT_EQ(RunProgram("--frobnicate kit", &output), 2) << output;
    EXPECT_EQ(RunProgram("nowhere", &output), 2) << output;
    EXPECT_NE(output.find("kitcheck: nowhere: no such folder or file"), std::string::npos)
        << output;
    EXPECT_EQ(RunProgram("--help", &output), 0) << output;
}

TEST_F(KitcheckProgram, EmptyFolderIsAnError) {
    std::string output;
    EXPECT_EQ(RunProgram("kit", &output), 1) << output;
    EXPECT_NE(output.find("kit: error: holds no step file (cfg*.ini) and no Pakonel.ini"),
              std::string::npos)
        << output;
}

}  // namespace
}  // namespace kitcheck_test
