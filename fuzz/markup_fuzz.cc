// The style codes of a kit wizard page line on arbitrary text: reading and stripping must stay
// inside the text, give a style within its ranges, never lengthen the line, and leave no "#j"
// (the code removed last, which no later removal can bring back).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kitassist/line_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const kitassist::LineStyle style = kitassist::ReadLineStyle(line);
    if (style.size < 4 || style.size > 14 || style.size % 2 != 0) std::abort();
    if (std::strchr("lmd", style.alignment) == nullptr || style.alignment == '\0') std::abort();
    const char* face = style.face.c_str();
    if (*face != '\0' && std::strcmp(face, "Arial") != 0 && std::strcmp(face, "Courier New") != 0 &&
        std::strcmp(face, "Times New Roman") != 0) {
        std::abort();
    }
    const std::string text = kitassist::StripLineCodes(line);
    if (text.size() > line.size()) std::abort();
    if (text.find("#j") != std::string::npos) std::abort();
    if (text == "\xA7") std::abort();
    return 0;
}
