#include "cnxassist/general_config.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "common/format_text.h"
#include "common/profile_section.h"

namespace cnx {
namespace {

// Integers are read with the default -1, which counts as missing.
bool ReadRequired(const kit::ProfileSection& general, const char* key, int* out) {
    *out = general.ReadInt(key, -1);
    return *out != -1;
}

bool ReadAll(const kit::ProfileSection& general,
             std::initializer_list<std::pair<const char*, int*>> keys) {
    bool ok = true;
    for (const auto& key : keys) ok = ReadRequired(general, key.first, key.second) && ok;
    return ok;
}

}  // namespace

bool ReadGeneral(const std::string& iniPath, GeneralConfig* c) {
    // The section read once: some thirty keys, each a look at the file otherwise.
    const kit::ProfileSection general(iniPath, "General");
    if (!ReadAll(general, {{"Tx", &c->tx}, {"Ty", &c->ty}, {"Tl", &c->tl}, {"Th", &c->th}})) {
        return false;
    }
    if (!ReadAll(general, {{"Cx", &c->cx}, {"Cy", &c->cy}, {"Ch", &c->ch}, {"Cl", &c->cl}})) {
        return false;
    }
    if (!ReadAll(general, {{"Precx", &c->precx},
                           {"Precy", &c->precy},
                           {"Suivx", &c->suivx},
                           {"Suivy", &c->suivy},
                           {"Quitx", &c->quitx},
                           {"Quity", &c->quity}})) {
        return false;
    }
    int count = -1;
    if (!ReadRequired(general, "NbBitmaps", &count) || count < 0 || count > kMaxBitmaps) {
        return false;
    }
    for (int i = 1; i <= count; ++i) {
        BitmapEntry& entry = c->bitmaps[i - 1];
        char key[32];
        kit::FormatText(key, sizeof key, "NomBitmap%d", i);
        entry.fileName = general.ReadString(key, "", 128);
        if (entry.fileName.empty()) break;
        kit::FormatText(key, sizeof key, "Bmpx%d", i);
        bool ok = ReadRequired(general, key, &entry.x);
        kit::FormatText(key, sizeof key, "Bmpy%d", i);
        ok = ReadRequired(general, key, &entry.y) && ok;
        if (!ok) break;
        // Loaded as named, from the current directory, which is the working directory.
        entry.bitmap = plat::LoadBitmapFromFile(entry.fileName.c_str());
        if (entry.bitmap == 0) break;
        c->nbBitmaps = i;
    }
    if (c->nbBitmaps != count) {
        ReleaseBitmaps(c);
        return false;
    }
    c->titre = general.ReadString("Titre", "", 256);
    return true;
}

plat::Rect PageArea(const GeneralConfig& c) {
    auto held = [](long long value) {
        return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    };
    return {c.cx, c.cy, held(static_cast<long long>(c.cx) + c.cl),
            held(static_cast<long long>(c.cy) + c.ch)};
}

void ReleaseBitmaps(GeneralConfig* c) {
    for (int i = 0; i < c->nbBitmaps; ++i) {
        if (c->bitmaps[i].bitmap != 0) plat::DeleteObject(c->bitmaps[i].bitmap);
        c->bitmaps[i].bitmap = 0;
    }
    c->nbBitmaps = 0;
}

}  // namespace cnx
