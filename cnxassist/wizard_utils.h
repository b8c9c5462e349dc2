// Small utilities shared by the wizard's steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace cnx {

// The process's current directory, read on the first call (a failed read is tried again on the
// next call) and returned unchanged afterwards: every path of the wizard is built from it.
const std::string& WorkingDirectory();
// Forgets the captured directory, for tests that run the wizard several times in one process.
void ForgetWorkingDirectory();

// Item `n` (1-based) of a comma list: the text is cut to 511 characters, empty items are
// skipped, no blanks are trimmed. False, with `out` untouched, when there are fewer items.
bool GetListItem(const char* text, int n, std::string* out);

// Reads a comma list of hexadecimal numbers (split as GetListItem does) into bytes, keeping the
// low 8 bits of each, and stops after `*count` bytes; `*count` receives the number stored.
// Items that begin with no hexadecimal digit count as 0.
void ParseHexByteList(const char* text, std::uint8_t* out, std::size_t* count);

// Reads a number the way "%x" does: leading blanks, an optional 0x, then hexadecimal digits up
// to the first other character. 0 when there is no digit.
std::uint32_t ParseHexNumber(const char* text);

// A text beginning with "~" becomes the working directory followed by the text between that
// "~" and the next one (or the end). A text without "~" is unchanged. The result is cut to 511
// characters. A text whose first "~" comes later (a short name such as C:\PROGRA~1\x.exe) is
// unchanged.
std::string ExpandTilde(const std::string& text);

// Reads a registry value as text through a buffer of `capacity` bytes (opened without creating
// the key); the empty text when the key or the value cannot be read.
std::string ReadRegistryText(plat::RegKey root, const char* key, const char* value,
                             std::size_t capacity);

// The C runtime's upper-casing in the default locale: only the letters a to z change.
std::string UpperCase(std::string text);

// Clears a file's read-only attribute, if the file is there, before the wizard writes it.
void ClearReadOnly(const std::string& path);

}  // namespace cnx
