#include "platform/sim/regedit4.h"

#include <cstdio>

#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace sim {
namespace {

// Regedit keeps hex lines within 80 columns; the last "\" counts.
constexpr size_t kFoldColumn = 77;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(const std::string& line, size_t pos, const std::string& word) {
    return line.size() - pos >= word.size() && EqualsNoCase(line.substr(pos, word.size()), word);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class Parser {
  public:
    Parser(const std::string& text, const std::string& label)
        : lines_(SplitLines(text)), label_(label) {}

    bool Run(RegScript* script, std::string* error) {
        bool ok = ParseAll(script);
        if (!ok && error != nullptr) *error = error_;
        return ok;
    }

  private:
    bool Fail(const std::string& what) {
        error_ = label_ + ":" + std::to_string(index_ + 1) + ": " + what;
        return false;
    }

    const std::string& Line() const { return lines_[index_]; }

    void SkipBlanks(size_t* pos) const {
        while (*pos < Line().size() && IsBlank(Line()[*pos])) ++*pos;
    }

    bool OnlyBlanksFrom(size_t pos) const {
        SkipBlanks(&pos);
        return pos == Line().size();
    }

    bool ParseAll(RegScript* script) {
        if (lines_.empty()) return Fail("empty file, REGEDIT4 expected");
        for (index_ = 0; index_ < lines_.size(); ++index_) {
            if (Line().find('\0') != std::string::npos) return Fail("NUL byte in the line");
        }
        index_ = 0;
        std::string header = Line();
        while (!header.empty() && IsBlank(header.back())) header.pop_back();
        if (header != "REGEDIT4") return Fail("the first line must be REGEDIT4");
        RegScriptSection* section = nullptr;
        bool sectionRemoved = false;
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            size_t pos = 0;
            SkipBlanks(&pos);
            if (pos == Line().size() || Line()[pos] == ';') continue;
            char first = Line()[pos];
            if (first == '[') {
                RegScriptSection parsed;
                if (!ParseSectionLine(pos, &parsed)) return false;
                sectionRemoved = parsed.remove;
                script->sections.push_back(std::move(parsed));
                section = &script->sections.back();
            } else if (first == '"' || first == '@') {
                if (section == nullptr) return Fail("value line before any [key] line");
                RegScriptValue value;
                if (!ParseValueLine(pos, &value)) return false;
                // Regedit ignores the values that follow a key deletion.
                if (!sectionRemoved) section->values.push_back(std::move(value));
            } else {
                return Fail("unrecognised line");
            }
        }
        return true;
    }

    bool ParseSectionLine(size_t pos, RegScriptSection* section) {
        std::string line = Line();
        while (!line.empty() && IsBlank(line.back())) line.pop_back();
        if (line.back() != ']') return Fail("a key line must end with ']'");
        std::string inside = line.substr(pos + 1, line.size() - pos - 2);
        if (!inside.empty() && inside[0] == '-') {
            section->remove = true;
            inside.erase(0, 1);
        }
        size_t slash = inside.find('\\');
        std::string rootName = inside.substr(0, slash);
        section->path = RegRootPath(rootName);
        if (section->path.empty()) return Fail("unknown root key \"" + rootName + "\"");
        std::vector<std::string> names =
            SplitKeyPath(slash == std::string::npos ? std::string() : inside.substr(slash));
        if (section->remove && names.empty()) return Fail("a root key cannot be deleted");
        section->path.insert(section->path.end(), names.begin(), names.end());
        return true;
    }

    // A quoted text starting at `*pos` (on the opening quote); leaves `*pos` after the closing one.
    bool ParseQuoted(size_t* pos, std::string* text) {
        const std::string& line = Line();
        for (++*pos; *pos < line.size(); ++*pos) {
            char c = line[*pos];
            if (c == '"') {
                ++*pos;
                return true;
            }
            if (c == '\\') {
                if (++*pos == line.size()) break;
                char escaped = line[*pos];
                if (escaped == '\\' || escaped == '"') {
                    *text += escaped;
                } else if (escaped == 'n') {
                    *text += '\n';
                } else if (escaped == 'r') {
                    *text += '\r';
                } else {
                    return Fail(std::string("unknown escape \\") + escaped + " in a quoted text");
                }
            } else {
                *text += c;
            }
        }
        return Fail("quoted text not closed on its line");
    }

    bool ParseValueLine(size_t pos, RegScriptValue* value) {
        if (Line()[pos] == '@') {
            ++pos;
        } else if (!ParseQuoted(&pos, &value->name)) {
            return false;
        }
        SkipBlanks(&pos);
        if (pos == Line().size() || Line()[pos] != '=') return Fail("'=' expected after the name");
        ++pos;
        SkipBlanks(&pos);
        const std::string& line = Line();
        if (pos < line.size() && line[pos] == '-') {
            value->remove = true;
            return OnlyBlanksFrom(pos + 1) || Fail("unexpected text after '-'");
        }
        if (pos < line.size() && line[pos] == '"') {
            value->type = plat::kRegSz;
            if (!ParseQuoted(&pos, &value->bytes)) return false;
            value->bytes += '\0';
            return OnlyBlanksFrom(pos) || Fail("unexpected text after the closing quote");
        }
        if (StartsWithNoCase(line, pos, "dword:")) return ParseDword(pos + 6, value);
        if (StartsWithNoCase(line, pos, "hex:")) {
            value->type = plat::kRegBinary;
            return ParseHexBytes(pos + 4, &value->bytes);
        }
        if (StartsWithNoCase(line, pos, "hex(")) {
            pos += 4;
            plat::Dword type = 0;
            size_t digits = 0;
            for (; pos < line.size() && HexDigit(line[pos]) >= 0; ++pos, ++digits) {
                type = type << 4 | static_cast<plat::Dword>(HexDigit(line[pos]));
            }
            if (digits == 0 || digits > 8 || !StartsWithNoCase(line, pos, "):")) {
                return Fail("bad value type in hex(...)");
            }
            value->type = type;
            return ParseHexBytes(pos + 2, &value->bytes);
        }
        return Fail("value data expected: \"text\", dword:, hex:, hex(n): or -");
    }

    bool ParseDword(size_t pos, RegScriptValue* value) {
        const std::string& line = Line();
        plat::Dword number = 0;
        size_t digits = 0;
        for (; pos < line.size() && HexDigit(line[pos]) >= 0; ++pos, ++digits) {
            number = number << 4 | static_cast<plat::Dword>(HexDigit(line[pos]));
        }
        if (digits == 0 || digits > 8 || !OnlyBlanksFrom(pos)) {
            return Fail("dword: needs 1 to 8 hexadecimal digits");
        }
        value->type = plat::kRegDword;
        for (int i = 0; i < 4; ++i) value->bytes += static_cast<char>(number >> (8 * i) & 0xFF);
        return true;
    }

    // Comma-separated hex bytes, continued on the next line after a "\".
    bool ParseHexBytes(size_t pos, std::string* bytes) {
        for (;;) {
            SkipBlanks(&pos);
            if (pos == Line().size()) return true;
            if (Line()[pos] == '\\') {
                if (!OnlyBlanksFrom(pos + 1)) return Fail("unexpected text after '\\'");
                if (index_ + 1 == lines_.size()) {
                    return Fail("hex data continued past the end of the file");
                }
                ++index_;
                pos = 0;
                continue;
            }
            int high = HexDigit(Line()[pos]);
            if (high < 0) return Fail("hexadecimal byte expected");
            int byte = high;
            ++pos;
            if (pos < Line().size() && HexDigit(Line()[pos]) >= 0) {
                byte = byte << 4 | HexDigit(Line()[pos]);
                ++pos;
            }
            *bytes += static_cast<char>(byte);
            SkipBlanks(&pos);
            if (pos == Line().size()) return true;
            if (Line()[pos] == ',') {
                ++pos;
            } else if (Line()[pos] != '\\') {
                return Fail("',' expected between hex bytes");
            }
        }
    }

    std::vector<std::string> lines_;
    std::string label_;
    size_t index_ = 0;
    std::string error_;
};

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Whether "text" gives back exactly these bytes.
bool WritableAsText(const RegValueData& value) {
    const std::string& b = value.bytes;
    if (value.type != plat::kRegSz || b.empty() || b.back() != '\0') return false;
    return b.find_first_of(std::string("\0\r\n", 3)) == b.size() - 1;
}

void WriteValue(const RegValueData& value, std::string* out) {
    std::string line = value.name.empty() ? std::string("@") : Quote(value.name);
    line += '=';
    if (WritableAsText(value)) {
        *out += line + Quote(value.bytes.substr(0, value.bytes.size() - 1)) + "\r\n";
        return;
    }
    if (value.type == plat::kRegDword && value.bytes.size() == 4) {
        plat::Dword number = 0;
        for (int i = 3; i >= 0; --i) {
            number = number << 8 | static_cast<unsigned char>(value.bytes[static_cast<size_t>(i)]);
        }
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        *out += line + digits + "\r\n";
        return;
    }
    char prefix[24];
    if (value.type == plat::kRegBinary) {
        std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    }
    line += prefix;
    bool lineHasBytes = false;
    for (size_t i = 0; i < value.bytes.size(); ++i) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02x%s", static_cast<unsigned char>(value.bytes[i]),
                      i + 1 < value.bytes.size() ? "," : "");
        if (lineHasBytes && line.size() + 2 > kFoldColumn) {
            *out += line + "\\\r\n";
            line = "  ";
        }
        line += piece;
        lineHasBytes = true;
    }
    *out += line + "\r\n";
}

void WriteSection(const std::string& path, const RegKeyNode& key, std::string* out) {
    *out += "[" + path + "]\r\n";
    for (const RegValueData& value : key.values) WriteValue(value, out);
    *out += "\r\n";
}

void WriteKeyAndBelow(const std::string& parentPath, const RegKeyNode& key, std::string* out) {
    std::string path = parentPath + "\\" + key.name;
    WriteSection(path, key, out);
    for (const RegKeyNode& sub : key.subkeys) WriteKeyAndBelow(path, sub, out);
}

}  // namespace

bool ParseRegedit4(const std::string& text, const std::string& label, RegScript* script,
                   std::string* error) {
    RegScript parsed;
    if (!Parser(text, label).Run(&parsed, error)) return false;
    *script = std::move(parsed);
    return true;
}

bool ApplyRegScript(const RegScript& script, RegTree* tree) {
    bool changed = false;
    for (const RegScriptSection& section : script.sections) {
        if (section.remove) {
            changed |= tree->Remove(section.path);
            continue;
        }
        bool created = false;
        RegKeyNode* key = tree->FindOrCreate(section.path, &created);
        if (key == nullptr) continue;
        changed |= created;
        for (const RegScriptValue& value : section.values) {
            if (value.remove) {
                changed |= key->RemoveValue(value.name);
                continue;
            }
            const RegValueData* old = key->FindValue(value.name);
            if (old != nullptr && old->type == value.type && old->bytes == value.bytes) continue;
            key->SetValue(value.name, value.type, value.bytes);
            changed = true;
        }
    }
    return changed;
}

std::string WriteRegedit4(const RegTree& tree) {
    std::string out = "REGEDIT4\r\n\r\n";
    for (const RegKeyNode& root : tree.Roots()) {
        if (!root.values.empty()) WriteSection(root.name, root, &out);
        for (const RegKeyNode& key : root.subkeys) WriteKeyAndBelow(root.name, key, &out);
    }
    return out;
}

}  // namespace sim
