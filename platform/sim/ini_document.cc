#include "platform/sim/ini_document.h"

#include <cstdint>

#include "platform/sim/machine.h"

namespace sim {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page
// leaves undefined stand for the control characters of the same value, as the platform's
// conversion tables have it.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t ToUnicode(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80 && u < 0xA0) return kHighControls[u - 0x80];
    return u;
}

char FromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string DecodeUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        size_t extra = lead < 0x80           ? 0
                       : (lead >> 5) == 0x6  ? 1
                       : (lead >> 4) == 0xE  ? 2
                       : (lead >> 3) == 0x1E ? 3
                                             : 4;
        if (extra == 4) {
            text += '?';
            ++i;
            continue;
        }
        char32_t cp = extra > 0 ? (lead & (0x3F >> extra)) : lead;
        size_t k = 1;
        for (; k <= extra && i + k < bytes.size(); ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) break;
            cp = (cp << 6) | (next & 0x3F);
        }
        i += k;
        if (k <= extra) {
            // A broken sequence stands for one replacement character, however long it got.
            text += '?';
            continue;
        }
        // Outside the basic plane a character takes two UTF-16 units, each shown as '?'.
        if (cp > 0xFFFF) text += '?';
        text += FromUnicode(cp);
    }
    return text;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(bytes[i]);
        unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
        char16_t unit = bigEndian ? static_cast<char16_t>(first << 8 | second)
                                  : static_cast<char16_t>(second << 8 | first);
        text += (unit >= 0xD800 && unit <= 0xDFFF) ? '?' : FromUnicode(unit);
    }
    return text;
}

void AppendEncoded(std::string* out, std::string_view text, IniEncoding encoding) {
    if (encoding == IniEncoding::kAnsi) {
        out->append(text);
        return;
    }
    for (char c : text) {
        char32_t cp = ToUnicode(c);
        if (encoding == IniEncoding::kUtf8) {
            if (cp < 0x80) {
                *out += static_cast<char>(cp);
            } else if (cp < 0x800) {
                *out += static_cast<char>(0xC0 | (cp >> 6));
                *out += static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                *out += static_cast<char>(0xE0 | (cp >> 12));
                *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                *out += static_cast<char>(0x80 | (cp & 0x3F));
            }
        } else {
            char high = static_cast<char>(cp >> 8);
            char low = static_cast<char>(cp & 0xFF);
            if (encoding == IniEncoding::kUtf16Le) {
                *out += low;
                *out += high;
            } else {
                *out += high;
                *out += low;
            }
        }
    }
}

// A name or value ends at its first NUL, as a C string would.
std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string_view TrimLeadingBlanks(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsIniBlank(text[start])) ++start;
    return text.substr(start);
}

// FoldUpper as a table: names are hashed on every lookup.
struct FoldTable {
    unsigned char upper[256];
    FoldTable() {
        for (int c = 0; c < 256; ++c) {
            upper[c] = static_cast<unsigned char>(FoldUpper(static_cast<char>(c)));
        }
    }
};
const FoldTable& Fold() {
    static const FoldTable table;
    return table;
}

// FNV-1a over the folded letters.
std::uint64_t NameHash(std::string_view name) {
    const FoldTable& fold = Fold();
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= fold.upper[static_cast<unsigned char>(c)];
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

bool SameIniName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // the usual case: the program spells the name as the file does
    const FoldTable& fold = Fold();
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold.upper[static_cast<unsigned char>(a[i])] !=
            fold.upper[static_cast<unsigned char>(b[i])]) {
            return false;
        }
    }
    return true;
}

void IniNameIndex::Build(const std::vector<std::uint64_t>& hashes) {
    size_t capacity = 4;
    while (capacity < hashes.size() * 2) capacity *= 2;
    cells_.assign(capacity, Cell());
    for (size_t position = 0; position < hashes.size(); ++position) {
        size_t i = static_cast<size_t>(hashes[position]) & (capacity - 1);
        while (cells_[i].position != kNone && cells_[i].hash != hashes[position]) {
            i = (i + 1) & (capacity - 1);
        }
        if (cells_[i].position == kNone) cells_[i] = Cell{hashes[position], position};
    }
}

size_t IniNameIndex::Find(std::uint64_t hash) const {
    if (cells_.empty()) return kNone;
    size_t mask = cells_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        if (cells_[i].position == kNone || cells_[i].hash == hash) return cells_[i].position;
    }
}

std::string_view TrimIniBlanks(std::string_view text) {
    text = TrimLeadingBlanks(text);
    size_t end = text.size();
    while (end > 0 && IsIniBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

IniDocument::IniDocument() { sections_.emplace_back(); }

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    std::string decoded;
    std::string_view text = bytes;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        document.encoding_ = IniEncoding::kUtf8;
        decoded = DecodeUtf8(bytes.substr(3));
        text = decoded;
    } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
        document.encoding_ = IniEncoding::kUtf16Le;
        decoded = DecodeUtf16(bytes.substr(2), false);
        text = decoded;
    } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
        document.encoding_ = IniEncoding::kUtf16Be;
        decoded = DecodeUtf16(bytes.substr(2), true);
        text = decoded;
    }

    IniSection* section = &document.sections_.front();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimIniBlanks(text.substr(pos, end - pos));
        pos = text.find_first_not_of("\r\n", end);
        if (pos == std::string_view::npos) pos = text.size();
        if (line.empty()) continue;

        if (line.front() == '[') {
            size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                document.sections_.emplace_back();
                section = &document.sections_.back();
                section->name = UpToNul(TrimIniBlanks(line.substr(1, close - 1)));
                continue;
            }
        }
        IniEntry entry;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.name = UpToNul(line);
        } else {
            std::string_view name = TrimIniBlanks(line.substr(0, equals));
            // A "=value" line right after an entry with an empty name is dropped.
            if (name.empty() && !section->entries.empty() && section->entries.back().name.empty()) {
                continue;
            }
            entry.name = UpToNul(name);
            entry.value = UpToNul(TrimLeadingBlanks(line.substr(equals + 1)));
            entry.hasValue = true;
        }
        section->entries.push_back(std::move(entry));
    }
    document.BuildIndex();
    return document;
}

void IniDocument::BuildIndex() {
    std::vector<std::uint64_t> hashes;
    for (const IniSection& section : sections_) hashes.push_back(NameHash(section.name));
    sectionIndex_.Build(hashes);
    entryIndex_.assign(sections_.size(), IniNameIndex());
    for (size_t s = 0; s < sections_.size(); ++s) {
        hashes.clear();
        for (const IniEntry& entry : sections_[s].entries) hashes.push_back(NameHash(entry.name));
        entryIndex_[s].Build(hashes);
    }
}

std::string IniDocument::Serialize() const {
    std::string out;
    if (encoding_ == IniEncoding::kUtf8) out = "\xEF\xBB\xBF";
    if (encoding_ == IniEncoding::kUtf16Le) out = "\xFF\xFE";
    if (encoding_ == IniEncoding::kUtf16Be) out = "\xFE\xFF";
    std::string text;
    for (const IniSection& section : sections_) {
        if (!section.name.empty()) {
            text += '[';
            text += section.name;
            text += "]\r\n";
        }
        for (const IniEntry& entry : section.entries) {
            text += entry.name;
            if (entry.hasValue) {
                text += '=';
                text += entry.value;
            }
            text += "\r\n";
        }
    }
    AppendEncoded(&out, text, encoding_);
    return out;
}

const IniSection* IniDocument::FindSection(std::string_view name) const {
    size_t found = sectionIndex_.Find(NameHash(name));
    if (found == IniNameIndex::kNone) return nullptr;
    if (SameIniName(sections_[found].name, name)) return &sections_[found];
    for (const IniSection& section : sections_) {
        if (SameIniName(section.name, name)) return &section;
    }
    return nullptr;
}

const IniEntry* IniDocument::FindEntry(const IniSection& section, std::string_view name) const {
    size_t s = static_cast<size_t>(&section - sections_.data());
    if (s >= entryIndex_.size()) return nullptr;
    size_t found = entryIndex_[s].Find(NameHash(name));
    if (found == IniNameIndex::kNone) return nullptr;
    if (SameIniName(section.entries[found].name, name)) return &section.entries[found];
    for (const IniEntry& entry : section.entries) {
        if (SameIniName(entry.name, name)) return &entry;
    }
    return nullptr;
}

bool IniDocument::SetValue(std::string_view sectionName, std::string_view name,
                           std::string_view value) {
    std::string_view wantedSection = TrimIniBlanks(sectionName);
    std::string_view wantedName = TrimIniBlanks(name);
    std::string newValue = UpToNul(TrimLeadingBlanks(value));
    for (IniSection& section : sections_) {
        if (!SameIniName(section.name, wantedSection)) continue;
        for (IniEntry& entry : section.entries) {
            if (!SameIniName(entry.name, wantedName)) continue;
            if (entry.hasValue && entry.value == newValue) return false;
            entry.value = newValue;
            entry.hasValue = true;
            return true;
        }
        section.entries.push_back({UpToNul(TrimLeadingBlanks(name)), newValue, true});
        return true;
    }
    IniSection added;
    added.name = UpToNul(TrimLeadingBlanks(sectionName));
    added.entries.push_back({UpToNul(TrimLeadingBlanks(name)), newValue, true});
    sections_.push_back(std::move(added));
    return true;
}

bool IniDocument::DeleteEntry(std::string_view sectionName, std::string_view name) {
    for (IniSection& section : sections_) {
        if (!SameIniName(section.name, sectionName)) continue;
        for (auto entry = section.entries.begin(); entry != section.entries.end(); ++entry) {
            if (SameIniName(entry->name, name)) {
                section.entries.erase(entry);
                return true;
            }
        }
    }
    return false;
}

bool IniDocument::DeleteSection(std::string_view sectionName) {
    for (auto section = sections_.begin(); section != sections_.end(); ++section) {
        if (SameIniName(section->name, sectionName)) {
            sections_.erase(section);
            return true;
        }
    }
    return false;
}

}  // namespace sim
