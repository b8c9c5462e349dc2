// kitpreview KIT_DIR OUT_DIR: every page of an assembled kit drawn as Windows 98 shows it, on
// a simulated machine, in a second and without Wine: OUT_DIR/<program>-<section>.png and the
// contact sheet OUT_DIR/planche.png. kitcheck's rules run first; their findings are printed
// and marked on the sheet.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/kitcheck/findings.h"
#include "tools/kitpreview/kit_preview.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: kitpreview KIT_DIR OUT_DIR\n"
                     "Draws every page of an assembled kit (Pakonel.ini and its step file) into\n"
                     "OUT_DIR as PNG files, and one contact sheet, OUT_DIR/planche.png.\n");
        return 2;
    }
    std::vector<kitpreview::PagePicture> pages;
    std::string error;
    if (!kitpreview::PreviewKit(argv[1], argv[2], &pages, &error)) {
        std::fprintf(stderr, "kitpreview: %s\n", error.c_str());
        return 1;
    }
    std::string sheet = std::string(argv[2]) + "/planche.png";
    if (!kitpreview::WriteContactSheet(pages, sheet, &error)) {
        std::fprintf(stderr, "kitpreview: %s\n", error.c_str());
        return 1;
    }
    for (const auto& page : pages) {
        std::printf("%s\n", page.file.c_str());
        if (!page.shownOn.empty())
            std::printf("  (%s)\n", kitcheck::ForTerminal(page.shownOn).c_str());
        for (const std::string& f : page.findings)
            std::printf("  %s\n", kitcheck::ForTerminal(f).c_str());
    }
    std::printf("kitpreview: %zu page(s), contact sheet %s\n", pages.size(), sheet.c_str());
    return 0;
}
