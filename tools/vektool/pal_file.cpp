#include "pal_file.h"

#include "failure.h"
#include "input_file.h"

#include "common/le.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <unordered_set>

namespace vektool {
namespace {

Palette readJasc(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string magic, version;
    int count = 0;
    in >> magic >> version >> count;
    if (version != "0100" || count < 1 || count > 256) throw Failure(shownAs, "damaged JASC palette: bad header");
    Palette p{};
    for (int i = 0; i < count; i++) {
        int r = -1, g = -1, b = -1;
        in >> r >> g >> b;
        if (!in || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
            throw Failure(shownAs, "damaged JASC palette: bad colour " + std::to_string(i));
        p[i] = Rgb{uint8_t(r), uint8_t(g), uint8_t(b)};
    }
    return p;
}

Palette readRiff(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    const uint8_t *b = bytes.data();
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t length = vek::u32(b, at + 4);
        if (length > bytes.size() - at - 8) break;
        if (std::memcmp(b + at, "data", 4) == 0) {
            const unsigned count = length >= 4 ? vek::u16(b, at + 10) : 0;
            if (count < 1 || count > 256 || 4 + 4ull * count > length) break;
            Palette p{};
            for (unsigned i = 0; i < count; i++) {
                const uint8_t *e = b + at + 12 + 4 * i;
                p[i] = Rgb{e[0], e[1], e[2]};
            }
            return p;
        }
        at += 8 + length + (length & 1);
    }
    throw Failure(shownAs, "damaged RIFF palette: no colours");
}

}  // namespace

Palette readPaletteFile(const std::string &path)
{
    const std::vector<uint8_t> bytes = readWholeFile(path);
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), "JASC-PAL", 8) == 0) return readJasc(bytes, path);
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "PAL ", 4) == 0)
        return readRiff(bytes, path);
    if (pictureType(bytes) != PictureType::Other) return paletteOf(readPicture(bytes, path), path);
    throw Failure(path, "not a palette: give a JASC or RIFF palette file, a PNG or a bitmap file");
}

Palette paletteOf(const Picture &picture, const std::string &shownAs)
{
    if (picture.indexed) return picture.palette;
    Palette p{};
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i < picture.count(); i++) {
        const Rgb c = picture.colourAt(i);
        if (seen.count(c.key())) continue;
        if (seen.size() == 256) throw Failure(shownAs, "has more than 256 colours: give a palette with --palette");
        p[seen.size()] = c;
        seen.insert(c.key());
    }
    return p;
}

std::optional<Rgb> parseColour(const std::string &text)
{
    unsigned r, g, b;
    char end;
    if (text.size() == 7 && text[0] == '#' && std::sscanf(text.c_str(), "#%2x%2x%2x%c", &r, &g, &b, &end) == 3)
        return Rgb{uint8_t(r), uint8_t(g), uint8_t(b)};
    if (std::sscanf(text.c_str(), "%u,%u,%u%c", &r, &g, &b, &end) == 3 && r < 256 && g < 256 && b < 256)
        return Rgb{uint8_t(r), uint8_t(g), uint8_t(b)};
    return std::nullopt;
}

Palette defaultPalette()
{
    static const Rgb statics[20] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    Palette p{};
    for (int i = 0; i < 10; i++) {
        p[i] = statics[i];
        p[246 + i] = statics[10 + i];
    }
    for (int i = 0; i < 216; i++)
        p[10 + i] = Rgb{uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51)};
    for (int i = 0; i < 20; i++) p[226 + i] = Rgb{uint8_t(6 + i * 12), uint8_t(6 + i * 12), uint8_t(6 + i * 12)};
    return p;
}

}  // namespace vektool
