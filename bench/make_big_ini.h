// A large kit configuration file for the profile benchmarks, the same bytes on every run and
// for both back ends: a [General] section and pages of about twenty keys each, some 100 KB in
// all, like a full wizard configuration; and the 600 lookups one button press of the kit
// wizard makes in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

constexpr int kBigIniPages = 120;
constexpr int kButtonPressLookups = 600;

struct IniLookup {
    std::string section;
    std::string key;
};

// The keys of every page, in file order.
inline const std::vector<std::string>& PageKeys() {
    static const std::vector<std::string> keys = {
        "Titre",      "Texte",           "Image",      "NbBoutons",  "Bouton1",
        "Bouton2",    "Bouton3",         "Bouton4",    "Action1",    "Action2",
        "Action3",    "Action4",         "Programme1", "Programme2", "Programme3",
        "Programme4", "PresenceSuivant", "Suivant",    "Precedent",  "Aide"};
    return keys;
}

// A small deterministic generator (a linear congruential one), so that the file is the same
// everywhere without depending on a library's random engine.
class BenchRandom {
  public:
    explicit BenchRandom(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

  private:
    std::uint32_t state_;
};

inline std::string PageName(int page) {
    std::string digits = std::to_string(page);
    return "Page" + std::string(3 - digits.size(), '0') + digits;
}

inline std::string MakeBigIni() {
    static const char* const kWords[] = {
        "Bienvenue", "dans",    "l'assistant", "d'installation", "du",         "kit",
        "Telvora",   "cliquez", "sur",         "Suivant",        "pour",       "continuer",
        "votre",     "modem",   "connexion",   "Internet",       "messagerie", "navigateur"};
    BenchRandom random(20240611u);
    std::string ini = "[General]\r\nNbPages=" + std::to_string(kBigIniPages) +
                      "\r\nExtractible=extract.exe\r\nAbonnement=abonne.exe\r\n"
                      "Espace=espace.exe\r\nRepertoire=C:\\Program Files\\Telvora\r\n\r\n";
    for (int page = 1; page <= kBigIniPages; ++page) {
        ini += "[" + PageName(page) + "]\r\n";
        for (const std::string& key : PageKeys()) {
            std::string value;
            if (key == "Texte") {
                for (int w = 0; w < 40; ++w) {
                    if (w > 0) value += ' ';
                    value += kWords[random.Next(sizeof kWords / sizeof kWords[0])];
                }
            } else if (key == "NbBoutons") {
                value = std::to_string(1 + random.Next(4));
            } else if (key.compare(0, 6, "Action") == 0) {
                value = random.Next(2) == 0 ? "CopyFiles" : "Lance";
            } else {
                value = key + "_" + std::to_string(page) + "_" +
                        std::to_string(random.Next(100000)) + ".bmp";
            }
            ini += key + "=" + value + "\r\n";
        }
        ini += "\r\n";
    }
    return ini;
}

inline std::vector<IniLookup> ButtonPressLookups() {
    BenchRandom random(7u);
    std::vector<IniLookup> lookups;
    lookups.reserve(kButtonPressLookups);
    for (int i = 0; i < kButtonPressLookups; ++i) {
        if (i % 10 == 0) {
            lookups.push_back({"General", "NbPages"});
            continue;
        }
        int page = 1 + static_cast<int>(random.Next(kBigIniPages));
        const std::vector<std::string>& keys = PageKeys();
        lookups.push_back(
            {PageName(page), keys[random.Next(static_cast<std::uint32_t>(keys.size()))]});
    }
    return lookups;
}

}  // namespace bench
