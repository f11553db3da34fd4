// Composite sprites flattened into cels, against a plain composition of
// their entries, and DIB sections made of DI records.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <random>

#include "support/rle_reference.h"

using namespace support;

namespace {

using Rows = std::vector<Bytes>;  // pixel values, top row first

Record rawRecord(const Rows &rows)
{
    return rawOf(static_cast<LONG>(rows[0].size()), static_cast<LONG>(rows.size()),
                 [&](LONG x, LONG y) { return rows[y][x]; });
}

struct Entry {
    HSPRITEDATA image;
    LONG left, top, right, bottom;
};

LONG_PTR build(const std::vector<Entry> &entries, SHORT count)
{
    std::vector<std::max_align_t> storage(
        1 + (offsetof(VEKCOMPOSITELIST, entries) + (entries.size() + 1) * sizeof(VEKCOMPOSITEENTRY)) /
                sizeof(std::max_align_t));
    auto *list = reinterpret_cast<LPVEKCOMPOSITELIST>(storage.data());
    list->count = count;
    for (size_t i = 0; i < entries.size(); i++) {
        const Entry &e = entries[i];
        list->entries[i] = VEKCOMPOSITEENTRY{e.image, e.left, e.top, e.right, e.bottom};
    }
    return vekBuildCompositeSprite(list);
}

Record built(const std::vector<Entry> &entries)
{
    const LONG_PTR result = build(entries, static_cast<SHORT>(entries.size()));
    EXPECT_GT(result, 0);
    return Record(result > 0 ? reinterpret_cast<BYTE *>(result) : nullptr);
}

// What an entry draws: its rows, key (if not -1) transparent.
struct Source {
    Rows rows;
    int key;
};

// The plain composition: a canvas of index 8 over the entries' bounding
// box, each entry's opaque pixels inside its rectangle drawn in list order,
// then every pixel of the bottom-left pixel's value made transparent.
std::vector<int> composed(const std::vector<Entry> &entries, const std::vector<Source> &sources)
{
    LONG left = 30000, top = 30000, right = -30000, bottom = -30000;
    for (const Entry &e : entries) {
        left = std::min(left, e.left), top = std::min(top, e.top);
        right = std::max(right, e.right), bottom = std::max(bottom, e.bottom);
    }
    const LONG width = right - left, height = bottom - top;
    std::vector<int> canvas(static_cast<size_t>(width) * height, 8);
    for (size_t i = 0; i < entries.size(); i++) {
        const Entry &e = entries[i];
        const Rows &rows = sources[i].rows;
        for (LONG y = 0; y < e.bottom - e.top && y < static_cast<LONG>(rows.size()); y++)
            for (LONG x = 0; x < e.right - e.left && x < static_cast<LONG>(rows[y].size()); x++)
                if (rows[y][x] != sources[i].key) canvas[(e.top - top + y) * width + e.left - left + x] = rows[y][x];
    }
    const int key = canvas[(height - 1) * width];
    for (int &p : canvas)
        if (p == key) p = kClear;
    return canvas;
}

void expectComposed(const Record &cel, const std::vector<int> &pixels)
{
    ASSERT_NE(cel.get(), nullptr);
    EXPECT_EQ(cel.flags(), VEK_IMAGE_MIRRORABLE);
    const Decoded d = decodeRecord(cel);
    EXPECT_TRUE(d.wellFormed);
    EXPECT_EQ(d.pixels, pixels);
}

}  // namespace

TEST(CompositeSprite, MatchesThePlainComposition)
{
    // A raw block, a cel with transparent pixels over it, a raw block over
    // both, at random places, their images larger or smaller than their
    // rectangles; sometimes an entry covers the bottom-left corner, whose
    // colour then turns transparent everywhere.
    std::mt19937 random(7);
    auto value = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 60; round++) {
        std::vector<Entry> entries;
        std::vector<Source> sources;
        std::vector<Record> images;
        for (int i = 0; i < 3; i++) {
            Rows rows(static_cast<size_t>(value(1, 7)), Bytes(static_cast<size_t>(value(1, 9))));
            for (auto &row : rows)
                for (auto &p : row) p = static_cast<BYTE>(value(0, 3) == 0 ? 200 : value(9, 20));
            const bool asCel = i == 1;
            if (asCel) {
                rows.back()[0] = 200;
                Record raw = rawRecord(rows);
                images.emplace_back(reinterpret_cast<BYTE *>(vekPalDIBToCel(raw, FALSE, 0)));
                if (value(0, 1)) {
                    images.back().setFlags(VEK_IMAGE_MIRRORABLE);
                    vekFlipSprite(images.back());  // turned back before it is drawn
                }
            } else {
                images.push_back(rawRecord(rows));
            }
            const LONG left = value(-12, 12), top = value(-12, 12);
            entries.push_back({images.back(), left, top, left + value(1, 10), top + value(1, 8)});
            sources.push_back({rows, asCel ? 200 : -1});
        }
        SCOPED_TRACE(round);
        expectComposed(built(entries), composed(entries, sources));
        EXPECT_EQ(images[1].flags() & VEK_IMAGE_MIRRORED, 0);
    }
}

TEST(CompositeSprite, RefusedLists)
{
    Record image = rawRecord(Rows(2, Bytes(2, 3)));
    const Bytes before = image.bytes();
    EXPECT_EQ(vekBuildCompositeSprite(nullptr), VEK_CEL_BAD_FORMAT);
    struct Case {
        std::vector<Entry> entries;
        SHORT count;
        LONG_PTR result;
    } cases[] = {
        {{{image, 0, 0, 2, 2}}, 0, VEK_CEL_BAD_FORMAT},
        {{{image, 0, 0, 2, 2}}, -1, VEK_CEL_BAD_FORMAT},
        // Coordinates must lie within -30000 to 30000.
        {{{image, 0, 0, 2, 2}, {image, 0, 0, 30001, 2}}, 2, VEK_CEL_BAD_FORMAT},
        {{{image, -30001, 0, 2, 2}}, 1, VEK_CEL_BAD_FORMAT},
        // Canvases that cannot be made: empty, wider than 32767 pixels, or
        // needing more working storage than the encoder takes.
        {{{image, 4, 4, 2, 2}}, 1, VEK_CEL_NO_MEMORY},
        {{{image, -30000, 0, 2768, 2}}, 1, VEK_CEL_NO_MEMORY},
        {{{image, 0, 0, 20000, 20000}}, 1, VEK_CEL_NO_MEMORY},
    };
    for (const Case &c : cases) EXPECT_EQ(build(c.entries, c.count), c.result) << c.entries.back().right;
    EXPECT_EQ(image.bytes(), before);
    Record wide = built({{image, -30000, 0, 2767, 1}});
    EXPECT_EQ(get32(wide, kWidth), 32767u) << "the widest canvas there is";
}

TEST(DIBSection, CopiesTheBitsWithColoursOfTheDCPalette)
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } lp{0x300, 256, {}};
    for (int i = 0; i < 256; i++) lp.entries[i] = {BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
    for (bool longTable : {false, true}) {
        Record image = makeRaw(5, 3, 0, longTable);
        const DWORD pixels = 4 + get32(image, kPixelOffset);
        for (int i = 0; i < 8 * 3; i++) image.get()[pixels + i] = static_cast<BYTE>(i * 11 + 3);
        const Bytes before = image.bytes();
        HBITMAP section = vekHSPRITEDATAtoDIBSection(dc, image);
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(image.bytes(), before);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
        const auto *bits = static_cast<const BYTE *>(ds.dsBm.bmBits);
        EXPECT_EQ(Bytes(bits, bits + 24), Bytes(image.get() + pixels, image.get() + pixels + 24));
        HGDIOBJ old = SelectObject(dc, section);
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 5; x++) {
                const PALETTEENTRY &e = lp.entries[*rawPixel(image, x, y)];
                EXPECT_EQ(GetPixel(dc, x, y), RGB(e.peRed, e.peGreen, e.peBlue)) << x << "," << y;
            }
        SelectObject(dc, old);
        DeleteObject(section);
    }

    // Records it cannot copy: none, a cel, a DD record, damaged headers.
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, nullptr), nullptr);
    Record raw = makeRaw(4, 2);
    Record cel(reinterpret_cast<BYTE *>(vekPalDIBToCel(raw, FALSE, 0)));
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, cel), nullptr);
    Record dd(reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(GetDC(nullptr), 4, 4, 1)));
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, dd), nullptr);
    vekFreeDDSprite(dd.release());
    const std::vector<std::vector<std::pair<size_t, DWORD>>> edits = {
        {{26, static_cast<DWORD>(-3)}},  // top-down rows
        {{30, 4u << 16 | 1}},            // one plane of 4 bits per pixel
        {{0, 580}},                      // the rows end beyond the image length
        {{0, 100}, {14, 54}},            // rows fit, the index table does not
    };
    for (const auto &fields : edits) {
        Record image = makeRaw(5, 3);
        for (const auto &[at, value] : fields) put32(image, at, value);
        EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, image), nullptr) << "field at " << fields[0].first;
    }
    SelectPalette(dc, oldPalette, FALSE);
    DeleteDC(dc);
    DeleteObject(palette);
}
