// Arguments that the platform's start functions must hand to a program whole: the process
// contract test starts test_child with them, and test_child compares its argv with them.
#pragma once

namespace argcases {

// One of each C runtime quoting rule: blanks and tabs, an empty argument, embedded double
// quotes, backslashes before a quote and before the closing quote, and plain backslashes.
constexpr const char* kArguments[] = {
    "C:\\Program Files\\Telvora\\telvora.ins",
    "tab\there",
    "",
    "say \"bonjour\"",
    "a\"b",
    "C:\\dossier avec blanc\\",
    "sans\\blanc\\",
    "deux\\\\\"guillemet",
    "\\\\serveur\\partage",
    "simple",
};
constexpr int kCount = sizeof kArguments / sizeof kArguments[0];

}  // namespace argcases
