// Pictures: images as picture files hold them, between the readers and
// writers of PNG and bitmap files and the conversions into sprite images.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

// Sprite images are at most this wide and high.
constexpr int kMaxSide = 32767;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
    uint32_t key() const { return uint32_t{r} << 16 | uint32_t{g} << 8 | b; }
};

// 256 palette colours, index order.
using Palette = std::array<Rgb, 256>;

// Rows top first. An indexed picture has one palette index per pixel and a
// palette of 256 colours with an alpha for each (255: opaque); any other has
// four bytes per pixel, red, green, blue, alpha.
struct Picture {
    int width = 0, height = 0;
    bool indexed = false;
    Palette palette{};
    std::array<uint8_t, 256> paletteAlpha{};
    std::vector<uint8_t> pixels;

    size_t count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    Rgb colourAt(size_t i) const
    {
        if (indexed) return palette[pixels[i]];
        return Rgb{pixels[4 * i], pixels[4 * i + 1], pixels[4 * i + 2]};
    }
    uint8_t alphaAt(size_t i) const { return indexed ? paletteAlpha[pixels[i]] : pixels[4 * i + 3]; }
};

// A picture's file types, told by their first bytes.
enum class PictureType { Png, Bitmap, Other };
PictureType pictureType(const std::vector<uint8_t> &bytes);

// Reads a PNG or bitmap file (shownAs names it in failures). Throws Failure
// for other files, damaged ones and sides beyond kMaxSide.
Picture readPicture(const std::vector<uint8_t> &bytes, const std::string &shownAs);

}  // namespace vektool
