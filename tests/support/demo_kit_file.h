// A text file of the demonstration kit (kits/demo, written in UTF-8) as the kit carries it:
// Windows-1252 with CR LF line ends, as kits/demo/assemble copies it.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

inline std::string DemoKitFile(const std::string& relativePath) {
    std::ifstream file(std::string(DEMO_KIT_DIR) + "/" + relativePath, std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    const std::string utf8 = contents.str();
    std::string text;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\n' && (text.empty() || text.back() != '\r')) text += '\r';
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            // The kit's texts hold French letters and signs of Latin-1 only.
            const unsigned code =
                ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
            text += code <= 0xFF ? static_cast<char>(code) : '?';
        } else {
            text += '?';
        }
    }
    return text;
}

}  // namespace testsupport
