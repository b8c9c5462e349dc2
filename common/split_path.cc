#include "common/split_path.h"

#include <cstring>
#include <string_view>

#include "common/bounded_text.h"

namespace kit {

bool SplitPath(const char* path, char* directory, std::size_t directoryCapacity, char* name,
               std::size_t nameCapacity) {
    CopyCut(directory, directoryCapacity, "");
    CopyCut(name, nameCapacity, "");
    if (path == nullptr) return false;
    std::string_view text(path);
    if (text.size() <= 3) return false;
    std::size_t slash = text.rfind('\\');
    if (slash == std::string_view::npos) return false;
    CopyCut(directory, directoryCapacity, text.substr(0, slash + 1));
    CopyCut(name, nameCapacity, text.substr(slash + 1));
    return true;
}

}  // namespace kit
