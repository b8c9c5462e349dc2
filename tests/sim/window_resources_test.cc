// The resource scripts the simulated machine reads: the same dialogs, styles and strings as
// windres compiles from the same text.
#include <gtest/gtest.h>

#include "platform/sim/rc_script.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"
#include "tests/sim/window_test_ids.h"

namespace {

sim::RcScript Parse(const std::string& text, const std::vector<std::string>& headers = {}) {
    sim::RcScript script;
    std::string error;
    EXPECT_TRUE(sim::ParseResourceScript(text, headers, &script, &error)) << error;
    return script;
}

const sim::RcControl& ControlOf(const sim::RcScript& script, int dialog, size_t index) {
    return script.dialogs.at(dialog).controls.at(index);
}

TEST(ResourceScript, ControlStylesFollowWindres) {
    // Each keyword's default style, replaced by its base style once a style is written: the
    // values windres puts in the compiled template for the same lines.
    sim::RcScript script = Parse(R"(
#include <windows.h>
1 DIALOG 0, 0, 100, 100
BEGIN
    PUSHBUTTON "a", 1, 0, 0, 1, 1
    PUSHBUTTON "a", 2, 0, 0, 1, 1, WS_GROUP
    DEFPUSHBUTTON "a", 3, 0, 0, 1, 1
    AUTORADIOBUTTON "a", 4, 0, 0, 1, 1
    AUTORADIOBUTTON "a", 5, 0, 0, 1, 1, WS_GROUP
    LTEXT "a", 6, 0, 0, 1, 1
    LTEXT "", 7, 0, 0, 10, 10, NOT WS_VISIBLE
    CTEXT "a", 8, 0, 0, 1, 1, WS_BORDER
    EDITTEXT 9, 25, 202, 289, 14, ES_AUTOHSCROLL | NOT WS_VISIBLE
    GROUPBOX "g", 10, 0, 0, 1, 1
    ICON 128, 11, 10, 70, 20, 20
    CONTROL "x", 12, "Edit", NOT WS_VISIBLE | WS_TABSTOP, 0, 0, 1, 1, WS_EX_CLIENTEDGE
    PUSHBUTTON "a", 13, 0, 0, 1, 1, NOT WS_TABSTOP
    CHECKBOX "a", 14, 0, 0, 1, 1, WS_GROUP
END
)");
    const plat::Dword expected[] = {0x50010000, 0x50030000, 0x50010001, 0x50010009, 0x50020009,
                                    0x50020000, 0x40000000, 0x50800001, 0x40810080, 0x50000007,
                                    0x50000003, 0x40010000, 0x50000000, 0x50030002};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        EXPECT_EQ(ControlOf(script, 1, i).style, expected[i]) << "control " << i + 1;
    }
    EXPECT_EQ(ControlOf(script, 1, 11).exStyle, plat::kWsExClientEdge);
    EXPECT_EQ(ControlOf(script, 1, 11).className, "Edit");
    EXPECT_EQ(ControlOf(script, 1, 8).className, "EDIT");
    // windres keeps no size for an ICON control.
    EXPECT_EQ(ControlOf(script, 1, 10).cx, 0);
    EXPECT_EQ(ControlOf(script, 1, 10).iconId, 128);
    EXPECT_EQ(ControlOf(script, 1, 8).x, 25);
    EXPECT_EQ(ControlOf(script, 1, 8).cy, 14);
}

TEST(ResourceScript, DialogStyleCaptionAndFont) {
    sim::RcScript script = Parse(R"(
#include <windows.h>
1 DIALOG 0, 0, 100, 100
CAPTION "c"
BEGIN
END
2 DIALOG 1, 2, 354, 178
STYLE WS_POPUP | WS_CAPTION
FONT 8, "MS Sans Serif"
BEGIN
END
3 DIALOGEX 10, 20, 100, 50, 0
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
EXSTYLE WS_EX_TOOLWINDOW
FONT 8, "MS Sans Serif", 700, 1, 0x1
BEGIN
    LTEXT "a", -1, 0, 0, 1, 1
END
4 DIALOG 0, 0, 10, 10
BEGIN
    LTEXT "a", -1, 0, 0, 1, 1
END
)");
    // No STYLE: popup, border, system menu; CAPTION adds the caption, FONT adds DS_SETFONT.
    EXPECT_EQ(script.dialogs.at(1).style, 0x80C80000u);
    EXPECT_EQ(script.dialogs.at(2).style, 0x80C00040u);
    EXPECT_EQ(script.dialogs.at(2).fontFace, "MS Sans Serif");
    EXPECT_EQ(script.dialogs.at(2).pointSize, 8);
    EXPECT_EQ(script.dialogs.at(2).x, 1);
    EXPECT_EQ(script.dialogs.at(2).cy, 178);
    const sim::RcDialog& ex = script.dialogs.at(3);
    EXPECT_TRUE(ex.extended);
    EXPECT_EQ(ex.exStyle, plat::kWsExToolWindow);
    EXPECT_EQ(ex.fontWeight, 700);
    EXPECT_TRUE(ex.fontItalic);
    // A control id of -1 is 16 bits in a DIALOG, 32 in a DIALOGEX.
    EXPECT_EQ(ex.controls.at(0).id, -1);
    EXPECT_EQ(script.dialogs.at(4).controls.at(0).id, 65535);
}

TEST(ResourceScript, TextsAreReadAsUtf8AfterTheCodePagePragmaOnly) {
    // "Précédent" written in UTF-8 bytes; before the pragma, bytes are taken as they are
    // (Windows-1252), as windres does.
    std::string text =
        "1 DIALOG 0, 0, 1, 1\nCAPTION \"Pr\xC3\xA9\"\nBEGIN\nEND\n"
        "#pragma code_page(65001)\n"
        "STRINGTABLE\nBEGIN\n 5 \"Pr\xC3\xA9\x63\xC3\xA9\x64\x65nt \xE2\x82\xAC \xE2\x98\x83\"\n"
        " 6, \"a \"\"b\"\"\\tc\"\nEND\n";
    sim::RcScript script = Parse(text);
    EXPECT_EQ(script.dialogs.at(1).caption, "Pr\xC3\xA9");
    EXPECT_EQ(script.strings.at(5), "Pr\xE9\x63\xE9\x64\x65nt \x80 ?");
    EXPECT_EQ(script.strings.at(6), "a \"b\"\tc");
}

TEST(ResourceScript, NamesComeFromTheScriptAndItsHeaders) {
    sim::RcScript script = Parse(R"(
#include "ids.h"
#define IDC_LOCAL (IDC_BASE + 2)
IDD_MAIN DIALOG 0, 0, 10, 10
BEGIN
    PUSHBUTTON "a", IDC_LOCAL, 0, 0, 1, 1
END
NAMED_ICON ICON "x.ico"
7 ICON "seven.ico"
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,0,0,0
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "CompanyName", "Telvora"
    END
END
)",
                                 {"#define IDD_MAIN 42 // main\n#define IDC_BASE 0x100\n"});
    ASSERT_EQ(script.dialogs.count(42), 1u);
    EXPECT_EQ(ControlOf(script, 42, 0).id, 0x102);
    EXPECT_EQ(script.icons.size(), 1u);
    EXPECT_EQ(script.icons.at(7), "seven.ico");
}

TEST(ResourceScript, ErrorsNameTheLine) {
    sim::RcScript script;
    std::string error;
    EXPECT_FALSE(sim::ParseResourceScript(
        "1 DIALOG 0, 0, 1, 1\nBEGIN\n  PUSHBUTTON \"a\", IDC_NOWHERE, 0, 0, 1, 1\nEND\n", {},
        &script, &error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("IDC_NOWHERE"), std::string::npos) << error;
    // Without <windows.h>, windres does not know the window styles, and neither does the sim.
    EXPECT_FALSE(sim::ParseResourceScript("1 DIALOG 0, 0, 1, 1\nSTYLE WS_POPUP\nBEGIN\nEND\n", {},
                                          &script, &error));
    EXPECT_NE(error.find("WS_POPUP"), std::string::npos) << error;
    EXPECT_TRUE(sim::ParseResourceScript(
        "#include <windows.h>\n1 DIALOG 0, 0, 1, 1\nSTYLE WS_POPUP\nBEGIN\nEND\n", {}, &script,
        &error));
    EXPECT_FALSE(sim::ParseResourceScript("1 DIALOG 0, 0, 1, 1\nBEGIN\n", {}, &script, &error));
    EXPECT_FALSE(
        sim::ParseResourceScript("STRINGTABLE\nBEGIN\n 1 \"open\nEND\n", {}, &script, &error));
    EXPECT_FALSE(sim::ParseResourceScript(
        "1 DIALOG 0, 0, 1, 1\nBEGIN\n  SLIDER 1, 0, 0, 1, 1\nEND\n", {}, &script, &error));
}

TEST(ResourceScript, NumbersThatOverflowWrapAround) {
    // A resource compiler works in fixed-width unsigned numbers: whatever overflows wraps
    // around, and a resource keeps the low 32 bits (16 for a DIALOG control id).
    sim::RcScript script = Parse(R"(
#define TOP 0x7FFFFFFFFFFFFFFF
#define PAST (TOP + 2)
1 DIALOGEX 0, 0, 10, 10
BEGIN
    LTEXT "sum", TOP + 3, 0, 0, 1, 1
    LTEXT "define", PAST, 0, 0, 1, 1
    LTEXT "negation", -(0 - TOP - 1), 0, 0, 1, 1
    LTEXT "difference", 0 - TOP - 3, 0, 0, 1, 1
    LTEXT "literal", 18446744073709551621, 0, 0, 1, 1
    LTEXT "32 bits", 4294967296 + 7, 0, 0, 1, 1
END
2 DIALOG 0, 0, 10, 10
BEGIN
    LTEXT "16 bits", TOP + 0x10003, 0, 0, 1, 1
END
)");
    const int expected[] = {2, 1, 0, -2, 5, 7};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        EXPECT_EQ(ControlOf(script, 1, i).id, expected[i]) << ControlOf(script, 1, i).text;
    }
    EXPECT_EQ(ControlOf(script, 2, 0).id, 2);
    // A literal that is no number at all is still an error.
    sim::RcScript refused;
    std::string error;
    EXPECT_FALSE(sim::ParseResourceScript(
        "1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"a\", 0x, 0, 0, 1, 1\nEND\n", {}, &refused, &error));
    EXPECT_NE(error.find("bad number"), std::string::npos) << error;
    EXPECT_FALSE(sim::ParseResourceScript(
        "1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"a\", 09, 0, 0, 1, 1\nEND\n", {}, &refused, &error));
}

class EmbeddedResources : public WindowSystemTest {};

TEST_F(EmbeddedResources, TheBuildRegistersTheTestScript) {
    // tests/sim/window_test.rc, embedded by telvora_embed_rc with its header.
    EXPECT_NE(sim::FindDialogResource(IDD_WIZARD), nullptr);
    EXPECT_TRUE(sim::HasIconResource(IDI_PROGRAM));
    EXPECT_TRUE(sim::ResourceScriptErrors().empty());
    char buffer[256];
    EXPECT_EQ(plat::LoadString(IDS_CAPTION, buffer, sizeof buffer), 47);
    EXPECT_STREQ(buffer, "Fermeture de l'assistant de connexion \xE0 Telvora");
    // Cut to the buffer, terminated.
    EXPECT_EQ(plat::LoadString(IDS_QUESTION, buffer, 6), 5);
    EXPECT_STREQ(buffer, "Etes-");
    EXPECT_EQ(plat::LoadString(999, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

}  // namespace
