// pagecompare PREVIEW_DIR WINE_PAGES_DIR... [--min PERCENT]
// The fidelity of kitpreview's pages against Wine's screenshots of the same pages (the main
// job's NN-<program>-<section>.png beside kitpreview's <program>-<section>.png): per page, the
// share of identical pixels in the client area, and whether the lines of text sit on the same
// rows (a line broken at another word adds or moves a row of text). Prints one table line per
// page; exit code 1 when a page is below PERCENT or its sizes differ, 2 for a bad command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/sim/image.h"

namespace {

namespace fs = std::filesystem;

// Wine's frame around the client area: the wizards' dialogs have a dialog frame of 3 pixels,
// the plug-in installer's log window a thick one of 4; a caption of 19 above.
struct Frame {
    int side;
    int top;
};
Frame FrameOf(const std::string& page) {
    if (page.rfind("plugmaj-", 0) == 0) return {4, 4 + 19};
    return {3, 3 + 19};
}

// The rows of the client area that hold text: a run of black pixels, text's colour on these
// pages, at least two long.
std::vector<int> TextRows(const sim::Image& image, Frame frame) {
    std::vector<int> rows;
    for (int y = frame.top; y < image.height - frame.side; ++y) {
        int ink = 0;
        for (int x = frame.side; x < image.width - frame.side; ++x)
            ink += image.At(x, y) == 0 ? 1 : 0;
        if (ink >= 2) rows.push_back(y);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> wineDirs;
    double minimum = 0;
    if (argc < 3) {
        std::fprintf(stderr, "usage: pagecompare PREVIEW_DIR WINE_PAGES_DIR... [--min PERCENT]\n");
        return 2;
    }
    std::string preview = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--min" && i + 1 < argc) {
            minimum = std::atof(argv[++i]);
        } else {
            wineDirs.push_back(a);
        }
    }
    const std::regex numbered("[0-9]+-(.+)\\.png");
    bool ok = true;
    int compared = 0;
    std::printf("| page (Wine) | identical pixels | text rows |\n|---|---|---|\n");
    for (const std::string& dir : wineDirs) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& wineFile : files) {
            std::smatch m;
            std::string name = wineFile.filename().string();
            if (!std::regex_match(name, m, numbered)) continue;
            fs::path previewFile = fs::path(preview) / (m[1].str() + ".png");
            if (!fs::exists(previewFile)) continue;  // not a kit page (the sign-up program, ...)
            sim::Image wine;
            sim::Image ours;
            std::string error;
            if (!sim::ReadPng(wineFile.string(), &wine, &error) ||
                !sim::ReadPng(previewFile.string(), &ours, &error)) {
                std::fprintf(stderr, "pagecompare: %s\n", error.c_str());
                return 2;
            }
            ++compared;
            std::string label = fs::path(dir).parent_path().filename().string() + "/" + name;
            if (wine.width != ours.width || wine.height != ours.height) {
                std::printf("| %s | sizes differ: %dx%d (Wine) and %dx%d | |\n", label.c_str(),
                            wine.width, wine.height, ours.width, ours.height);
                ok = false;
                continue;
            }
            const Frame frame = FrameOf(m[1].str());
            long same = 0;
            long all = 0;
            for (int y = frame.top; y < wine.height - frame.side; ++y) {
                for (int x = frame.side; x < wine.width - frame.side; ++x) {
                    ++all;
                    same += wine.At(x, y) == ours.At(x, y) ? 1 : 0;
                }
            }
            double share =
                all > 0 ? 100.0 * static_cast<double>(same) / static_cast<double>(all) : 0;
            bool rowsSame = TextRows(wine, frame) == TextRows(ours, frame);
            std::printf("| %s | %.2f %% | %s |\n", label.c_str(), share,
                        rowsSame ? "same" : "differ");
            if (share < minimum) ok = false;
        }
    }
    if (compared == 0) {
        std::fprintf(stderr, "pagecompare: no page of %s found beside a Wine screenshot\n",
                     preview.c_str());
        return 1;
    }
    return ok ? 0 : 1;
}
