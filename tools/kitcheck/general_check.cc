#include "tools/kitcheck/general_check.h"

#include <string>

#include "cnxassist/general_config.h"
#include "platform/draw.h"
#include "platform/files.h"

namespace kitcheck {
namespace {

constexpr const char* kSection = "General";
// Read with the default -1, which the wizard takes for a missing value.
constexpr int kMissing = -1;
constexpr std::size_t kBitmapNameCapacity = 128;
constexpr std::size_t kTitleCapacity = 256;

}  // namespace

void CheckGeneral(const KitPath& folder, const IniFile& file, Report* report) {
    const std::string& shown = file.Shown();
    if (!file.HasSection(kSection)) {
        report->Error(shown, 0, "no [General] section: the wizard stops before its first step");
        return;
    }
    bool faulty = false;
    auto required = [&](const std::string& key) {
        int value = file.ReadInt(kSection, key, kMissing);
        if (value == kMissing) {
            report->Error(shown, file.KeyLine(kSection, key),
                          "[General] lacks '" + key +
                              "' (or it is -1): the wizard stops before its first step");
            faulty = true;
        }
        return value;
    };
    int values[14];
    const char* keys[] = {"Tx", "Ty",    "Tl",    "Th",    "Cx",    "Cy",    "Ch",
                          "Cl", "Precx", "Precy", "Suivx", "Suivy", "Quitx", "Quity"};
    for (int i = 0; i < 14; ++i) values[i] = required(keys[i]);
    int tl = values[2], th = values[3], cx = values[4], cy = values[5], ch = values[6],
        cl = values[7];
    if (!faulty && (cx + cl > tl || cy + ch > th)) {
        report->Warning(shown, file.KeyLine(kSection, "Cl"),
                        "the page area (Cx, Cy, Cl, Ch) reaches past the window (Tl x Th): its "
                        "right or bottom part is not seen");
    }

    int count = required("NbBitmaps");
    if (count < kMissing || count > cnx::kMaxBitmaps) {
        report->Error(shown, file.KeyLine(kSection, "NbBitmaps"),
                      "NbBitmaps is " + std::to_string(count) +
                          ": the wizard takes 0 to 20 bitmaps and stops before its first step");
        faulty = true;
        count = 0;
    }
    for (int i = 1; i <= count; ++i) {
        std::string nameKey = "NomBitmap" + std::to_string(i);
        std::string name = file.Read(kSection, nameKey);
        int line = file.KeyLine(kSection, nameKey);
        if (name.empty()) {
            report->Error(shown, line,
                          "[General] lacks '" + nameKey + "' (NbBitmaps is " +
                              std::to_string(count) + "): the wizard stops before its first step");
            faulty = true;
            continue;
        }
        required("Bmpx" + std::to_string(i));
        required("Bmpy" + std::to_string(i));
        if (name.size() >= kBitmapNameCapacity) {
            report->Error(shown, line,
                          "'" + nameKey + "' is longer than 127 characters: the wizard cuts it");
            faulty = true;
            continue;
        }
        KitPath bitmap = InFolder(folder, name);
        if (!plat::CanOpenForReading(bitmap.path.c_str())) {
            report->Error(shown, line,
                          "bitmap '" + name + "' is not in the kit (" + bitmap.shown +
                              "): the wizard stops before its first step");
            faulty = true;
        } else if (plat::Hbitmap loaded = plat::LoadBitmapFromFile(bitmap.path.c_str())) {
            plat::DeleteObject(loaded);
        } else {
            report->Error(shown, line,
                          "'" + name +
                              "' cannot be loaded as a bitmap (BMP file): the wizard "
                              "stops before its first step");
            faulty = true;
        }
    }
    if (file.Read(kSection, "Titre").size() >= kTitleCapacity) {
        report->Warning(shown, file.KeyLine(kSection, "Titre"),
                        "Titre is longer than 255 characters: the wizard cuts it");
    }

    // The wizard's own reading, from its working directory as when it runs: should it refuse
    // the section for a reason the rules above miss, say so anyway.
    if (faulty) return;
    char saved[1024] = {};
    plat::GetCurrentDirectory(sizeof saved, saved);
    plat::SetCurrentDirectory(folder.path.c_str());
    cnx::GeneralConfig config;
    bool accepted = cnx::ReadGeneral(file.Path(), &config);
    cnx::ReleaseBitmaps(&config);
    plat::SetCurrentDirectory(saved);
    if (!accepted) {
        report->Error(shown, file.SectionLine(kSection),
                      "the wizard refuses [General] (\"probleme dans la section 'General' du "
                      "fichier ini\")");
    }
}

}  // namespace kitcheck
