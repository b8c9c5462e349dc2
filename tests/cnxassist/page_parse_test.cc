// The page description language: what parses, what is refused, and where the layout puts the
// items on the logical canvas.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cnxassist/page.h"
#include "platform/sim/ui_driver.h"
#include "tests/cnxassist/wizard_machine.h"

namespace {

// A canvas large enough for every item of these tests, around `element`.
std::string Canvas(const std::string& element, const std::string& size = "1000,1000") {
    return "fenetre(0," + size + ")" + element;
}

std::string CTexte(int number, int width, int height, const std::string& text = "t") {
    return "(ctexte," + std::to_string(number) + "," + std::to_string(width) + "," +
           std::to_string(height) + ",\"" + text + "\")";
}

std::string Join(const std::string& a, const std::string& op, const std::string& b) {
    return "(" + a + " " + op + " " + b + ")";
}

bool Parses(const std::string& text) {
    CPage page;
    return page.Parse(text.c_str());
}

struct Placed {
    std::string keyword;
    std::int32_t number;
    std::int32_t x, y, width, height;
    bool operator==(const Placed& o) const {
        return keyword == o.keyword && number == o.number && x == o.x && y == o.y &&
               width == o.width && height == o.height;
    }
};
std::ostream& operator<<(std::ostream& out, const Placed& p) {
    return out << p.keyword << " " << p.number << " at (" << p.x << ", " << p.y << ") " << p.width
               << " x " << p.height;
}

std::vector<Placed> Items(const CPage& page) {
    std::vector<Placed> items;
    for (std::size_t i = 0; i < page.Layout()->Count(); ++i) {
        const CPageItem& item = *page.Layout()->Item(i);
        items.push_back(
            Placed{item.Keyword(), item.Number(), item.X(), item.Y(), item.Width(), item.Height()});
    }
    return items;
}

class PageParse : public ::testing::Test {
  protected:
    void SetUp() override { sim::ui::Reset(); }

    // Parses a description that must be valid.
    CPage& Valid(const std::string& text) {
        page_ = std::make_unique<CPage>();
        EXPECT_TRUE(page_->Parse(text.c_str())) << text;
        return *page_;
    }

    std::unique_ptr<CPage> page_;
};

TEST_F(PageParse, CanvasMustHoldTheLayout) {
    CPage& page = Valid("fenetre(0,100,50)(ctexte,0,100,50,\"Bonjour\")");
    EXPECT_TRUE(page.IsValid());
    EXPECT_EQ(page.LogicalWidth(), 100);
    EXPECT_EQ(page.LogicalHeight(), 50);
    EXPECT_EQ(page.Layout()->Width(), 100);
    EXPECT_EQ(page.Layout()->Height(), 50);
    EXPECT_FALSE(Parses("fenetre(0,100,50)(ctexte,0,101,50,\"Bonjour\")"));
    EXPECT_FALSE(Parses("fenetre(0,100,50)(ctexte,0,100,51,\"Bonjour\")"));
    // N0 is required but changes nothing.
    EXPECT_EQ(Valid("fenetre(77,100,50)(ctexte,0,1,1,\"x\")").N0(), 77);
    EXPECT_FALSE(Parses("fenetre(100,50)(ctexte,0,1,1,\"x\")"));
}

TEST_F(PageParse, BlanksOnlyWhereTheLanguageAllowsThem) {
    EXPECT_TRUE(Parses(" \t\r\nfenetre( 0 ,\r\n100 ,\t50 )\r\n( ctexte , 0 , 10 , 10 , \"a\" )"));
    EXPECT_TRUE(Parses(Canvas("(\n(ctexte,1,5,5,\"a\")\n sur \n(ctexte,2,5,5,\"b\")\n)")));
    EXPECT_FALSE(Parses("fenetre (0,100,50)(ctexte,0,10,10,\"a\")"));
    // Keywords are lower case.
    EXPECT_FALSE(Parses("Fenetre(0,100,50)(ctexte,0,10,10,\"a\")"));
    EXPECT_FALSE(Parses(Canvas("(Ctexte,0,10,10,\"a\")")));
}

TEST_F(PageParse, WhatFollowsTheElementOrAnItemInItsGroupIsIgnored) {
    EXPECT_TRUE(Parses(Canvas(CTexte(1, 10, 10) + " (garbage")));
    EXPECT_TRUE(Parses(Canvas(Join(CTexte(1, 10, 10), "sur", CTexte(2, 10, 10)) + "))) x")));
    // The "(" in the text opens a count that the item's own ")" leaves at one: the rest of the
    // group, up to the ")" that closes it, is ignored.
    CPage& page = Valid(Canvas(Join("(ctexte,1,10,10,\"a(\") ignored)", "sur", CTexte(2, 10, 10))));
    ASSERT_EQ(page.Layout()->Count(), 2u);
    EXPECT_EQ(page.Layout()->Item(0)->Text(), "a(");
}

TEST_F(PageParse, EveryKindReadsItsFields) {
    CPage& page = Valid(Canvas(
        "(((radio , 1 , 10 , 20 , \"Oui\" ) sur (saisie,2,30,40,\"abc\"))"
        " sur (((icone,3,32,32,\"question\") a_gauche_de (bouton,4,50,60,\"OK\",3))"
        " sur ((ttexte,5,70,80,\"Titre\",\"Arial\",12,700,1,0) sur (ctexte,6,90,100,\"c\"))))"));
    EXPECT_EQ(Items(page), (std::vector<Placed>{{"radio", 1, 0, 0, 10, 20},
                                                {"saisie", 2, 0, 20, 30, 40},
                                                {"icone", 3, 0, 60, 32, 32},
                                                {"bouton", 4, 32, 60, 50, 60},
                                                {"ttexte", 5, 0, 120, 70, 80},
                                                {"ctexte", 6, 0, 200, 90, 100}}));
    EXPECT_EQ(page.Layout()->Item(0)->Text(), "Oui");
    EXPECT_EQ(page.Layout()->Item(1)->Text(), "abc");
    EXPECT_EQ(static_cast<CPageBouton*>(page.Layout()->Item(3))->Align(), 3);
    EXPECT_EQ(static_cast<CPageIcone*>(page.Layout()->Item(2))->Icon(),
              plat::LoadSystemIcon(plat::kIdiQuestion));
}

TEST_F(PageParse, ButtonAlignmentFollowsItsCommaAndPrecedesTheParenthesisAtOnce) {
    EXPECT_TRUE(Parses(Canvas("(bouton,1,10,10,\"OK\" ,2)")));
    EXPECT_FALSE(Parses(Canvas("(bouton,1,10,10,\"OK\", 2)")));
    EXPECT_FALSE(Parses(Canvas("(bouton,1,10,10,\"OK\",2 )")));
    EXPECT_FALSE(Parses(Canvas("(bouton,1,10,10,\"OK\")")));
    EXPECT_FALSE(Parses(Canvas("(bouton,1,10,10,\"OK\",)")));
}

TEST_F(PageParse, TextInItsOwnFont) {
    const std::string head = "(ttexte,1,10,10,\"T\"";
    EXPECT_TRUE(Parses(Canvas(head + " ,\"Arial\" ,12 ,400 ,0 ,1 )")));
    EXPECT_FALSE(Parses(Canvas(head + ", \"Arial\",12,400,0,0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"Arial\", 12,400,0,0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"Arial\",12,400,0, 0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"Arial\",12,400,0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",Arial,12,400,0,0)")));
    // Italic and underline are 0 or 1.
    EXPECT_TRUE(Parses(Canvas(head + ",\"Arial\",12,400,1,1)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"Arial\",12,400,2,0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"Arial\",12,400,0,2)")));
    // A face name holds at most 31 characters.
    EXPECT_TRUE(Parses(Canvas(head + ",\"" + std::string(31, 'f') + "\",12,400,0,0)")));
    EXPECT_FALSE(Parses(Canvas(head + ",\"" + std::string(32, 'f') + "\",12,400,0,0)")));
}

TEST_F(PageParse, IconNamesAreExactAndLowerCase) {
    const std::pair<const char*, int> names[] = {{"application", plat::kIdiApplication},
                                                 {"hand", plat::kIdiHand},
                                                 {"question", plat::kIdiQuestion},
                                                 {"exclamation", plat::kIdiExclamation},
                                                 {"asterisk", plat::kIdiAsterisk}};
    for (const auto& [name, id] : names) {
        CPage& page = Valid(Canvas("(icone,0,32,32,\"" + std::string(name) + "\")"));
        EXPECT_EQ(static_cast<CPageIcone*>(page.Layout()->Item(0))->Icon(),
                  plat::LoadSystemIcon(id))
            << name;
    }
    EXPECT_FALSE(Parses(Canvas("(icone,0,32,32,\"Question\")")));
    EXPECT_FALSE(Parses(Canvas("(icone,0,32,32,\"question \")")));
    EXPECT_FALSE(Parses(Canvas("(icone,0,32,32,\"information\")")));
}

TEST_F(PageParse, WorkedExampleOfTheLayout) {
    CPage& page = Valid(
        "fenetre(0,300,100)((ttexte,0,300,40,\"Bienvenue\",\"Arial\",14,700,0,0) sur "
        "((radio,1,150,30,\"Oui\") a_gauche_de (radio,2,150,30,\"Non\")))");
    EXPECT_EQ(Items(page), (std::vector<Placed>{{"ttexte", 0, 0, 0, 300, 40},
                                                {"radio", 1, 0, 40, 150, 30},
                                                {"radio", 2, 150, 40, 150, 30}}));
    EXPECT_EQ(page.Layout()->Width(), 300);
    EXPECT_EQ(page.Layout()->Height(), 70);
}

TEST_F(PageParse, EachOperatorPlacesItsGroupsAndTakesTheSecondGroupsCrossExtent) {
    const std::string wide = CTexte(1, 50, 10);
    const std::string tall = CTexte(2, 20, 30);
    struct Case {
        const char* op;
        std::vector<Placed> items;
        std::int32_t width, height;
    };
    const Case cases[] = {
        // The width is the lower item's, though the upper one is wider.
        {"sur", {{"ctexte", 1, 0, 0, 50, 10}, {"ctexte", 2, 0, 10, 20, 30}}, 20, 40},
        {"sous", {{"ctexte", 2, 0, 0, 20, 30}, {"ctexte", 1, 0, 30, 50, 10}}, 50, 40},
        {"a_gauche_de", {{"ctexte", 1, 0, 0, 50, 10}, {"ctexte", 2, 50, 0, 20, 30}}, 70, 30},
        // The group written second is on the left and comes first.
        {"a_droite_de", {{"ctexte", 2, 0, 0, 20, 30}, {"ctexte", 1, 20, 0, 50, 10}}, 70, 10},
    };
    for (const Case& c : cases) {
        CPage& page = Valid(Canvas(Join(wide, c.op, tall)));
        EXPECT_EQ(Items(page), c.items) << c.op;
        EXPECT_EQ(page.Layout()->Width(), c.width) << c.op;
        EXPECT_EQ(page.Layout()->Height(), c.height) << c.op;
    }
    // Only the cross extent of the second group counts against the canvas.
    EXPECT_TRUE(Parses(Canvas(Join(CTexte(1, 500, 10), "sur", CTexte(2, 20, 30)), "20,40")));
    EXPECT_FALSE(Parses(Canvas(Join(CTexte(1, 5, 10), "sur", CTexte(2, 21, 30)), "20,40")));
}

TEST_F(PageParse, NestedCompositesOffsetTheirInnerItems) {
    // Ten items left to right, each 10 wide, built as a right-leaning chain of composites.
    std::string element = CTexte(10, 10, 5);
    for (int n = 9; n >= 1; --n) element = Join(CTexte(n, 10, 5), "a_gauche_de", element);
    CPage& page = Valid(Canvas("(" + CTexte(0, 10, 7) + " sur " + element + ")", "100,12"));
    ASSERT_EQ(page.Layout()->Count(), 11u);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(page.Layout()->Item(n)->X(), (n - 1) * 10);
        EXPECT_EQ(page.Layout()->Item(n)->Y(), 7);
    }
}

TEST_F(PageParse, OperatorsAreMatchedAsWordsAtTheStart) {
    const std::string a = CTexte(1, 5, 5);
    const std::string b = CTexte(2, 5, 5);
    EXPECT_TRUE(Parses(Canvas("(" + a + "sur" + b + ")")));
    EXPECT_FALSE(Parses(Canvas(Join(a, "dessus", b))));
    EXPECT_FALSE(Parses(Canvas(Join(a, "Sur", b))));
    EXPECT_FALSE(Parses(Canvas(Join(a, "surx", b))));
    EXPECT_FALSE(Parses(Canvas(Join(a, "a_gauche", b))));
}

TEST_F(PageParse, CompositesMustBeCompleteAndBalanced) {
    const std::string a = CTexte(1, 5, 5);
    const std::string b = CTexte(2, 5, 5);
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur " + b)));
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur " + b + " ")));
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur ")));
    EXPECT_FALSE(Parses(Canvas("(" + a)));
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur " + b + " x")));
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur)")));
    EXPECT_FALSE(Parses(Canvas("(" + a + " sur ())")));
    EXPECT_FALSE(Parses(Canvas("()")));
    // A quoted parenthesis counts like any other.
    EXPECT_FALSE(Parses(Canvas(Join(CTexte(1, 5, 5, "a(b"), "sur", b))));
    EXPECT_FALSE(Parses(Canvas(Join(CTexte(1, 5, 5, "a)b"), "sur", b))));
    EXPECT_TRUE(Parses(Canvas(Join(CTexte(1, 5, 5, "(a)"), "sur", b))));
    // Each group is read as a text of its own: the first group ends inside its quote, which
    // cannot run on into the operator and the second group.
    EXPECT_FALSE(Parses(Canvas("((ctexte,0,1,1,\"x) sur (ctexte,0,1,1,\") )\")")));
}

TEST_F(PageParse, NumbersAreUnsignedDigitsThatFit32Bits) {
    EXPECT_TRUE(Parses(Canvas("(ctexte,007,10,10,\"a\")")));
    EXPECT_TRUE(Parses(Canvas("(radio,2147483647,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,2147483648,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,99999999999999999999,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,-1,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,+1,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,,10,10,\"a\")")));
    EXPECT_FALSE(Parses(Canvas("(radio,1,0x10,10,\"a\")")));
    EXPECT_TRUE(Parses("fenetre(0,2147483647,2147483647)(ctexte,0,2147483647,2147483647,\"a\")"));
    EXPECT_FALSE(Parses("fenetre(0,-5,50)(ctexte,0,1,1,\"a\")"));
    EXPECT_FALSE(Parses("fenetre(0,4294967296,50)(ctexte,0,1,1,\"a\")"));
}

TEST_F(PageParse, PositionsAndSizesBeyond32BitsAreRefused) {
    const std::string huge = CTexte(1, 2147483647, 1);
    EXPECT_FALSE(Parses(Canvas(Join(huge, "a_gauche_de", huge), "2147483647,10")));
    // The sum is across the axis of an outer "sur", so only the position betrays it.
    const std::string row = Join(huge, "a_gauche_de", CTexte(2, 1, 1));
    EXPECT_FALSE(Parses(Canvas(Join(Join(huge, "a_gauche_de", row), "sur", CTexte(3, 1, 1)))));
    const std::string tall = CTexte(1, 1, 2147483647);
    EXPECT_FALSE(Parses(Canvas(Join(tall, "sous", tall), "10,2147483647")));
}

TEST_F(PageParse, QuotedTextsHoldUpTo2047Characters) {
    const std::string canvas = "fenetre(0,10,10)(saisie,1,10,10,\"";
    CPage& page = Valid(canvas + std::string(2047, 'x') + "\")");
    EXPECT_EQ(page.Layout()->Item(0)->Text().size(), 2047u);
    EXPECT_FALSE(Parses(canvas + std::string(2048, 'x') + "\")"));
    // Texts may span lines; an empty text parses only as an entry field's first content.
    EXPECT_EQ(Valid(canvas + "ligne 1\r\nligne 2\")").Layout()->Item(0)->Text(),
              "ligne 1\r\nligne 2");
    EXPECT_EQ(Valid(canvas + "\")").Layout()->Item(0)->Text(), "");
    for (const char* kind : {"ctexte", "radio", "icone"}) {
        EXPECT_FALSE(Parses("fenetre(0,10,10)(" + std::string(kind) + ",1,10,10,\"\")")) << kind;
    }
    EXPECT_FALSE(Parses("fenetre(0,10,10)(bouton,1,10,10,\"\",1)"));
    EXPECT_FALSE(Parses("fenetre(0,10,10)(ttexte,1,10,10,\"T\",\"\",12,400,0,0)"));
    EXPECT_FALSE(Parses(canvas + "sans fin)"));
}

TEST_F(PageParse, EveryCutOfAValidDescriptionIsRefused) {
    const std::string text =
        " fenetre( 1 , 500 , 500 ) ( ( ( radio , 1 , 10 , 10 , \"a\" ) sous ( bouton , 2 , 10 , "
        "10 , \"b\" ,1) ) a_droite_de ( ( ttexte , 3 , 10 , 10 , \"c\" ,\"Arial\" ,9 ,400 ,1 ,0 "
        ") a_gauche_de ( ( icone , 4 , 10 , 10 , \"hand\" ) sur ( saisie , 5 , 10 , 10 , \"e\" "
        ") ) ) )";
    ASSERT_TRUE(Parses(text));
    // Up to the last parenthesis, every cut text ends too early. Each cut is a text of its own
    // so that a read past its end would be caught under the address sanitizer.
    for (std::size_t length = 0; length < text.size() - 1; ++length) {
        std::unique_ptr<char[]> cut(new char[length + 1]);
        text.copy(cut.get(), length);
        cut[length] = '\0';
        CPage page;
        EXPECT_FALSE(page.Parse(cut.get())) << length;
    }
}

TEST_F(PageParse, ARefusedDescriptionLeavesNothing) {
    CPage page;
    ASSERT_TRUE(page.Parse(Canvas(CTexte(1, 5, 5)).c_str()));
    EXPECT_FALSE(page.Parse(Canvas(CTexte(1, 5, 5), "4,4").c_str()));
    EXPECT_FALSE(page.IsValid());
    EXPECT_EQ(page.Layout(), nullptr);
    EXPECT_EQ(page.LogicalWidth(), 0);
    EXPECT_FALSE(page.Parse(""));
    EXPECT_FALSE(page.Parse(" \r\n"));
    EXPECT_FALSE(page.Parse(nullptr));
    EXPECT_FALSE(page.Parse("fenetre(0,10,10)"));
    EXPECT_FALSE(page.Parse("fenetre(0,10,10) "));
}

class PageFile : public PageParse {
  protected:
    void SetUp() override {
        PageParse::SetUp();
        cnxtest::FreshWizardMachine();
    }
};

TEST_F(PageFile, ADescriptionFileHoldsAtMost4095Characters) {
    const std::string head = "fenetre(0,10,10)(ctexte,0,10,10,\"";
    auto text = [&](std::size_t length) {
        std::string filler(length - head.size() - 2, 'x');
        return head + filler + "\")";
    };
    // 2047 characters of text and blanks after the item reach the limits together.
    auto padded = [&](std::size_t length) {
        std::string base = head + std::string(2047, 'x') + "\")";
        return base + std::string(length - base.size(), ' ');
    };
    cnxtest::WriteKitFile("juste.txt", padded(4095));
    cnxtest::WriteKitFile("long.txt", padded(4096));
    EXPECT_NE(LoadPage("C:\\KIT\\juste.txt"), nullptr);
    EXPECT_EQ(LoadPage("C:\\KIT\\long.txt"), nullptr);
    // Line ends count as one character each, as a text-mode read gives them.
    std::string lines = text(2000);
    while (lines.size() < 4095) lines += "\n";
    std::string crlf;
    for (char c : lines) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cnxtest::WriteKitFile("lignes.txt", crlf);
    EXPECT_NE(LoadPage("C:\\KIT\\lignes.txt"), nullptr);
    EXPECT_EQ(LoadPage("C:\\KIT\\absent.txt"), nullptr);
    cnxtest::WriteKitFile("faux.txt", "fenetre (0,10,10)(ctexte,0,10,10,\"a\")");
    EXPECT_EQ(LoadPage("C:\\KIT\\faux.txt"), nullptr);
}

}  // namespace
