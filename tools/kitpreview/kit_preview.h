// kitpreview's work apart from its command line, so that the tests and the benchmark run it in
// their own process: every page of a kit drawn on a simulated Windows 98 machine, as our Wine
// prefix draws it, without running the kit.
#pragma once

#include <string>
#include <vector>

namespace kitpreview {

struct PagePicture {
    // "<program>-<section>": the kit wizard's page sections of Pakonel.ini, the connection
    // wizard's steps that have a page ("kitassist-IE45", "cnxassist-CheckDNSTelvora");
    // "<program>-<section>-<variant>" for what only some PCs show ("cnxassist-IdentWindow-
    // WindowsNT", the error box of a system check that fails).
    std::string name;
    std::string file;                   // the PNG, a host path
    std::vector<std::string> findings;  // kitcheck's findings about the page, as printed
    std::string shownOn;  // the PCs that show it, when not every PC does ("Windows NT")
};

// Draws every page of the assembled kit in `kitFolder` (the CD: Pakonel.ini beside the
// programs, the connection wizard's step file in `contenu` or beside Pakonel.ini) into
// `outFolder` as <name>.png, on a simulated machine made in the temporary directory and
// removed afterwards. False, with the reason, when the kit has neither file.
bool PreviewKit(const std::string& kitFolder, const std::string& outFolder,
                std::vector<PagePicture>* pages, std::string* error);

// One picture of every page, captioned with its name, pages with findings framed in red with
// the findings' text below them; written as `sheetFile` (PNG).
bool WriteContactSheet(const std::vector<PagePicture>& pages, const std::string& sheetFile,
                       std::string* error);

}  // namespace kitpreview
