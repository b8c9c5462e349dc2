// kitcheck's rules on page descriptions: where the wizard's parser stops, layouts larger than
// their canvas, and the page that a step names.
#include <gtest/gtest.h>

#include "cnxassist/page.h"
#include "tests/kitcheck/kit_writer.h"
#include "tools/kitcheck/page_check.h"

namespace kitcheck_test {
namespace {

class PageRules : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        m_files = GoodWizardFiles();
    }
    void Run() {
        Write(m_files);
        Check();
    }
    std::map<std::string, std::string> m_files;
};

// Where the parser stops, for descriptions broken in different places: the header, an item's
// field, an operator, a group placed out of written order ("a_droite_de" places its second
// group first, so the fault in the first group is met last), and values the item's kind refuses
// once it is read whole (at the item's closing parenthesis).
TEST(PageParsePosition, PointsAtTheFault) {
    struct Case {
        const char* text;
        const char* at;  // the text where the finding must point...
        int after = 0;   // ...or this many characters after it
    } cases[] = {
        {"fenetre (0,10,10)(ctexte,1,10,10,\"a\")", "fenetre"},
        {"fenetre(0,100,50)\n((radio,1,50,20,\"a\") sus (radio,2,50,20,\"b\"))", "sus"},
        {"fenetre(0,100,50)\n((radio,1,50,20,\"a\")\n a_gauche_de\n (radio,2,50 20,\"b\"))",
         "20,\"b"},
        {"fenetre(0,100,50)\n((ctexte,1,50,20 \"a\")\n a_droite_de\n (radio,2,50,20,\"b\"))",
         "\"a\")"},
        {"fenetre(0,100,50)(ttexte,1,50,20,\"a\",\"Arial\",10,400,2,0)", "2,0)", 3},
        {"fenetre(0,100,50)(icone,1,50,20,\"Hand\")", "\")", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        CPage page;
        PageParseReport report;
        EXPECT_FALSE(page.Parse(text.c_str(), &report));
        EXPECT_FALSE(report.tooLarge);
        EXPECT_EQ(report.failedAt, text.find(c.at) + c.after);
        // The report changes nothing of the verdict.
        CPage plain;
        EXPECT_FALSE(plain.Parse(text.c_str()));
    }
    CPage page;
    PageParseReport report;
    EXPECT_TRUE(page.Parse("fenetre(0,100,50)(ctexte,1,100,50,\"a\")", &report));
}

TEST(PageParsePosition, LineAndColumn) {
    int line = 0;
    int column = 0;
    kitcheck::LineAndColumn("ab\ncde\nf", 5, &line, &column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 3);
}

TEST_F(PageRules, DescriptionThatDoesNotParse) {
    m_files["ident.txt"] = Replace(m_files["ident.txt"], " sur\n", " sure\n");
    m_files["ident.txt"] = Replace(m_files["ident.txt"], " sure\n", " dessus\n");
    Run();
    EXPECT_EQ(Only("does not parse"),
              "ident.txt:3:2: error: the page description does not "
              "parse near 'dessus': the wizard refuses the page");
}

TEST_F(PageRules, LayoutLargerThanItsCanvas) {
    m_files["choix.txt"] =
        Replace(m_files["choix.txt"], "fenetre(0,300,100)", "fenetre(0,299,100)");
    Run();
    EXPECT_EQ(Only("canvas"),
              "choix.txt:1:1: error: the layout measures 300 x 30, larger than "
              "its canvas of 299 x 100: the wizard refuses the page");
}

// The step file's page area is 390 x 280 pixels for this canvas of 300 x 100: a text item 5
// units high gets 14 pixels, one 6 units high 16. The page's texts are in the System font,
// 16 pixels a line at 96 dpi: one line fits the second and is cut in the first.
TEST_F(PageRules, TextThatDoesNotFitItsItem) {
    m_files["choix.txt"] =
        "fenetre(0,300,100)\n"
        "((ctexte,8,300,5,\"Bienvenue\") sur\n"
        "((ctexte,9,300,6,\"Bonjour\") sur\n"
        "((radio,1,150,30,\"Nouvel abonnement\") a_gauche_de (radio,2,150,30,\"Deja abonne\"))))\n";
    Run();
    EXPECT_EQ(Only("does not fit"),
              "choix.txt:2:18: warning: the text of ctexte item 8 does not fit its item: 16 "
              "pixels high (1 line) in 390 x 14 pixels on the page area; the wizard cuts the "
              "rest");
}

TEST_F(PageRules, PageMissingOrTooLong) {
    Remove("ident.txt");
    m_files.erase("ident.txt");
    m_files["choix.txt"] += std::string(4096, ' ');
    Run();
    int identLine = LineOf(m_files["cfg.ini"], "Description=ident");
    EXPECT_TRUE(
        Has("cfg.ini:" + std::to_string(identLine) + ": error: page 'ident.txt' is not in the kit"))
        << All();
    EXPECT_TRUE(
        Has("error: page 'choix.txt' holds more than 4095 characters: the wizard stops "
            "at step BoutonRadio1"))
        << All();
}

}  // namespace
}  // namespace kitcheck_test
