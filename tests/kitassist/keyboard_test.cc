// The kit wizard with the keyboard alone, on every page of the demonstration kit: where the
// focus is when the page shows, and the round that Tab and Shift+Tab make of its controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kitassist/kit_fixture.h"
#include "tests/support/demo_kit_file.h"

namespace {

using kittest::KitTest;

class KeyboardTest : public KitTest {
  protected:
    int FocusId() const {
        plat::Hwnd focus = sim::ui::Focus();
        return focus != 0 && plat::GetParent(focus) == Dialog() ? plat::GetDlgCtrlID(focus) : 0;
    }
    // The controls that Tab (or Shift+Tab) reaches one after the other from the focus, until it
    // is back where it began (at most eight).
    std::vector<int> Round(bool backwards) {
        const int start = FocusId();
        std::vector<int> reached;
        for (int n = 0; n < 8; ++n) {
            sim::ui::PressKey(Dialog(), plat::kVkTab, backwards);
            sim::ui::PumpMessages();
            reached.push_back(FocusId());
            if (reached.back() == start) break;
        }
        return reached;
    }
    void ShowPage(const char* section) {
        dialog_.m_section = section;
        dialog_.RefreshPage();
    }
};

struct PageRound {
    const char* section;
    int firstFocus;
    std::vector<int> forward;
};

TEST_F(KeyboardTest, EveryPageOfTheDemoKitHasAFirstFocusAndARoundInTheButtonsOrder) {
    WriteIni(testsupport::DemoKitFile("cd/Pakonel.ini"));
    // Left to right along the row of buttons, the entry field above them first.
    const std::vector<PageRound> pages = {
        {"NOIE", ID_SUIVANT, {plat::kIdOk, ID_SUIVANT}},
        {"IE3", ID_SUIVANT, {plat::kIdOk, ID_SUIVANT}},
        {"IE45", ID_SUIVANT, {plat::kIdOk, ID_SUIVANT}},
        {"Repertoire", ID_SUIVANT, {plat::kIdOk, ID_SAISIE, ID_INFO1, ID_SUIVANT}},
        {"Lancement", ID_SUIVANT, {plat::kIdOk, ID_INFO1, ID_SUIVANT}},
    };
    Run({[&] {
        for (const PageRound& page : pages) {
            SCOPED_TRACE(page.section);
            ShowPage(page.section);
            EXPECT_EQ(FocusId(), page.firstFocus);
            EXPECT_EQ(Round(false), page.forward);
            std::vector<int> backward(page.forward.rbegin() + 1, page.forward.rend());
            backward.push_back(page.firstFocus);
            EXPECT_EQ(Round(true), backward);
        }
    }});
}

TEST_F(KeyboardTest, APageThatMarksNoButtonStillHasAFocusAndARepaintKeepsTheUsersOne) {
    WriteIni(
        "[IE45]\r\nInfo2=Aide\r\nSuivant=Suivant\r\nSectionSuivant=P2\r\nQuitter=Quitter\r\n"
        "[P2]\r\nSaisie=C:\\Kit\r\nSuivant=Suivant\r\nQuitter=Quitter\r\n");
    Run({[&] {
        // Without "+", the way forward (the one Enter presses).
        EXPECT_EQ(FocusId(), ID_SUIVANT);
        Round(false);  // back on Suivant
        sim::ui::PressKey(Dialog(), plat::kVkTab);
        sim::ui::PumpMessages();
        ASSERT_EQ(FocusId(), plat::kIdOk);
        // A repaint lays the page out again: the focus stays on Quitter.
        plat::InvalidateRect(Dialog(), nullptr, true);
        sim::ui::PumpMessages();
        EXPECT_EQ(FocusId(), plat::kIdOk);
        sim::ui::PressKey(Dialog(), plat::kVkTab, true);
        sim::ui::PumpMessages();
        sim::ui::PressKey(Dialog(), plat::kVkSpace);
        sim::ui::PumpMessages();
        // A page with an entry field and no "+": the field, its text selected for typing.
        ASSERT_STREQ(dialog_.m_section.c_str(), "P2");
        EXPECT_EQ(FocusId(), ID_SAISIE);
    }});
}

}  // namespace
