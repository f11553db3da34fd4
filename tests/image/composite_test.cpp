// Composite sprites and DIB sections: exact cel bytes of small canvases and
// key colours, placement, list order and mirrored entries against a plain
// composition, refused lists, and DIB sections' bits and colours read back.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <random>

#include "image/cel_images.h"

using namespace celtest;
using support::get16;
using support::get32;

namespace {

using Rows = std::vector<Bytes>;  // pixel values, top row first

// A raw short-table DI record holding rows.
HSPRITEDATA rawRecord(const Rows &rows)
{
    const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    HSPRITEDATA record = vekCreateSpriteDataObject(width, height);
    const int stride = Image::strideOf(width);
    for (int y = 0; y < height; y++)
        std::copy(rows[y].begin(), rows[y].end(), record + 572 + (height - 1 - y) * stride);
    return record;
}

// A cel of rows whose bottom-left value is the transparent one.
HSPRITEDATA celOf(const Rows &rows)
{
    HSPRITEDATA raw = rawRecord(rows);
    const LONG_PTR cel = vekPalDIBToCel(raw, FALSE, 0);
    vekDeleteSpriteData(raw);
    EXPECT_GT(cel, 0);
    return reinterpret_cast<HSPRITEDATA>(cel);
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

LONG_PTR build(const std::vector<Entry> &entries) { return build(entries, static_cast<SHORT>(entries.size())); }

struct CelDeleter {
    void operator()(BYTE *cel) const { vekDeleteSpriteData(cel); }
};
using Cel = std::unique_ptr<BYTE, CelDeleter>;

Cel built(const std::vector<Entry> &entries)
{
    const LONG_PTR result = build(entries);
    EXPECT_GT(result, 0);
    return Cel(result > 0 ? reinterpret_cast<BYTE *>(result) : nullptr);
}

// A picture of the plain composition: -1 where nothing opaque was drawn.
struct Picture {
    int width, height;
    std::vector<int> px;  // top row first
    int &at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
};

// What an entry draws: its rows, with key (if not -1) transparent.
struct Source {
    Rows rows;
    int key;
};

// Composes the entries the plain way, then turns the cel's key colour (the
// bottom-left pixel) transparent and returns the pixels in stored order, as
// decodeCel gives them.
std::vector<int> composed(const std::vector<Entry> &entries, const std::vector<Source> &sources)
{
    LONG left = 30000, top = 30000, right = -30000, bottom = -30000;
    for (const Entry &e : entries) {
        left = std::min(left, e.left), top = std::min(top, e.top);
        right = std::max(right, e.right), bottom = std::max(bottom, e.bottom);
    }
    Picture canvas{right - left, bottom - top, {}};
    canvas.px.assign(static_cast<size_t>(canvas.width) * canvas.height, 8);
    for (size_t i = 0; i < entries.size(); i++) {
        const Entry &e = entries[i];
        const Rows &rows = sources[i].rows;
        for (int y = 0; y < e.bottom - e.top && y < static_cast<int>(rows.size()); y++)
            for (int x = 0; x < e.right - e.left && x < static_cast<int>(rows[y].size()); x++)
                if (rows[y][x] != sources[i].key) canvas.at(e.left - left + x, e.top - top + y) = rows[y][x];
    }
    const int key = canvas.at(0, canvas.height - 1);
    std::vector<int> stored;
    for (int y = canvas.height - 1; y >= 0; y--)
        for (int x = 0; x < canvas.width; x++) stored.push_back(canvas.at(x, y) == key ? -1 : canvas.at(x, y));
    return stored;
}

void expectDecodes(const BYTE *cel, const std::vector<int> &expected)
{
    std::vector<int> pixels;
    std::string why;
    ASSERT_TRUE(decodeCel(cel, pixels, why)) << why;
    EXPECT_EQ(pixels, expected);
}

Rows solid(int width, int height, BYTE value) { return Rows(height, Bytes(width, value)); }

}  // namespace

TEST(CompositeSprite, SmallCanvasGivesExactCel)
{
    // 3 x 2 canvas: 5 at its top-left, 7 at its bottom-right, index 8 elsewhere.
    HSPRITEDATA a = rawRecord({{5}}), b = rawRecord({{7}});
    Cel cel = built({{a, 0, 0, 1, 1}, {b, 2, 1, 3, 2}});
    ASSERT_TRUE(cel);
    const BYTE *c = cel.get();
    EXPECT_EQ(get32(c, 22), 3u);
    EXPECT_EQ(get32(c, 26), 2u);
    EXPECT_EQ(get16(c, 10), VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(get32(c, 14), 1080u);
    EXPECT_EQ(get32(c, 34), static_cast<DWORD>(BI_RLE8));
    EXPECT_EQ(get32(c, 6), get32(c, 0));  // bfSize
    for (int i = 0; i < 256; i++) ASSERT_EQ(get16(c, 58 + 2 * i), i);
    EXPECT_EQ(Bytes(c + 570, c + 1084), Bytes(514, 0));
    // Bottom row 8 8 7 (key 8), top row 5 8 8.
    const Bytes bits = {0, 2, 2, 0, 1, 7, 0, 0,  //
                        0, 2, 0, 0, 1, 5, 0, 2, 2, 0, 0, 0, 0, 1};
    EXPECT_EQ(celBits(c), bits);
    EXPECT_EQ(get32(c, 38), bits.size());
    vekDeleteSpriteData(a);
    vekDeleteSpriteData(b);
}

TEST(CompositeSprite, OpaqueBottomLeftPixelBecomesTheKey)
{
    // Canvas rows: 5 6 on top, 5 8 below. The 5 at the bottom-left is the
    // key, so the 5 above it is transparent too and index 8 is opaque.
    HSPRITEDATA top = rawRecord({{5, 6}}), corner = rawRecord({{5}});
    Cel cel = built({{top, 0, 0, 2, 1}, {corner, 0, 1, 1, 2}});
    ASSERT_TRUE(cel);
    const Bytes bits = {0, 2, 1, 0, 1, 8, 0, 0,  //
                        0, 2, 1, 0, 1, 6, 0, 0, 0, 1};
    EXPECT_EQ(celBits(cel.get()), bits);
    vekDeleteSpriteData(top);
    vekDeleteSpriteData(corner);
}

TEST(CompositeSprite, EntriesArePlacedInTheBoundingBoxAndClipped)
{
    // Rectangles (10, 10, 20, 20) and (15, 5, 40, 12): a 30 x 15 canvas,
    // the first image at (0, 5), the second at (5, 0). Both images are
    // larger than their rectangles and show only their top-left part.
    Rows first(12, Bytes(14)), second(9, Bytes(30));
    for (int y = 0; y < 12; y++)
        for (int x = 0; x < 14; x++) first[y][x] = static_cast<BYTE>(20 + x + y);
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 30; x++) second[y][x] = static_cast<BYTE>(100 + (x * 3 + y) % 50);
    HSPRITEDATA a = rawRecord(first), b = rawRecord(second);
    const std::vector<Entry> entries = {{a, 10, 10, 20, 20}, {b, 15, 5, 40, 12}};
    Cel cel = built(entries);
    ASSERT_TRUE(cel);
    EXPECT_EQ(get32(cel.get(), 22), 30u);
    EXPECT_EQ(get32(cel.get(), 26), 15u);
    expectDecodes(cel.get(), composed(entries, {{first, -1}, {second, -1}}));
    vekDeleteSpriteData(a);
    vekDeleteSpriteData(b);
}

TEST(CompositeSprite, LaterEntriesCoverEarlierOnesAndSkipsShowThrough)
{
    // A raw block, a cel with a transparent frame over it, a raw block over
    // both: random placements against the plain composition.
    std::mt19937 random(7);
    auto value = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 40; round++) {
        std::vector<Entry> entries;
        std::vector<Source> sources;
        for (int i = 0; i < 3; i++) {
            const int w = value(1, 9), h = value(1, 7);
            Rows rows(h, Bytes(w));
            for (auto &row : rows)
                for (auto &p : row) p = static_cast<BYTE>(value(0, 3) == 0 ? 200 : value(9, 20));
            const bool asCel = i == 1;
            if (asCel) rows[h - 1][0] = 200;
            HSPRITEDATA image = asCel ? celOf(rows) : rawRecord(rows);
            const LONG left = value(-12, 12), top = value(-12, 12);
            entries.push_back({image, left, top, left + value(1, 10), top + value(1, 8)});
            sources.push_back({rows, asCel ? 200 : -1});
        }
        Cel cel = built(entries);
        ASSERT_TRUE(cel);
        SCOPED_TRACE(round);
        expectDecodes(cel.get(), composed(entries, sources));
        for (const Entry &e : entries) vekDeleteSpriteData(e.image);
    }
}

TEST(CompositeSprite, MirroredEntryIsTurnedBackFirst)
{
    const Rows rows = {{1, 2, 3, 4}, {0, 5, 6, 0}};  // bottom-left 0: the key
    HSPRITEDATA cel = celOf(rows);
    vekFlipSprite(cel);
    ASSERT_EQ(get16(cel, 10), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    const std::vector<Entry> entries = {{cel, 0, 0, 4, 2}};
    Cel composite = built(entries);
    ASSERT_TRUE(composite);
    expectDecodes(composite.get(), composed(entries, {{rows, 0}}));
    EXPECT_EQ(get16(cel, 10), VEK_IMAGE_MIRRORABLE);
    vekDeleteSpriteData(cel);
}

TEST(CompositeSprite, UndrawableEntriesCountButStayTransparent)
{
    HDC screen = GetDC(nullptr);
    auto dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 4, 4, 1));
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dd, nullptr);
    HGLOBAL compositeBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 38);
    auto *composite = static_cast<BYTE *>(GlobalLock(compositeBlock));
    support::put16(composite, 4, VEK_TYPE_COMPOSITE);
    // A DI record whose pixel offset lies beyond its block.
    HSPRITEDATA damaged = rawRecord({{9, 9}});
    support::put32(damaged, 14, 5000);
    HSPRITEDATA real = rawRecord({{4, 4}});

    const std::vector<Entry> entries = {
        {real, 0, 0, 2, 1}, {nullptr, 0, 1, 3, 3}, {dd, 2, 0, 4, 2}, {composite, 0, 2, 1, 4}, {damaged, 1, 0, 2, 1}};
    Cel cel = built(entries);
    ASSERT_TRUE(cel);
    EXPECT_EQ(get32(cel.get(), 22), 4u);
    EXPECT_EQ(get32(cel.get(), 26), 4u);
    const Source none{{}, -1};
    expectDecodes(cel.get(), composed(entries, {{{{4, 4}}, -1}, none, none, none, none}));

    vekDeleteSpriteData(dd);
    GlobalUnlock(compositeBlock);
    GlobalFree(compositeBlock);
    vekDeleteSpriteData(damaged);
    vekDeleteSpriteData(real);
}

TEST(CompositeSprite, RefusedLists)
{
    HSPRITEDATA image = rawRecord(solid(2, 2, 3));
    const Bytes before = blockBytes(image);
    EXPECT_EQ(vekBuildCompositeSprite(nullptr), VEK_CEL_BAD_FORMAT);
    EXPECT_EQ(build({{image, 0, 0, 2, 2}}, 0), VEK_CEL_BAD_FORMAT);
    EXPECT_EQ(build({{image, 0, 0, 2, 2}}, -1), VEK_CEL_BAD_FORMAT);
    // Coordinates must lie within -30000 to 30000.
    EXPECT_EQ(build({{image, 0, 0, 2, 2}, {image, 0, 0, 30001, 2}}), VEK_CEL_BAD_FORMAT);
    EXPECT_EQ(build({{image, -30001, 0, 2, 2}}), VEK_CEL_BAD_FORMAT);
    // Canvases that cannot be made: empty, wider than 32767 pixels, or
    // whose cel could need more working storage than the encoder takes.
    EXPECT_EQ(build({{image, 0, 0, 0, 5}}), VEK_CEL_NO_MEMORY);
    EXPECT_EQ(build({{image, 4, 4, 2, 2}}), VEK_CEL_NO_MEMORY);
    EXPECT_EQ(build({{image, -30000, 0, 2768, 2}}), VEK_CEL_NO_MEMORY);
    EXPECT_EQ(build({{image, 0, 0, 20000, 20000}}), VEK_CEL_NO_MEMORY);
    EXPECT_EQ(blockBytes(image), before);
    // The widest canvas there is still works.
    Cel wide = built({{image, -30000, 0, 2767, 1}});
    ASSERT_TRUE(wide);
    EXPECT_EQ(get32(wide.get(), 22), 32767u);
    vekDeleteSpriteData(image);
}

namespace {

// A memory DC with a palette of 256 distinct colours selected.
class DIBSection : public ::testing::Test {
protected:
    void SetUp() override
    {
        struct {
            WORD version, count;
            PALETTEENTRY entries[256];
        } lp{0x300, 256, {}};
        for (int i = 0; i < 256; i++)
            lp.entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
        std::copy(lp.entries, lp.entries + 256, entries);
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
        dc = CreateCompatibleDC(nullptr);
        oldPalette = SelectPalette(dc, palette, FALSE);
    }
    void TearDown() override
    {
        SelectPalette(dc, oldPalette, FALSE);
        DeleteDC(dc);
        DeleteObject(palette);
    }
    COLORREF colourOf(int index) const
    {
        return RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue);
    }

    PALETTEENTRY entries[256];
    HPALETTE palette = nullptr, oldPalette = nullptr;
    HDC dc = nullptr;
};

}  // namespace

TEST_F(DIBSection, CopiesTheBitsWithColoursOfTheDCPalette)
{
    // Both table layouts: pixels at byte 572 and at byte 1084.
    for (HSPRITEDATA image : {vekCreateSpriteDataObject(5, 3), vekCreateSpriteData(5, 3)}) {
        const DWORD pixels = 4 + get32(image, 14);
        for (int i = 0; i < 8 * 3; i++) image[pixels + i] = static_cast<BYTE>(i * 11 + 3);
        const Bytes before = blockBytes(image);

        HBITMAP section = vekHSPRITEDATAtoDIBSection(dc, image);
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(blockBytes(image), before);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidth, 5);
        EXPECT_EQ(ds.dsBm.bmHeight, 3);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
        ASSERT_NE(ds.dsBm.bmBits, nullptr);
        const auto *bits = static_cast<const BYTE *>(ds.dsBm.bmBits);
        EXPECT_EQ(Bytes(bits, bits + 8 * 3), Bytes(image + pixels, image + pixels + 8 * 3));

        HGDIOBJ old = SelectObject(dc, section);
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 5; x++)
                EXPECT_EQ(GetPixel(dc, x, y), colourOf(image[pixels + (2 - y) * 8 + x])) << x << "," << y;
        SelectObject(dc, old);
        DeleteObject(section);
        vekDeleteSpriteData(image);
    }
}

TEST_F(DIBSection, RefusesRecordsItCannotCopy)
{
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, nullptr), nullptr);

    HSPRITEDATA cel = celOf(solid(4, 2, 1));
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, cel), nullptr);
    vekDeleteSpriteData(cel);

    HDC screen = GetDC(nullptr);
    auto dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 4, 4, 1));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, dd), nullptr);
    vekDeleteSpriteData(dd);

    // Damaged headers: each set of field edits makes the record unusable.
    struct Field {
        size_t at;
        DWORD value;
    };
    const std::vector<std::vector<Field>> edits = {
        {{26, static_cast<DWORD>(-3)}},  // top-down rows
        {{30, 4u << 16 | 1}},            // one plane of 4 bits per pixel
        {{0, 580}},                      // the rows end beyond the image length
        {{0, 100}, {14, 54}},            // rows fit, the index table does not
        {{14, 9000}},                    // pixel offset beyond the block
        {{18, 200}},                     // unknown info header size
    };
    for (const auto &fields : edits) {
        HSPRITEDATA image = vekCreateSpriteDataObject(5, 3);
        for (const Field &f : fields) support::put32(image, f.at, f.value);
        EXPECT_EQ(vekHSPRITEDATAtoDIBSection(dc, image), nullptr) << "field at " << fields[0].at;
        vekDeleteSpriteData(image);
    }
}
