// Bitmap font text into a 640 x 480 8-bit image, in glyphs per second, with
// a fixed-pitch 8 x 13 font (codes 32..126, about a third of the bits ink,
// like a console font).
//
//   TextOut/Inside    lines of 80 glyphs that fill the image's width
//   TextOut/Clipped   lines of 82 glyphs hanging 4 pixels over the left and
//                     6 rows over the top edge and cut at the right edge;
//                     the glyphs that show count
//   Extent            gfxGetTextExtentFont of an 80-character line
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr LONG kWidth = 640, kHeight = 480;
constexpr int kGlyphWidth = 8, kGlyphHeight = 13, kFirst = 32, kLast = 126;

void put16(std::vector<BYTE> &b, size_t at, WORD v) { std::memcpy(b.data() + at, &v, 2); }
void put32(std::vector<BYTE> &b, size_t at, DWORD v) { std::memcpy(b.data() + at, &v, 4); }

// A font handle holding a version 3.00 file of random 8 x 13 glyphs.
HGLOBAL makeFont()
{
    const size_t entries = kLast - kFirst + 2;
    std::vector<BYTE> file(148 + 6 * entries);
    put16(file, 0, 0x0300);
    put16(file, 88, kGlyphHeight);
    file[95] = kFirst;
    file[96] = kLast;
    file[97] = '?' - kFirst;
    std::mt19937 random(42);
    for (int code = kFirst; code <= kLast; code++) {
        put16(file, 148 + 6 * (code - kFirst), kGlyphWidth);
        put32(file, 148 + 6 * (code - kFirst) + 2, static_cast<DWORD>(file.size()));
        for (int r = 0; r < kGlyphHeight; r++)
            file.push_back(static_cast<BYTE>(random() & random() & 0x7E));  // ~25% of the inner columns
    }
    HGLOBAL font = GlobalAlloc(GMEM_MOVEABLE, file.size() + 4);
    auto *p = static_cast<BYTE *>(GlobalLock(font));
    const DWORD length = static_cast<DWORD>(file.size());
    std::memcpy(p, &length, 4);
    std::memcpy(p + 4, file.data(), file.size());
    GlobalUnlock(font);
    return font;
}

std::string line(size_t length)
{
    std::string s;
    for (size_t i = 0; i < length; i++) s += static_cast<char>(kFirst + (i * 7) % (kLast - kFirst + 1));
    return s;
}

void TextOutInside(benchmark::State &state)
{
    HGLOBAL font = makeFont();
    HSPRITEDATA image = vekCreateSpriteDataObject(kWidth, kHeight);
    const std::string text = line(kWidth / kGlyphWidth);
    LONG y = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gfxTextOutToDIB(image, font, 15, 0, 0, y, text.c_str(), static_cast<LONG>(text.size())));
        y = (y + kGlyphHeight) % (kHeight - kGlyphHeight);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    vekDeleteSpriteData(image);
    gfxFreeFont(font);
}

void TextOutClipped(benchmark::State &state)
{
    HGLOBAL font = makeFont();
    HSPRITEDATA image = vekCreateSpriteDataObject(kWidth, kHeight);
    const std::string text = line(kWidth / kGlyphWidth + 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(gfxTextOutToDIB(image, font, 15, 0, -4, -6, text.c_str(), static_cast<LONG>(text.size())));
    // Half of the first glyph, 79 whole ones and half of the last show.
    state.SetItemsProcessed(state.iterations() * (kWidth / kGlyphWidth + 1));
    vekDeleteSpriteData(image);
    gfxFreeFont(font);
}

void Extent(benchmark::State &state)
{
    HGLOBAL font = makeFont();
    const std::string text = line(kWidth / kGlyphWidth);
    for (auto _ : state)
        benchmark::DoNotOptimize(gfxGetTextExtentFont(font, text.c_str(), static_cast<LONG>(text.size())));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    gfxFreeFont(font);
}

}  // namespace

BENCHMARK(TextOutInside)->Name("TextOut/Inside");
BENCHMARK(TextOutClipped)->Name("TextOut/Clipped");
BENCHMARK(Extent);
