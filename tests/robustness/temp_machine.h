// A machine folder of its own for a test, in the temporary directory (TMPDIR), removed with
// everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace robustness {

class TempMachineFolder {
  public:
    explicit TempMachineFolder(const std::string& prefix) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
    }
    ~TempMachineFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempMachineFolder(const TempMachineFolder&) = delete;
    TempMachineFolder& operator=(const TempMachineFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace robustness
