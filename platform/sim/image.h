// A picture of the simulated screen: 24-bit pixels, 0x00RRGGBB, rows top down. Written as PNG
// through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0)
        : width(w > 0 ? w : 0),
          height(h > 0 ? h : 0),
          pixels(static_cast<std::size_t>(width) * height, fill) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Drawing is clipped to the picture and to `clip` when one is set.
    void Put(int x, int y, std::uint32_t color) {
        if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom) return;
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        pixels[static_cast<std::size_t>(y) * width + x] = color;
    }
    void Fill(const plat::Rect& r, std::uint32_t color);
    // Copies `from` with its top-left corner at (x, y).
    void Paste(const Image& from, int x, int y);
    plat::Rect clip{-0x40000000, -0x40000000, 0x40000000, 0x40000000};
};

// 0x00BBGGRR (COLORREF) to 0x00RRGGBB and back.
constexpr std::uint32_t FromColorRef(std::uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// False, with the reason, when the file cannot be written.
bool WritePng(const Image& image, const std::string& hostPath, std::string* error);
// False when the file is missing or not a PNG libpng can read as 8-bit RGB(A).
bool ReadPng(const std::string& hostPath, Image* image, std::string* error);

}  // namespace sim
