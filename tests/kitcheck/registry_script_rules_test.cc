// kitcheck's rules on the registry script of a step section: read with the wizard's own reader,
// nothing applied.
#include <gtest/gtest.h>

#include "tests/kitcheck/kit_writer.h"

namespace kitcheck_test {
namespace {

class RegistryScriptRules : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        m_files = GoodWizardFiles();
    }
    void Run(const std::string& from, const std::string& to) {
        m_files["cfg.ini"] = Replace(m_files["cfg.ini"], from, to);
        Write(m_files);
        Check();
    }
    std::string At(const std::string& needle) {
        return "cfg.ini:" + std::to_string(LineOf(m_files["cfg.ini"], needle));
    }
    std::map<std::string, std::string> m_files;
};

TEST_F(RegistryScriptRules, BadRoot) {
    Run("I001.Branche=HKEY_CURRENT_USER", "I001.Branche=HKCU");
    EXPECT_EQ(Only("root"), At("I001.Branche") +
                                ": error: 'I001.Branche' names no registry root ('HKCU'; the "
                                "roots are HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, "
                                "HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, "
                                "HKEY_DYN_DATA): the wizard stops at step IdConnexion1");
}

TEST_F(RegistryScriptRules, BadType) {
    Run("I000.Type=c", "I000.Type=x");
    EXPECT_EQ(Only("type"), At("I000.Type") +
                                ": error: 'I000.Type' is no registry script type "
                                "('x'; c, h, b, p, d, rc, rh or rb): the wizard "
                                "stops at step IdConnexion1");
}

TEST_F(RegistryScriptRules, MissingField) {
    Run("I001.Nom=Vieux\r\n", "");
    EXPECT_EQ(Only("lacks"), At("[IdConnexion1]") +
                                 ": error: registry script entry lacks "
                                 "'I001.Nom': the wizard stops at step "
                                 "IdConnexion1");
}

TEST_F(RegistryScriptRules, GapInTheNumbering) {
    // Entry 01 renumbered 02: the list stops at 01, and entry 02 is silently dropped.
    m_files["cfg.ini"] = Replace(m_files["cfg.ini"], "I001.Branche", "I002.Branche");
    m_files["cfg.ini"] = Replace(m_files["cfg.ini"], "I001.Cle", "I002.Cle");
    m_files["cfg.ini"] = Replace(m_files["cfg.ini"], "I001.Nom", "I002.Nom");
    Run("I001.Type", "I002.Type");
    EXPECT_EQ(Only("never applied"), At("I002.Branche") +
                                         ": error: 'I002.Branche' is never applied: list I0 "
                                         "stops where 'I001.Branche' is missing, and every "
                                         "entry from there on is dropped");
}

TEST_F(RegistryScriptRules, KeysNeverRead) {
    m_files["cfg.ini"] =
        Replace(m_files["cfg.ini"], "I000.Valeur=1", "I000.Valeur=1\r\nI000.Valuer=2");
    Run("I001.Type=d", "I001.Type=d\r\nI701.Nom=x\r\nI0001.Nom=y");
    EXPECT_TRUE(Has(At("I000.Valuer") + ": warning: 'I000.Valuer' is never read")) << All();
    EXPECT_TRUE(Has(At("I701.Nom") + ": warning: 'I701.Nom' is never read: the registry script "
                                     "lists are I0, I3, I4 and I5"))
        << All();
    EXPECT_TRUE(Has(At("I0001.Nom") + ": warning: 'I0001.Nom' is never read: entry 1 of list I0 "
                                      "is written 'I001.Nom'"))
        << All();
}

TEST_F(RegistryScriptRules, EntriesThatStoreNothing) {
    Run("I000.Type=c", "I000.Type=rc");
    EXPECT_EQ(Only("stores nothing"), At("I000.Type") +
                                          ": warning: 'I000.Type' is a copy type ('rc') but the "
                                          "entry has a Valeur: it stores nothing");
}

}  // namespace
}  // namespace kitcheck_test
