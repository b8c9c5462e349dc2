// Text conversions of the test driver. Scripts and output are UTF-8 on the host side, the
// programs under test speak Windows-1252, and the driver itself works in UTF-16.
#pragma once

#include <string>

namespace testdrv {

std::wstring FromCodePage(const std::string& bytes, unsigned codePage);
std::string ToCodePage(const std::wstring& text, unsigned codePage);
std::wstring FromUtf8(const std::string& bytes);
std::string ToUtf8(const std::wstring& text);

// Renders a text on one line, the way the driver prints it and compares it: a line break
// (CR LF, LF) becomes the two characters \n, a lone CR \r and a tab \t. Expected texts in
// scripts are written in this form, so "Ligne 1\nLigne 2" matches a two-line label.
std::wstring OneLine(const std::wstring& text);

// Removes the mnemonic marks of a control label: "&Suivant" -> "Suivant", "&&" -> "&".
std::wstring WithoutMnemonics(const std::wstring& label);

bool ParseInt(const std::wstring& text, long long* value);

}  // namespace testdrv
