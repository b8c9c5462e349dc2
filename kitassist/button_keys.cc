#include "kitassist/button_keys.h"

std::string QuotedIfBlank(const std::string& path) {
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

bool CutCaptionAtMarker(std::string* caption, char marker) {
    if (caption->size() <= 1) return false;
    std::size_t at = caption->rfind(marker);
    if (at == std::string::npos) return false;
    caption->erase(at);
    return true;
}

std::string CommandForValue(const std::string& text, const std::string& directory) {
    if (text.size() >= 2 && (text[1] == ':' || text[1] == '\\')) {
        return text;  // an absolute or network path, arguments allowed
    }
    if (!text.empty() && text[0] == '?') return text.substr(1);  // a command line used as it is
    // The quotes take in the whole value: a relative value carries no arguments.
    return QuotedIfBlank(directory + text);
}
