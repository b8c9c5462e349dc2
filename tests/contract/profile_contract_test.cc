// The private-profile family gives the same answers, and leaves the same bytes on disk, on the
// simulated machine and on the real platform. Several answers are odd; they are what the
// programs get, so the simulated machine must give them too.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "tests/contract/contract_env.h"

namespace {

using namespace std::string_literals;
using plat::Dword;

// A read into a buffer of `size` bytes first filled with 0xAA, so that the tests see exactly
// which bytes the function wrote.
struct BufferRead {
    Dword result = 0;
    std::string buffer;
};

class ProfileContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = contract::FreshFolder();
        file_ = Path("test.ini");
    }
    std::string Path(const char* name) const { return folder_ + "\\" + name; }
    // Eight hexadecimal digits that no other test uses.
    std::string Unique() const { return folder_.substr(folder_.rfind('\\') + 1); }

    // Tests put each raw contents in a file of its own: the platform notices a file changed
    // behind its back only by its modification time, which may not move between two writes
    // in quick succession.
    void WriteFile(const std::string& bytes, const std::string& path) const {
        ASSERT_TRUE(plat::WriteWholeFile(path.c_str(), bytes));
    }
    void WriteFile(const std::string& bytes) const { WriteFile(bytes, file_); }
    std::string FileBytes(const std::string& path) const {
        std::string bytes = "<missing>";
        plat::ReadWholeFile(path.c_str(), &bytes);
        return bytes;
    }
    std::string FileBytes() const { return FileBytes(file_); }

    BufferRead ReadInto(const char* section, const char* key, const char* defaultValue, Dword size,
                        const std::string& file) const {
        BufferRead read;
        read.buffer.assign(size, '\xAA');
        read.result = plat::GetPrivateProfileString(section, key, defaultValue, &read.buffer[0],
                                                    size, file.c_str());
        return read;
    }
    BufferRead ReadInto(const char* section, const char* key, const char* defaultValue,
                        Dword size) const {
        return ReadInto(section, key, defaultValue, size, file_);
    }
    // The value as a program sees it with a roomy buffer.
    std::string Value(const char* section, const char* key, const char* defaultValue = "?",
                      const std::string* file = nullptr) const {
        char buffer[256];
        Dword n = plat::GetPrivateProfileString(section, key, defaultValue, buffer, sizeof buffer,
                                                (file != nullptr ? *file : file_).c_str());
        EXPECT_EQ(n, std::string(buffer).size());
        return buffer;
    }
    unsigned Int(const char* key, int defaultValue = 77) const {
        return plat::GetPrivateProfileInt("I", key, defaultValue, file_.c_str());
    }
    bool Write(const char* section, const char* key, const char* value) const {
        return plat::WritePrivateProfileString(section, key, value, file_.c_str());
    }

    std::string folder_;
    std::string file_;
};

TEST_F(ProfileContract, QuotesGoOnlyWhenTheSameQuoteEndsTheValue) {
    WriteFile(
        "[S]\r\ndouble=\"x y\"\r\nsingle='z'\r\nmixed=\"m'\r\nlone=\"\r\nempty=\"\"\r\n"
        "inner=\"a\"b\"\r\nopen=\"abc\r\nspaced=\"q\" \r\n");
    EXPECT_EQ(Value("S", "double"), "x y");
    EXPECT_EQ(Value("S", "single"), "z");
    EXPECT_EQ(Value("S", "mixed"), "\"m'");
    EXPECT_EQ(Value("S", "lone"), "\"");
    EXPECT_EQ(Value("S", "empty"), "");
    EXPECT_EQ(Value("S", "inner"), "a\"b");
    EXPECT_EQ(Value("S", "open"), "\"abc");
    // The line's trailing blank goes first, so the quotes match.
    EXPECT_EQ(Value("S", "spaced"), "q");
}

TEST_F(ProfileContract, BlanksAroundNamesAndValuesAreIgnored) {
    WriteFile(
        "[ Spaced ]\r\n  Key \t=  value  \t\r\n\tTab\t=\t1\r\nz=\x1A"
        "2\x1A\r\n"
        "nbsp=\xA0x\xA0\r\n");
    EXPECT_EQ(Value("Spaced", "Key"), "value");
    EXPECT_EQ(Value("  spaced\t", " key "), "value");
    EXPECT_EQ(Value("Spaced", "Tab"), "1");
    EXPECT_EQ(Value("Spaced", "z"), "2");             // Ctrl-Z counts as a blank
    EXPECT_EQ(Value("Spaced", "nbsp"), "\xA0x\xA0");  // a no-break space does not
    // The key list of a section asked with blanks is not found: its default comes back.
    EXPECT_EQ(Value(" Spaced", nullptr, "dflt"), "dflt");
}

TEST_F(ProfileContract, NamesMatchWithoutRegardToLetterCase) {
    WriteFile("[General]\r\nNbBoutons=3\r\n");
    EXPECT_EQ(Value("GENERAL", "nbboutons"), "3");
    EXPECT_EQ(Value("general", "NBBOUTONS"), "3");
    EXPECT_TRUE(Write("GENERAL", "NBBOUTONS", "4"));
    EXPECT_EQ(FileBytes(), "[General]\r\nNbBoutons=4\r\n");
}

TEST_F(ProfileContract, AValueIsCutToTheBufferAndReturnsWhatWasCopied) {
    WriteFile("[S]\r\nv=abcdef\r\nq='abcdef'\r\n");
    EXPECT_EQ(ReadInto("S", "v", "", 0).result, 0u);
    EXPECT_EQ(ReadInto("S", "v", "", 0).buffer, "");
    BufferRead one = ReadInto("S", "v", "", 1);
    EXPECT_EQ(one.result, 0u);
    EXPECT_EQ(one.buffer, "\0"s);
    BufferRead two = ReadInto("S", "v", "", 2);
    EXPECT_EQ(two.result, 1u);
    EXPECT_EQ(two.buffer, "a\0"s);
    BufferRead oneShort = ReadInto("S", "v", "", 6);
    EXPECT_EQ(oneShort.result, 5u);
    EXPECT_EQ(oneShort.buffer, "abcde\0"s);
    BufferRead exact = ReadInto("S", "v", "", 7);
    EXPECT_EQ(exact.result, 6u);
    EXPECT_EQ(exact.buffer, "abcdef\0"s);
    BufferRead roomy = ReadInto("S", "v", "", 8);
    EXPECT_EQ(roomy.result, 6u);
    EXPECT_EQ(roomy.buffer, "abcdef\0\xAA"s);

    // A quoted value needs a byte more than its text: with exactly its text's size, the
    // closing quote and the last character are both cut.
    BufferRead quotedExact = ReadInto("S", "q", "", 7);
    EXPECT_EQ(quotedExact.result, 5u);
    EXPECT_EQ(quotedExact.buffer, "abcde\0\xAA"s);
    BufferRead quotedRoomy = ReadInto("S", "q", "", 8);
    EXPECT_EQ(quotedRoomy.result, 6u);
    EXPECT_EQ(quotedRoomy.buffer, "abcdef\0\xAA"s);
    // Defaults are cut the same way.
    BufferRead cutDefault = ReadInto("S", "missing", "abcdef", 3);
    EXPECT_EQ(cutDefault.result, 2u);
    EXPECT_EQ(cutDefault.buffer, "ab\0"s);
}

TEST_F(ProfileContract, ACutKeyListReturnsSizeMinusTwo) {
    // Names v, q, longkey and k: 14 bytes with their zeros, 15 with the list's closing zero.
    WriteFile("[S]\r\nv=1\r\nq=2\r\nlongkey=3\r\nk=4\r\n");
    BufferRead one = ReadInto("S", nullptr, "d", 1);
    EXPECT_EQ(one.result, 0u);
    EXPECT_EQ(one.buffer, "\0"s);
    // Too small for any name: the default comes back instead.
    BufferRead two = ReadInto("S", nullptr, "d", 2);
    EXPECT_EQ(two.result, 1u);
    EXPECT_EQ(two.buffer, "d\0"s);
    BufferRead three = ReadInto("S", nullptr, "d", 3);
    EXPECT_EQ(three.result, 1u);
    EXPECT_EQ(three.buffer, "v\0\xAA"s);
    BufferRead four = ReadInto("S", nullptr, "d", 4);
    EXPECT_EQ(four.result, 2u);
    EXPECT_EQ(four.buffer, "v\0\0\xAA"s);
    BufferRead cutName = ReadInto("S", nullptr, "d", 8);
    EXPECT_EQ(cutName.result, 6u);
    EXPECT_EQ(cutName.buffer, "v\0q\0lo\0\xAA"s);
    BufferRead oneShort = ReadInto("S", nullptr, "d", 14);
    EXPECT_EQ(oneShort.result, 12u);
    EXPECT_EQ(oneShort.buffer, "v\0q\0longkey\0\0\xAA"s);
    // Exactly the list's size still counts as cut: the last zero is missing.
    BufferRead exactFit = ReadInto("S", nullptr, "d", 15);
    EXPECT_EQ(exactFit.result, 13u);
    EXPECT_EQ(exactFit.buffer, "v\0q\0longkey\0k\0\xAA"s);
    BufferRead oneMore = ReadInto("S", nullptr, "d", 16);
    EXPECT_EQ(oneMore.result, 14u);
    EXPECT_EQ(oneMore.buffer, "v\0q\0longkey\0k\0\0\xAA"s);
}

TEST_F(ProfileContract, ACutSectionListReturnsSizeMinusTwo) {
    // Sections S, T and Third: 10 bytes with their zeros, 11 with the closing zero.
    WriteFile("top=1\r\n[S]\r\n[T]\r\na=1\r\n[Third]\r\n");
    BufferRead one = ReadInto(nullptr, nullptr, "d", 1);
    EXPECT_EQ(one.result, 0u);
    EXPECT_EQ(one.buffer, "\0"s);
    BufferRead two = ReadInto(nullptr, nullptr, "d", 2);
    EXPECT_EQ(two.result, 0u);
    EXPECT_EQ(two.buffer, "\0\xAA"s);
    BufferRead three = ReadInto(nullptr, nullptr, "d", 3);
    EXPECT_EQ(three.result, 1u);
    EXPECT_EQ(three.buffer, "S\0\xAA"s);
    BufferRead oneShort = ReadInto(nullptr, nullptr, "d", 10);
    EXPECT_EQ(oneShort.result, 8u);
    EXPECT_EQ(oneShort.buffer, "S\0T\0Thir\0\xAA"s);
    BufferRead exactFit = ReadInto(nullptr, nullptr, "d", 11);
    EXPECT_EQ(exactFit.result, 9u);
    EXPECT_EQ(exactFit.buffer, "S\0T\0Third\0\xAA"s);
    // A key given with a null section is ignored: still the list of sections.
    BufferRead oneMore = ReadInto(nullptr, "ignored", "d", 12);
    EXPECT_EQ(oneMore.result, 10u);
    EXPECT_EQ(oneMore.buffer, "S\0T\0Third\0\0\xAA"s);
}

TEST_F(ProfileContract, MissingFileSectionOrKeyGivesTheDefault) {
    WriteFile("[S]\r\nk=v\r\n[Empty]\r\n");
    EXPECT_EQ(Value("S", "missing", "dflt   "), "dflt");  // trailing spaces trimmed
    EXPECT_EQ(Value("S", "missing", "   "), " ");         // all spaces: one is kept
    EXPECT_EQ(Value("S", "missing", "  a\t "), "  a\t");  // only spaces, only at the end
    EXPECT_EQ(Value("S", "missing", "\"q\" "), "q");      // then quotes go
    EXPECT_EQ(Value("S", "missing", nullptr), "");
    EXPECT_EQ(Value("Nowhere", "k", "d"), "d");
    // A key list keeps the default's spaces but not its quotes.
    EXPECT_EQ(Value("Nowhere", nullptr, "dflt  "), "dflt  ");
    EXPECT_EQ(Value("Empty", nullptr, "'q'"), "q");

    std::string missingFile = Path("none.ini");
    EXPECT_EQ(Value("S", "k", "'q' ", &missingFile), "q");
    EXPECT_EQ(Value("S", nullptr, "'q' ", &missingFile), "'q' ");
    EXPECT_EQ(Value(nullptr, nullptr, "d", &missingFile), "");
    // In a folder that does not exist the default keeps its quotes.
    std::string missingFolder = Path("nofolder\\none.ini");
    EXPECT_EQ(Value("S", "k", "'q' ", &missingFolder), "'q'");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "k", 5, missingFolder.c_str()), 5u);
    EXPECT_EQ(FileBytes(missingFile), "<missing>");
}

TEST_F(ProfileContract, DuplicatesLinesWithoutEqualsAndComments) {
    WriteFile(
        "[S]\r\nk=first\r\nk=second\r\nbare line\r\n;comment=1\r\nlast=2\r\n"
        "[s]\r\nonly=in second\r\nk=third\r\n");
    EXPECT_EQ(Value("S", "k"), "first");
    // Only the first section of a name counts, for reads and for lists.
    EXPECT_EQ(Value("S", "only"), "?");
    EXPECT_EQ(Value("S", "bare line", "d"), "d");
    // A comment is a line like any other to a lookup, but lists leave it out.
    EXPECT_EQ(Value("S", ";comment"), "1");
    BufferRead keys = ReadInto("S", nullptr, "", 32);
    EXPECT_EQ(keys.buffer.substr(0, keys.result + 1), "k\0k\0last\0\0"s);
    BufferRead sections = ReadInto(nullptr, nullptr, "", 32);
    EXPECT_EQ(sections.buffer.substr(0, sections.result + 1), "S\0s\0\0"s);
}

TEST_F(ProfileContract, OddLinesReadAsThePlatformReadsThem) {
    WriteFile("top=1\r[A]junk\na=1\r\n[B\nb=2\n[C]]\nc=3\n[ ]\ne=5\n");
    EXPECT_EQ(Value("", "top"), "1");  // before any header: the nameless section
    EXPECT_EQ(Value("A", "a"), "1");   // text after the header is ignored
    EXPECT_EQ(Value("A", "b"), "2");   // a header without ']' is an ordinary line
    EXPECT_EQ(Value("C]", "c"), "3");  // the name runs to the last ']'
    EXPECT_EQ(Value("C", "c"), "?");
    BufferRead sections = ReadInto(nullptr, nullptr, "", 32);
    EXPECT_EQ(sections.buffer.substr(0, sections.result + 1), "A\0C]\0\0"s);
}

TEST_F(ProfileContract, IntegersReadAsThePlatformParsesThem) {
    WriteFile(
        "[I]\r\nneg=-5\r\nlead= 12abc\r\nempty=\r\nhex=0x1F\r\nupper=0X1F\r\nplus=+7\r\n"
        "word=abc\r\nwrap=4294967297\r\nquoted=\"42\"\r\nsign=-\r\nbare\r\n");
    EXPECT_EQ(Int("neg"), static_cast<unsigned>(-5));
    EXPECT_EQ(Int("lead"), 12u);
    EXPECT_EQ(Int("empty"), 77u);
    EXPECT_EQ(Int("hex"), 31u);
    EXPECT_EQ(Int("upper"), 0u);
    EXPECT_EQ(Int("plus"), 7u);
    EXPECT_EQ(Int("word"), 0u);
    EXPECT_EQ(Int("wrap"), 1u);
    EXPECT_EQ(Int("quoted"), 42u);
    EXPECT_EQ(Int("sign"), 0u);
    EXPECT_EQ(Int("bare"), 77u);
    EXPECT_EQ(Int("missing"), 77u);
    EXPECT_EQ(Int("missing", -3), static_cast<unsigned>(-3));
}

TEST_F(ProfileContract, ABareFileNameLivesInTheWindowsDirectory) {
    char windows[260];
    ASSERT_GT(plat::GetWindowsDirectory(windows, sizeof windows), 0u);
    std::string bare = "T" + Unique() + ".INI";
    std::string full = std::string(windows) + "\\" + bare;
    ASSERT_TRUE(plat::WritePrivateProfileString("Sx", "kx", "vx", bare.c_str()));
    EXPECT_EQ(FileBytes(full), "[Sx]\r\nkx=vx\r\n");
    EXPECT_EQ(Value("Sx", "kx", "?", &full), "vx");
    plat::DeleteFile(full.c_str());

    std::string section = "Telvora" + Unique();
    ASSERT_TRUE(plat::WriteProfileString(section.c_str(), "k", "v"));
    std::string winIni = std::string(windows) + "\\win.ini";
    EXPECT_EQ(Value(section.c_str(), "k", "?", &winIni), "v");
    EXPECT_NE(FileBytes(winIni).find("[" + section + "]\r\nk=v\r\n"), std::string::npos);
    EXPECT_TRUE(plat::WriteProfileString(section.c_str(), nullptr, nullptr));
    EXPECT_EQ(Value(section.c_str(), "k", "?", &winIni), "?");
}

TEST_F(ProfileContract, AWriteCreatesWhatIsMissingAndRewritesTheFile) {
    std::string created = Path("created.ini");
    ASSERT_TRUE(plat::WritePrivateProfileString("S", "k", "v", created.c_str()));
    EXPECT_EQ(FileBytes(created), "[S]\r\nk=v\r\n");

    WriteFile("; head\n\n[A]\n  a = 1  \n; note\n\nbare line\n\n[B]\nb=2\n\n[A]\nz=dup\n");
    ASSERT_TRUE(Write("A", "new", "3"));
    // Blank lines and the blanks around '=' are gone, the rest keeps its order, a new key
    // goes to the end of the first section of its name, line ends become CR LF.
    EXPECT_EQ(FileBytes(),
              "; head\r\n[A]\r\na=1\r\n; note\r\nbare line\r\nnew=3\r\n[B]\r\nb=2\r\n"
              "[A]\r\nz=dup\r\n");
    ASSERT_TRUE(Write("a", "A", "9"));
    ASSERT_TRUE(Write("New", "x", "  lead and trail  "));
    EXPECT_EQ(FileBytes(),
              "; head\r\n[A]\r\na=9\r\n; note\r\nbare line\r\nnew=3\r\n[B]\r\nb=2\r\n"
              "[A]\r\nz=dup\r\n[New]\r\nx=lead and trail  \r\n");
    EXPECT_EQ(Value("New", "x"), "lead and trail");
}

TEST_F(ProfileContract, AWriteThatChangesNothingLeavesTheFileAlone) {
    WriteFile("[A]\na=1\n");
    EXPECT_TRUE(Write("A", "a", "1"));
    EXPECT_TRUE(Write("A", "a", "  1"));
    EXPECT_TRUE(Write("A", "other", nullptr));
    EXPECT_TRUE(Write("Other", nullptr, nullptr));
    EXPECT_EQ(FileBytes(), "[A]\na=1\n");
    // Nor does it create a missing file.
    EXPECT_TRUE(plat::WritePrivateProfileString("A", "a", nullptr, Path("none.ini").c_str()));
    EXPECT_EQ(FileBytes(Path("none.ini")), "<missing>");
}

TEST_F(ProfileContract, NewNamesKeepTheirTrailingBlanksUntilReadAgain) {
    ASSERT_TRUE(Write(" T ", "  k  ", "v"));
    EXPECT_EQ(FileBytes(), "[T ]\r\nk  =v\r\n");
    EXPECT_EQ(Value("T", "k"), "v");
    ASSERT_TRUE(Write("T", "k", "w"));
    EXPECT_EQ(FileBytes(), "[T]\r\nk=w\r\n");
}

TEST_F(ProfileContract, AValueHoldingALineBreakBecomesNewLines) {
    WriteFile("[A]\r\na=1\r\n");
    ASSERT_TRUE(Write("A", "a", "x\r\ny=2"));
    EXPECT_EQ(FileBytes(), "[A]\r\na=x\r\ny=2\r\n");
    EXPECT_EQ(Value("A", "a"), "x");
    EXPECT_EQ(Value("A", "y"), "2");
    // Leading line breaks count as blanks and go.
    ASSERT_TRUE(Write("A", "q", "\r\n[B]\r\nb=1"));
    EXPECT_EQ(FileBytes(), "[A]\r\na=x\r\ny=2\r\nq=[B]\r\nb=1\r\n");
    EXPECT_EQ(Value("B", "b"), "?");
}

TEST_F(ProfileContract, NullValueDeletesAKeyAndNullKeyASection) {
    WriteFile("[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n[A]\r\nd=4\r\n");
    ASSERT_TRUE(Write("a", "B", nullptr));
    EXPECT_EQ(FileBytes(), "[A]\r\na=1\r\n[B]\r\nc=3\r\n[A]\r\nd=4\r\n");
    // A key missing from the first section is looked for in the next of the same name.
    ASSERT_TRUE(Write("A", "d", nullptr));
    EXPECT_EQ(FileBytes(), "[A]\r\na=1\r\n[B]\r\nc=3\r\n[A]\r\n");
    // Only the first section of the name goes, with all its lines.
    ASSERT_TRUE(Write("A", nullptr, nullptr));
    EXPECT_EQ(FileBytes(), "[B]\r\nc=3\r\n[A]\r\n");
    // Deletions take the names as given: blanks are not trimmed.
    ASSERT_TRUE(Write(" B", nullptr, nullptr));
    EXPECT_EQ(FileBytes(), "[B]\r\nc=3\r\n[A]\r\n");
    ASSERT_TRUE(Write("B", nullptr, "ignored"));
    EXPECT_EQ(FileBytes(), "[A]\r\n");
}

TEST_F(ProfileContract, WritesThatCannotHappenFail) {
    EXPECT_FALSE(plat::WritePrivateProfileString("A", "a", "1", Path("no\\x.ini").c_str()));
    EXPECT_EQ(FileBytes(Path("no\\x.ini")), "<missing>");
    EXPECT_FALSE(Write(nullptr, "a", "1"));
    EXPECT_FALSE(Write(nullptr, nullptr, nullptr));
    EXPECT_EQ(FileBytes(), "<missing>");
}

TEST_F(ProfileContract, AReadOnlyFileRefusesEveryWrite) {
    WriteFile("[A]\na=1\n");
    ASSERT_TRUE(plat::SetFileAttributes(file_.c_str(), plat::kFileAttributeReadOnly));
    EXPECT_FALSE(Write("A", "a", "2"));
    EXPECT_FALSE(Write("A", "b", "2"));
    EXPECT_FALSE(Write("A", "a", "1"));  // even without a change
    EXPECT_FALSE(Write("A", nullptr, nullptr));
    EXPECT_EQ(FileBytes(), "[A]\na=1\n");
    EXPECT_EQ(Value("A", "a"), "1");
    ASSERT_TRUE(plat::SetFileAttributes(file_.c_str(), plat::kFileAttributeNormal));
    EXPECT_TRUE(Write("A", "a", "2"));
    EXPECT_EQ(FileBytes(), "[A]\r\na=2\r\n");
}

TEST_F(ProfileContract, DamagedFilesAreReadSafely) {
    // NUL bytes end a name or a value.
    WriteFile("[A]\na=x\0y\nb\0c=2\n[B\0C]\nd=4\n"s);
    EXPECT_EQ(Value("A", "a"), "x");
    EXPECT_EQ(Value("A", "b"), "2");
    EXPECT_EQ(Value("B", "d"), "4");
    ASSERT_TRUE(Write("A", "z", "1"));
    EXPECT_EQ(FileBytes(), "[A]\r\na=x\r\nb=2\r\nz=1\r\n[B]\r\nd=4\r\n");

    // A one-megabyte line, cut to the buffer.
    std::string huge = Path("huge.ini");
    WriteFile("[A]\r\nk=" + std::string(1 << 20, 'x'), huge);
    BufferRead cut = ReadInto("A", "k", "", 16, huge);
    EXPECT_EQ(cut.result, 15u);
    EXPECT_EQ(cut.buffer, std::string(15, 'x') + "\0"s);

    // No line end at all, and bytes that are no text.
    std::string noLineEnd = Path("noeol.ini");
    WriteFile("[A]", noLineEnd);
    EXPECT_EQ(Value("A", "k", "d", &noLineEnd), "d");
    EXPECT_EQ(ReadInto(nullptr, nullptr, "d", 8, noLineEnd).buffer, "A\0\0\xAA\xAA\xAA\xAA\xAA"s);
    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        junk += static_cast<char>(seed >> 16);
    }
    std::string binary = Path("junk.ini");
    WriteFile(junk, binary);
    BufferRead sections = ReadInto(nullptr, nullptr, "", 64, binary);
    EXPECT_LE(sections.result, 62u);
    EXPECT_EQ(sections.buffer[sections.result], '\0');
    BufferRead value = ReadInto("A", "k", "d", 8, binary);
    EXPECT_LE(value.result, 7u);
    EXPECT_EQ(value.buffer[value.result], '\0');
}

}  // namespace
