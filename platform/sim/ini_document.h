// One INI file of the simulated machine, parsed the way the platform's private-profile
// functions see it, and written back the way they rewrite it.
//
// Reading: lines end at CR or LF; blanks (space, tab, VT, FF, Ctrl-Z) around each line are
// dropped and blank lines vanish. "[name]" opens a section: the name ends at the last ']' of
// the line, what follows is ignored. Any other line is an entry, "name=value" or a bare line
// without '='; comment lines are ordinary entries whose name starts with ';'. Entries before
// the first header belong to a nameless first section, which always exists. Each name and
// value ends at its first NUL. A file that starts with a UTF-8 or UTF-16 byte-order mark is
// decoded to Windows-1252 ('?' for what that code page cannot show: such characters do not
// survive a rewrite, where the platform keeps them) and keeps its encoding when written back.
//
// Writing: the whole file is rewritten from the parsed form, "[name]" and "name=value" lines
// ended by CR LF; blank lines and blanks around '=' are gone, everything else stays in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class IniEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

struct IniEntry {
    std::string name;
    std::string value;
    // False for a line without '=': kept in the file, left out of key lists, read as missing.
    bool hasValue = false;
};

struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;
};

// The blanks the platform trims around lines, names and values.
inline bool IsIniBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}
std::string_view TrimIniBlanks(std::string_view text);

// Positions of names in a list, by the hash of the folded name: an open-addressing table
// that keeps, for each hash, the first position that had it.
class IniNameIndex {
  public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    void Build(const std::vector<std::uint64_t>& hashes);
    std::size_t Find(std::uint64_t hash) const;

  private:
    struct Cell {
        std::uint64_t hash = 0;
        std::size_t position = kNone;
    };
    std::vector<Cell> cells_;
};

class IniDocument {
  public:
    IniDocument();
    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    IniEncoding Encoding() const { return encoding_; }
    const std::vector<IniSection>& Sections() const { return sections_; }

    // Lookups by name, without regard to case. `name` is compared as given; the first match
    // counts. Null when absent.
    const IniSection* FindSection(std::string_view name) const;
    const IniEntry* FindEntry(const IniSection& section, std::string_view name) const;

    // Edits. Each returns whether the document changed. The indexes used by the lookups are
    // not kept up to date: a document is edited as a copy, written, then parsed again.
    //
    // Sets `name`'s value in the first section called `sectionName` (blanks around both
    // names ignored), adding the entry at the end of the section, or the section at the end
    // of the file, when missing. The value loses its leading blanks; a new name keeps its
    // trailing ones, as the platform does.
    bool SetValue(std::string_view sectionName, std::string_view name, std::string_view value);
    // Removes the first entry called `name` from the sections called `sectionName` (names
    // compared exactly as given, without regard to case).
    bool DeleteEntry(std::string_view sectionName, std::string_view name);
    // Removes the first section called `sectionName`, with all its lines.
    bool DeleteSection(std::string_view sectionName);

  private:
    void BuildIndex();

    IniEncoding encoding_ = IniEncoding::kAnsi;
    std::vector<IniSection> sections_;
    // The first section of each name, and per section the first entry of each name. Built by
    // Parse. A lookup that lands on another name with the same hash falls back on a scan.
    IniNameIndex sectionIndex_;
    std::vector<IniNameIndex> entryIndex_;
};

// Names compared the platform's way: without regard to the letter case of Windows-1252.
bool SameIniName(std::string_view a, std::string_view b);

}  // namespace sim
