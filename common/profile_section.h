// One section of an INI file read in one call, then looked up key by key with exactly the
// answers of the key reads of common/profile_access.h. A key read costs the platform a look at
// the file every time (about 0.3 ms under Wine): a program that reads a dozen keys of one
// section at start-up reads the section once instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kit {

class ProfileSection {
  public:
    // Reads `section` of `file` now. A section that is missing, empty or larger than one read
    // can take is not kept: every lookup then reads its key from the file.
    ProfileSection(std::string file, std::string section);

    const std::string& File() const { return file_; }
    const std::string& Name() const { return section_; }

    // kit::ReadProfileString(File(), Name(), key, defaultValue, capacity), as the file was when
    // the section was read.
    std::string ReadString(const char* key, const char* defaultValue, std::size_t capacity) const;
    // kit::ReadProfileInt(File(), Name(), key, defaultValue), likewise.
    int ReadInt(const char* key, int defaultValue) const;

  private:
    // Whether the kept lines answer for `key` (else the file must be read); if so, whether a
    // line "key=value" is there (the first one counts), and its value.
    bool Find(const char* key, bool* found, std::string_view* value) const;

    std::string file_;
    std::string section_;
    bool kept_ = false;
    // The lines as read, each ended by a zero.
    std::string lines_;
};

// The part of a value that a key read copies into a buffer of `size` bytes (at least 1): a value
// in matching quotes loses them, and needs a byte more than its text, as the platform does.
std::string ProfileValueIn(std::string_view value, std::size_t size);

}  // namespace kit
