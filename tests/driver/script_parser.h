// Reading of driver scripts: one command per line, words separated by blanks.
//
//   # a comment (only at the start of a line: "#32770" is a window class)
//   wait-window class=#32770 title="Essai du pilote — Précédent" timeout=8000
//
// A double quote starts and ends a quoted part, inside which blanks are kept and "" stands for
// one double quote; quotes may begin in the middle of a word (title="a b"). A word whose
// unquoted part before the first "=" is a lower-case name (letters, digits, "-", "_", ending
// in an optional "~" or "&") is an option; any other word is a positional argument, so a value
// holding "=" that must stay positional is quoted whole ("a=b"). ${NAME} is replaced by the
// variable NAME given on the driver's command line, or else by the environment variable.
// Backslashes have no special meaning, so Windows paths are written as they are.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testdrv {

using Variables = std::map<std::wstring, std::wstring>;

struct Command {
    int line = 0;
    std::wstring text;  // the line as written, for messages
    std::wstring name;
    std::vector<std::wstring> args;
    std::vector<std::pair<std::wstring, std::wstring>> options;

    // The value of the option `key`, or nullptr when the line does not give it.
    const std::wstring* Option(const std::wstring& key) const;
};

// Parses one line. Returns false with *error set on an unclosed quote or an unknown variable.
// A blank or comment line gives a command with an empty name.
bool ParseLine(const std::wstring& line, const Variables& variables, Command* command,
               std::wstring* error);

// Parses a whole script (CR LF or LF line ends, an optional UTF-8 byte order mark already
// removed); blank and comment lines are left out. Stops at the first bad line.
bool ParseScript(const std::wstring& text, const Variables& variables,
                 std::vector<Command>* commands, std::wstring* error);

}  // namespace testdrv
