#include "tests/kitcheck/kit_writer.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/machine.h"
#include "tools/kitcheck/kitcheck.h"

namespace kitcheck_test {

std::string TinyBitmap() {
    // BITMAPFILEHEADER, BITMAPINFOHEADER, one 24-bit pixel and its row padding.
    const unsigned char
        bytes[] = {'B',  'M',  58,   0, 0, 0, 0, 0, 0, 0, 54,   0,    0, 0,  // file header
                   40,   0,    0,    0, 1, 0, 0, 0, 1, 0, 0,    0,    1, 0,
                   24,   0,    0,    0, 0, 0, 4, 0, 0, 0, 0x13, 0x0B, 0, 0,
                   0x13, 0x0B, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0,  // info header
                   0x9C, 0x4F, 0x1A, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::map<std::string, std::string> GoodWizardFiles() {
    return {
        {"cfg.ini",
         "[General]\r\nTx=0\r\nTy=0\r\nTl=560\r\nTh=380\r\nCx=150\r\nCy=20\r\nCl=390\r\n"
         "Ch=280\r\nPrecx=150\r\nPrecy=315\r\nSuivx=450\r\nSuivy=315\r\nQuitx=300\r\n"
         "Quity=315\r\nNbBitmaps=1\r\nNomBitmap1=bandeau.bmp\r\nBmpx1=10\r\nBmpy1=10\r\n"
         "Titre=Connexion\r\n"
         "\r\n[IdentWindow]\r\nSuivants=BoutonRadio1\r\nMessage=Windows 95 ou 98.\r\n"
         "\r\n[BoutonRadio1]\r\nSuivants=IdConnexion1,Etape1\r\nNbBoutons=2\r\n"
         "Description=choix.txt\r\nPresenceSuivant=3\r\n"
         "\r\n[IdConnexion1]\r\nSuivants=Fin1\r\nNbSaisies=3\r\nDescription=ident.txt\r\n"
         "PresenceSuivant=2\r\n"
         "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Telvora\r\nI000.Nom=Kit\r\n"
         "I000.Type=c\r\nI000.Valeur=1\r\n"
         "I001.Branche=HKEY_CURRENT_USER\r\nI001.Cle=Software\\Telvora\r\nI001.Nom=Vieux\r\n"
         "I001.Type=d\r\n"
         "\r\n[Etape1]\r\nSuivants=Fin1\r\nPresenceSuivant=3\r\n"
         "\r\n[Fin1]\r\nSuivants=Fin1\r\nAvecReboot=0\r\n"},
        {"choix.txt",
         "fenetre(0,300,100)\n"
         "((radio,1,150,30,\"Nouvel abonnement\")\n"
         " a_gauche_de\n"
         " (radio,2,150,30,\"Deja abonne\"))\n"},
        {"ident.txt",
         "fenetre(0,200,60)\n"
         "(((saisie,1,200,20,\" \") sur (saisie,2,200,20,\" \"))\n"
         " sur\n"
         " (saisie,3,200,20,\" \"))\n"},
        {"bandeau.bmp", TinyBitmap()},
        {"modele.ins", "[Entry]\r\nEntry_Name=Telvora\r\n"},
    };
}

std::map<std::string, std::string> GoodKitWizardFiles() {
    const std::string firstPage =
        "1=#12#gR\xE9pertoire d'installation\r\n2=Indiquez o\xF9 installer le Kit :\r\n"
        "Bitmap=logo.bmp\r\nSaisie=#pfTelvora\r\nInfo1=Parcourir...\r\nProcInfo1=SelectDir\r\n"
        "Suivant=Installer+\r\nProcSuivant=CopyFiles\r\nSectionSuivant=Lancement\r\n"
        "Quitter=Quitter\r\n";
    return {
        {"Pakonel.ini",
         "[General]\r\nTitre=Installation du Kit Telvora\r\nExtractible=kitextract.exe\r\n"
         "Espace=espace.exe\r\nAbonnement=Inscription\\abonne.exe\r\nRaccEspace=Espace Telvora\r\n"
         "\r\n[NOIE]\r\n" +
             firstPage + "\r\n[IE3]\r\n" + firstPage + "\r\n[IE45]\r\n" + firstPage +
             "\r\n[Lancement]\r\n1=#12#g#mLe Kit Telvora est install\xE9\r\n"
             "Info1=Espace Telvora\r\nProcInfo1=ExeEspace\r\nInfo2=Abonnement\r\n"
             "ProcInfo2=ExeAbonnement\r\nQuitter=Terminer+\r\n"},
        {"logo.bmp", TinyBitmap()},
        {"kitextract.exe", "MZ"},
        {"contenu/espace.exe", "MZ"},
        {"contenu/Inscription/abonne.exe", "MZ"},
    };
}

int LineOf(const std::string& text, const std::string& needle) {
    std::size_t at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << "'" << needle << "' is not in the kit file";
    if (at == std::string::npos) return 0;
    int line = 1;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n';
    return line;
}

std::string Replace(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "'" << from << "' is not in the kit file";
    if (at == std::string::npos) return text;
    return text.substr(0, at) + to + text.substr(at + from.size());
}

void KitTest::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/kitcheck-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_temp = pattern;
    m_kit = m_temp + "/kit";
    std::filesystem::create_directories(m_kit);
    sim::Machine::Use(m_temp + "/machine");
}

void KitTest::TearDown() {
    if (!m_temp.empty()) std::filesystem::remove_all(m_temp);
}

void KitTest::Write(const std::map<std::string, std::string>& files) {
    for (const auto& [name, contents] : files) {
        std::filesystem::path path = m_kit + "/" + name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }
}

void KitTest::NewKit() {
    m_kit = m_temp + "/kit" + std::to_string(++m_kitCount);
    std::filesystem::create_directories(m_kit);
    m_report = kitcheck::Report();
}

void KitTest::Remove(const std::string& name) { std::filesystem::remove(m_kit + "/" + name); }

void KitTest::Check(const std::vector<std::string>& arguments) {
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) paths.push_back(m_kit + "/" + argument);
    if (paths.empty()) paths.push_back(m_kit);
    int checked = 0;
    std::string problem;
    ASSERT_TRUE(kitcheck::CheckArguments(paths, &m_report, &checked, &problem)) << problem;
    EXPECT_GT(checked, 0);
}

std::vector<std::string> KitTest::Lines() const {
    std::vector<std::string> lines;
    for (const kitcheck::Finding& finding : m_report.Sorted()) {
        std::string line = kitcheck::FormatFinding(finding);
        if (line.rfind(m_kit + "/", 0) == 0) line.erase(0, m_kit.size() + 1);
        lines.push_back(line);
    }
    return lines;
}

std::string KitTest::All() const {
    std::string all;
    for (const std::string& line : Lines()) all += line + "\n";
    return all.empty() ? "(no finding)\n" : all;
}

std::string KitTest::Only(const std::string& text) const {
    std::string found;
    int count = 0;
    for (const std::string& line : Lines()) {
        if (line.find(text) == std::string::npos) continue;
        found = line;
        ++count;
    }
    EXPECT_EQ(count, 1) << "findings holding '" << text << "':\n" << All();
    return found;
}

bool KitTest::Has(const std::string& text) const {
    for (const std::string& line : Lines()) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace kitcheck_test
