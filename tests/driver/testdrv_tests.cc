// Tests of the driver's own logic that needs no program to drive: reading scripts, naming
// controls, quoting command lines, text forms. The driving itself is proven end to end on
// fixture_app (tests/wine/e2e/driver_e2e.sh).
#include <gtest/gtest.h>
#include <windows.h>

#include "message_box.h"
#include "process_control.h"
#include "real_input.h"
#include "script_parser.h"
#include "script_runner.h"
#include "text_codec.h"
#include "window_find.h"

namespace testdrv {
namespace {

Command Parse(const std::wstring& line, const Variables& variables = {}) {
    Command command;
    std::wstring error;
    EXPECT_TRUE(ParseLine(line, variables, &command, &error)) << ToUtf8(error);
    return command;
}

TEST(ScriptParser, SplitsWordsAndKeepsQuotedBlanks) {
    const Command command = Parse(L"  type 1001  \"H\u00e9l\u00e8ne Dupr\u00e9\"\tappend=1");
    EXPECT_EQ(command.name, L"type");
    ASSERT_EQ(command.args.size(), 2u);
    EXPECT_EQ(command.args[0], L"1001");
    EXPECT_EQ(command.args[1], L"H\u00e9l\u00e8ne Dupr\u00e9");
    ASSERT_EQ(command.options.size(), 1u);
    EXPECT_EQ(*command.Option(L"append"), L"1");
}

TEST(ScriptParser, QuotesMayStartInsideAWordAndDoubleQuotesStandForOne) {
    const Command command = Parse(L"wait-window title=\"Essai \"\"du\"\" pilote\" class=#32770");
    EXPECT_TRUE(command.args.empty());
    EXPECT_EQ(*command.Option(L"title"), L"Essai \"du\" pilote");
    EXPECT_EQ(*command.Option(L"class"), L"#32770");
    EXPECT_EQ(*Parse(L"msgbox text=\"\"").Option(L"text"), L"");
}

TEST(ScriptParser, OnlyLowerCaseNamesBeforeAnUnquotedEqualsMakeOptions) {
    const Command command =
        Parse(L"start prog.exe /x=1 \"a=b\" Key=v text~=part style&=0x1 C:\\a=b");
    EXPECT_EQ(command.args,
              (std::vector<std::wstring>{L"prog.exe", L"/x=1", L"a=b", L"Key=v", L"C:\\a=b"}));
    EXPECT_EQ(*command.Option(L"text~"), L"part");
    EXPECT_EQ(*command.Option(L"style&"), L"0x1");
    EXPECT_EQ(command.Option(L"text"), nullptr);
}

TEST(ScriptParser, BackslashesStayAsWritten) {
    const Command command = Parse(L"start C:\\users\\nobody\\new.exe \"C:\\Program Files\\t\\\"");
    EXPECT_EQ(command.args[0], L"C:\\users\\nobody\\new.exe");
    EXPECT_EQ(command.args[1], L"C:\\Program Files\\t\\");
}

TEST(ScriptParser, VariablesComeFromTheCommandLineThenTheEnvironment) {
    SetEnvironmentVariableW(L"TESTDRV_FROM_ENV", L"env value");
    const Command command =
        Parse(L"start ${EXE} \"${TESTDRV_FROM_ENV}\" x${EXE}y", {{L"EXE", L"a b.exe"}});
    EXPECT_EQ(command.args, (std::vector<std::wstring>{L"a b.exe", L"env value", L"xa b.exey"}));

    Command ignored;
    std::wstring error;
    EXPECT_FALSE(ParseLine(L"start ${NOT_DEFINED_ANYWHERE}", {}, &ignored, &error));
    EXPECT_NE(error.find(L"NOT_DEFINED_ANYWHERE"), std::wstring::npos);
    EXPECT_FALSE(ParseLine(L"start ${EXE", {}, &ignored, &error));
}

TEST(ScriptParser, ScriptsSkipCommentsAndBlankLinesAndKeepLineNumbers) {
    std::vector<Command> commands;
    std::wstring error;
    ASSERT_TRUE(
        ParseScript(L"# intro\r\n\r\n  # indented\r\nsleep 5\r\n\nkill\n", {}, &commands, &error));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 4);
    EXPECT_EQ(commands[1].line, 6);

    EXPECT_FALSE(ParseScript(L"sleep 5\ntype 1 \"open", {}, &commands, &error));
    EXPECT_EQ(error, L"line 2: unclosed quote");
}

TEST(ScriptRunner, ChecksEveryLineBeforeRunning) {
    ScriptRunner runner([](const std::wstring&) {});
    const auto check = [&runner](const std::wstring& script) {
        std::vector<Command> commands;
        std::wstring error;
        EXPECT_TRUE(ParseScript(script, {}, &commands, &error));
        return runner.Check(commands, &error) ? std::wstring() : error;
    };
    EXPECT_EQ(check(L"start a.exe x y\nwait-window class=#32770 timeout=100\nclick @OK\n"
                    L"expect 1001 text~=a checked=1 style&=0x1\nmsgbox press=yes\nkey alt+q\n"
                    L"screenshot f.bmp screen delay=0\nwait-exit code=7"),
              L"");
    EXPECT_EQ(check(L"sleep 1\nclik 1004"), L"line 2: unknown command \"clik\"");
    EXPECT_NE(check(L"click").find(L"click takes 1 argument(s), got 0"), std::wstring::npos);
    EXPECT_EQ(check(L"click 1004 text=x"), L"line 1: click has no option \"text\"");
    EXPECT_EQ(check(L"expect 1001 colour=red"), L"line 1: expect has no option \"colour\"");
    EXPECT_EQ(check(L"expect 1001 timeout=5"),
              L"line 1: expect needs at least one property (text=, checked=, ...)");
    EXPECT_EQ(check(L"key ctrl+x"), L"line 1: unknown key \"ctrl+x\"");
    EXPECT_EQ(check(L"press tab shift+tab alt+p ctrl+x f12 down\npress-text \"a b\" process=any"),
              L"");
    EXPECT_EQ(check(L"press shift+"), L"line 1: unknown key \"shift+\"");
    EXPECT_EQ(check(L"press tab nope"), L"line 1: unknown key \"nope\"");
    EXPECT_EQ(check(L"msgbox press=maybe"), L"line 1: unknown button \"maybe\"");
    EXPECT_EQ(check(L"wait-window timeout=soon"), L"line 1: bad timeout \"soon\"");
    EXPECT_EQ(check(L"wait-window process=mine"), L"line 1: process= takes only \"any\"");
    EXPECT_NE(check(L"click Suivant").find(L"not a control"), std::wstring::npos);
}

TEST(RealInput, ChordsAndTextBecomeKeysWithTheirModifiers) {
    KeyChord chord;
    ASSERT_TRUE(ParseChord(L"shift+alt+p", &chord));
    EXPECT_EQ(chord.key, 'P');
    EXPECT_EQ(chord.modifiers, (std::vector<WORD>{VK_SHIFT, VK_MENU}));
    ASSERT_TRUE(ParseChord(L"down", &chord));
    EXPECT_EQ(chord.key, VK_DOWN);
    EXPECT_TRUE(chord.modifiers.empty());
    // A capital needs shift; the letter key is the same.
    const std::vector<KeyChord> chords = ChordsForText(L"aB");
    ASSERT_EQ(chords.size(), 2u);
    EXPECT_EQ(chords[0].key, 'A');
    EXPECT_TRUE(chords[0].modifiers.empty());
    EXPECT_EQ(chords[1].key, 'B');
    EXPECT_EQ(chords[1].modifiers, (std::vector<WORD>{VK_SHIFT}));
}

TEST(Selector, NamesTheWindowIdsLabelsAndNthOfAClass) {
    Selector selector;
    std::wstring error;
    ASSERT_TRUE(ParseSelector(L".", &selector, &error));
    EXPECT_EQ(selector.kind, Selector::Kind::Self);
    ASSERT_TRUE(ParseSelector(L"0x3E9", &selector, &error));
    EXPECT_EQ(selector.kind, Selector::Kind::Id);
    EXPECT_EQ(selector.id, 1001);
    ASSERT_TRUE(ParseSelector(L"-1", &selector, &error));
    EXPECT_EQ(selector.id, 0xFFFF);
    ASSERT_TRUE(ParseSelector(L"@&Suivant >", &selector, &error));
    EXPECT_EQ(selector.kind, Selector::Kind::Label);
    EXPECT_EQ(selector.text, L"Suivant >");
    ASSERT_TRUE(ParseSelector(L"Edit:2", &selector, &error));
    EXPECT_EQ(selector.kind, Selector::Kind::ClassIndex);
    EXPECT_EQ(selector.text, L"Edit");
    EXPECT_EQ(selector.index, 2);
    EXPECT_FALSE(ParseSelector(L"Edit:0", &selector, &error));
    EXPECT_FALSE(ParseSelector(L"70000", &selector, &error));
    EXPECT_FALSE(ParseSelector(L"Suivant", &selector, &error));
}

TEST(TextForms, LineBreaksTabsAndMnemonics) {
    EXPECT_EQ(OneLine(L"a\r\nb\nc\rd\te"), L"a\\nb\\nc\\rd\\te");
    EXPECT_EQ(WithoutMnemonics(L"&Pr\u00e9c\u00e9dent && &suite&"), L"Pr\u00e9c\u00e9dent & suite");
    EXPECT_EQ(FromCodePage("Pr\xe9"
                           "c\xe9"
                           "dent \x97 \x85",
                           1252),
              L"Pr\u00e9c\u00e9dent \u2014 \u2026");
    EXPECT_EQ(ToUtf8(FromUtf8("Num\xc3\xa9ris \xe2\x80\x94")), "Num\xc3\xa9ris \xe2\x80\x94");
}

TEST(MessageBoxButtons, NamesAndNumbers) {
    int id = 0;
    ASSERT_TRUE(ParseButton(L"IDYES", &id));
    EXPECT_EQ(id, IDYES);
    ASSERT_TRUE(ParseButton(L"no", &id));
    EXPECT_EQ(id, IDNO);
    ASSERT_TRUE(ParseButton(L"1064", &id));
    EXPECT_EQ(id, 1064);
    EXPECT_FALSE(ParseButton(L"IDMAYBE", &id));
    EXPECT_EQ(ButtonName(IDCANCEL), L"IDCANCEL");
    EXPECT_EQ(ButtonName(1064), L"1064");
}

// The started program must get back exactly the arguments the script gave.
TEST(ProcessControl, QuotedArgumentsSplitBackUnchanged) {
    const std::vector<std::wstring> arguments = {L"plain",
                                                 L"",
                                                 L"two words",
                                                 L"say \"hi\"",
                                                 L"C:\\dir\\",
                                                 L"C:\\my dir\\",
                                                 L"back\\\\slashes\\\\\"q",
                                                 L"/Ver"};
    std::wstring line = L"prog.exe";
    for (const std::wstring& argument : arguments) line += L" " + QuoteArgument(argument);
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
    for (size_t i = 0; i < arguments.size(); ++i) EXPECT_EQ(split[i + 1], arguments[i]);
    LocalFree(split);
}

TEST(ProcessControl, HostPathsBecomeWinePaths) {
    EXPECT_EQ(HostPathToWindows(L"C:\\windows\\x.exe"), L"C:\\windows\\x.exe");
    EXPECT_EQ(HostPathToWindows(L"relative\\x.exe"), L"relative\\x.exe");
    // Accents survive only when Wine reads Unix file names as UTF-8 (run-in-wine's LC_CTYPE).
    const std::wstring tail = L"\\tmp\\dossier \u00e9t\u00e9\\x.exe";
    const std::wstring converted = HostPathToWindows(L"/tmp/dossier \u00e9t\u00e9/x.exe");
    ASSERT_GT(converted.size(), tail.size());
    EXPECT_EQ(converted.substr(converted.size() - tail.size()), tail);
    EXPECT_EQ(converted[1], L':');
}

}  // namespace
}  // namespace testdrv
