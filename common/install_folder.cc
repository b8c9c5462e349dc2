#include "common/install_folder.h"

namespace kit {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The length of the beginning of `path` that cannot lose its last '\': "C:\" or "\".
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    return !path.empty() && path[0] == '\\' && path.compare(0, 2, "\\\\") != 0 ? 1 : 0;
}

}  // namespace

std::string NormaliseFolder(const std::string& text) {
    std::string folder = Trim(text);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
        folder = Trim(folder.substr(1, folder.size() - 2));
    }
    // Blanks before a last '\' go too, or "C:\Telvora \" would name a folder whose name ends
    // with a blank, which Windows does not keep.
    while (folder.size() > RootLength(folder) &&
           (folder.back() == '\\' || IsBlank(folder.back()))) {
        folder.pop_back();
    }
    return folder;
}

bool IsFullFolderPath(const std::string& folder) {
    if (folder.size() >= 3 && IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\') {
        return true;
    }
    // "\\server\share": a server name, a '\', then something.
    if (folder.compare(0, 2, "\\\\") != 0) return false;
    const std::size_t server = folder.find('\\', 2);
    return server != std::string::npos && server > 2 && server + 1 < folder.size();
}

}  // namespace kit
