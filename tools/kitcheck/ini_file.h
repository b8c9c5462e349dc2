// An INI file of a kit as kitcheck sees it: its values come from the platform's private-profile
// functions, as the programs read them; the file's lines serve only to say where a section or a
// key is written, so that a finding points at it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kitcheck {

// A file named two ways: as the author gave it (shown in findings) and as the platform's
// functions take it.
struct KitPath {
    std::string shown;
    std::string path;
};
// `name` inside the folder `folder`.
KitPath InFolder(const KitPath& folder, const std::string& name);

class IniFile {
  public:
    explicit IniFile(const KitPath& file);

    const KitPath& File() const { return m_file; }
    const std::string& Shown() const { return m_file.shown; }
    const char* Path() const { return m_file.path.c_str(); }
    bool Readable() const { return m_readable; }

    // The value as the programs read it, through a buffer large enough that nothing is cut:
    // callers compare its length with the buffer the program uses.
    std::string Read(const std::string& section, const std::string& key) const;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const;
    // The sections, and the keys of one section, as the platform lists them (the first of two
    // sections of the same name counts).
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& section) const;
    bool HasSection(const std::string& section) const;

    // The line where the section's header is written (its first one), 0 when it is not.
    int SectionLine(const std::string& section) const;
    // The line where the key is written in the section, else the section's line.
    int KeyLine(const std::string& section, const std::string& key) const;
    // Headers of sections already opened above them: the platform reads only the first.
    struct Line {
        std::string name;
        int line;
    };
    const std::vector<Line>& RepeatedSections() const { return m_repeated; }
    // The file holds UTF-8 multi-byte sequences and nothing that could only be Windows-1252.
    bool LooksLikeUtf8() const { return m_utf8; }

  private:
    struct Section {
        std::string folded;
        int line = 0;
        std::vector<Line> keys;  // names folded
    };
    const Section* Find(const std::string& section) const;

    KitPath m_file;
    bool m_readable = false;
    bool m_utf8 = false;
    std::vector<Section> m_sections;
    std::vector<Line> m_repeated;
};

// Names compared as the platform compares section and key names: without regard to case.
std::string FoldName(const std::string& name);
bool SameName(const std::string& a, const std::string& b);

// Whether `bytes` reads as UTF-8 with at least one multi-byte character.
bool LooksLikeUtf8(const std::string& bytes);

}  // namespace kitcheck
