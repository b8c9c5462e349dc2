// Pictures of the simulated screen and their PNG files (libpng).
#include "platform/sim/image.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace sim {

void Image::Fill(const plat::Rect& r, std::uint32_t color) {
    int left = std::max({r.left, clip.left, 0});
    int top = std::max({r.top, clip.top, 0});
    int right = std::min({r.right, clip.right, width});
    int bottom = std::min({r.bottom, clip.bottom, height});
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) {
        std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width + left,
                  pixels.begin() + static_cast<std::ptrdiff_t>(y) * width + right, color);
    }
}

void Image::Paste(const Image& from, int x, int y) {
    for (int row = 0; row < from.height; ++row) {
        for (int col = 0; col < from.width; ++col) Put(x + col, y + row, from.At(col, row));
    }
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WritePng(const Image& image, const std::string& hostPath, std::string* error) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(hostPath.c_str(), "wb"));
    if (!file) {
        if (error != nullptr) *error = "cannot create " + hostPath;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        if (error != nullptr) *error = "libpng does not start";
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
    // libpng reports its errors by longjmp: nothing that needs a destructor is made below.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (error != nullptr) *error = "cannot write " + hostPath;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Screens of flat colours compress well and fast at a low level.
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = image.At(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool ReadPng(const std::string& hostPath, Image* image, std::string* error) {
    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&read, hostPath.c_str())) {
        if (error != nullptr) *error = "cannot read " + hostPath + ": " + read.message;
        return false;
    }
    read.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(read));
    if (!png_image_finish_read(&read, nullptr, bytes.data(), 0, nullptr)) {
        if (error != nullptr) *error = "cannot read " + hostPath + ": " + read.message;
        png_image_free(&read);
        return false;
    }
    Image result(static_cast<int>(read.width), static_cast<int>(read.height));
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
        result.pixels[i] = (std::uint32_t{bytes[i * 3]} << 16) |
                           (std::uint32_t{bytes[i * 3 + 1]} << 8) | bytes[i * 3 + 2];
    }
    *image = std::move(result);
    return true;
}

}  // namespace sim
