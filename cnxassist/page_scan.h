// The lexical pieces of the page description language: blanks, numbers, quoted texts, words
// and parenthesised groups. Every reader takes the position to read at and returns the position
// after what it read, or null when the text does not match; a null position passes through, so
// the readers chain without a check after each one. No reader looks past the text's
// terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cnx::page {

// Skips a run, possibly empty, of space, tab, carriage return and line feed. Null when the run
// reaches the end of the text: something must always follow a blank.
const char* SkipBlanks(const char* p);

// `word` must be the next characters (compared exactly, case included).
const char* ExpectWord(const char* p, const char* word);

// One or more decimal digits, without a sign, as a 32-bit number. Null when there is no digit
// or the value does not fit.
const char* ReadNumber(const char* p, std::int32_t* value);

// A double quote, any characters other than a double quote, and a closing double quote. Null
// when the text has no closing quote or holds more than `maxLength` characters.
const char* ReadQuoted(const char* p, std::size_t maxLength, std::string* text);

// For every opening parenthesis of `text`, the position of the parenthesis that closes it,
// counting every parenthesis from there on, quoted or not; kNoMatch when the text ends first,
// and at every other position. Counting from an opening parenthesis stops at the same place
// whichever enclosing group the count is made in, so one table serves every group of a text.
constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);
std::vector<std::size_t> MatchParentheses(std::string_view text);

}  // namespace cnx::page
