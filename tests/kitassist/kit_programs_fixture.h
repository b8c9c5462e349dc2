// The kit wizard with programs to start on the simulated machine: the extraction program with
// its payload, stand-ins that note how they were started, and the desktop link they lead to.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/files.h"
#include "tests/kitassist/kit_fixture.h"

namespace kittest {

constexpr const char kDesktopLink[] = "C:\\WINDOWS\\Bureau\\Espace Kit.lnk";

class KitProgramsTest : public KitTest {
  protected:
    void InstallProgram(const char* source, const std::string& windowsPath) {
        std::filesystem::copy_file(source, HostPath(windowsPath),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void InstallTestChild() { InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe"); }
    // The kit's extraction program as C:\KIT\kitextract.exe, with a payload holding the Espace
    // program kit.exe.
    void InstallExtraction() {
        InstallProgram(KITEXTRACT_PATH, "C:\\KIT\\kitextract.exe");
        plat::CreateDirectory("C:\\KIT\\contenu");
        ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\contenu\\kit.exe", "MZ espace"));
    }
    // A stand-in program at `windowsPath` (every folder on the way made) that writes the path
    // it was started as (followed by its arguments when `withArguments`) and its current
    // directory, one per line, to the host file `marker`.
    void InstallMarkerProgram(const std::string& windowsPath, const std::string& marker,
                              bool withArguments = false) {
        for (std::size_t slash = windowsPath.find('\\', 3); slash != std::string::npos;
             slash = windowsPath.find('\\', slash + 1)) {
            plat::CreateDirectory(windowsPath.substr(0, slash).c_str());
        }
        const std::string script = HostPath(windowsPath);
        std::ofstream(script) << "#!/bin/sh\n{ echo \"" << (withArguments ? "$0 $*" : "$0")
                              << "\"; pwd; } > " << marker << "\n";
        ::chmod(script.c_str(), 0755);
    }
    // The lines the marker program wrote, waiting for both at most five seconds.
    static std::string WaitForMarker(const std::string& marker) {
        std::string text;
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(marker);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (text.find('\n') != text.rfind('\n')) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return text;
    }
    static bool Exists(const std::string& windowsPath) {
        return plat::GetFileAttributes(windowsPath.c_str()) != plat::kInvalidFileAttributes;
    }
};

}  // namespace kittest
