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
// when the text has no closing quote or holds more than `maxLength` characters, or is empty
// unless `mayBeEmpty`.
const char* ReadQuoted(const char* p, std::size_t maxLength, std::string* text,
                       bool mayBeEmpty = false);

// For every opening parenthesis of `text`, the position of the parenthesis that closes it,
// counting every parenthesis from there on, quoted or not; kNoMatch when the text ends first,
// and at every other position. Counting from an opening parenthesis stops at the same place
// whichever enclosing group the count is made in, so one table serves every group of a text.
constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);
std::vector<std::size_t> MatchParentheses(std::string_view text);

// How far the readers got in a description, so that a refused page can be shown where it went
// wrong. While one is alive, every reader notes the position it read up to (one description at
// a time, on one thread). A description is read from left to right, except that the groups of a
// composite are placed out of order, so placing a group starts the count again at the group's
// beginning (RestartAt): a group that fails is the last one placed. Without one, nothing is
// noted.
class ReadProgress {
  public:
    explicit ReadProgress(const char* text);
    ~ReadProgress();
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;

    // Where the readers stopped, as an offset in the text: the farthest position read to, or,
    // when nothing was read past the last item read there (a value the kind refuses, such as
    // an unknown icon name), the beginning of that item.
    std::size_t Farthest() const { return m_farthestStart; }

    // Positions inside `copy`, a copy of the watched text from `original` on, count at the
    // matching place of the watched text, for as long as the returned object lives.
    class CopyScope {
      public:
        CopyScope(const char* copy, const char* original);
        ~CopyScope();
        CopyScope(const CopyScope&) = delete;
        CopyScope& operator=(const CopyScope&) = delete;

      private:
        const char* m_savedCopy;
        std::size_t m_savedLength;
        std::size_t m_savedShift;
    };

    // A reader read from `start` to `end`; blanks count as read up to `end` with nothing in them.
    static void Note(const char* start, const char* end);
    static void RestartAt(const char* p);

  private:
    static std::size_t OffsetOf(const char* p);

    const char* m_text;
    std::size_t m_length;
    const char* m_copy = nullptr;
    std::size_t m_copyLength = 0;
    std::size_t m_copyShift = 0;
    std::size_t m_farthest = 0;
    std::size_t m_farthestStart = 0;
    ReadProgress* m_outer;
};

}  // namespace cnx::page
