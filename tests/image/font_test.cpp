// Bitmap fonts: text drawn and measured against a plain reference that
// reads the glyphs straight from the file bytes, on random fonts at and
// across every edge of the image; arguments refused; loading from a file.
// Damaged fonts are replayed by the font_text fuzz target.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "support/images.h"

using namespace support;

namespace {

constexpr BYTE kFill = 0xEE;

// One glyph: its width and rows, each a string with '#' for ink.
struct GlyphRows {
    BYTE code;
    WORD width;
    std::vector<std::string> rows;
};

// A version 3.00 font file: 148-byte header, the character table for
// first..last plus the closing entry, then the glyphs as column strips.
// Codes without a glyph get width 0; defaultChar counts from first.
Bytes buildFont(WORD height, BYTE first, BYTE last, BYTE defaultChar, const std::vector<GlyphRows> &glyphs,
                WORD version = 0x0300)
{
    Bytes file(148 + 6 * (static_cast<size_t>(last - first) + 2));
    put16(file.data(), 0, version);
    put16(file.data(), 88, height);
    file[95] = first;
    file[96] = last;
    file[97] = defaultChar;
    for (const GlyphRows &g : glyphs) {
        const size_t at = 148 + 6 * static_cast<size_t>(g.code - first);
        put16(file.data(), at, g.width);
        put32(file.data(), at + 2, static_cast<DWORD>(file.size()));
        Bytes bits((g.width + 7u) / 8u * height);
        for (size_t r = 0; r < g.rows.size() && r < height; r++)
            for (size_t c = 0; c < g.rows[r].size() && c < g.width; c++)
                if (g.rows[r][c] == '#') bits[(c / 8) * height + r] |= static_cast<BYTE>(0x80 >> (c % 8));
        file.insert(file.end(), bits.begin(), bits.end());
    }
    put32(file.data(), 2, static_cast<DWORD>(file.size()));
    return file;
}

// A font handle as gfxLoadFont makes one: the length, then the file.
struct FontHandle {
    HGLOBAL handle;
    explicit FontHandle(const Bytes &file) : handle(GlobalAlloc(GMEM_MOVEABLE, file.size() + 4))
    {
        auto *p = static_cast<BYTE *>(GlobalLock(handle));
        put32(p, 0, static_cast<DWORD>(file.size()));
        std::memcpy(p + 4, file.data(), file.size());
        GlobalUnlock(handle);
    }
    ~FontHandle() { gfxFreeFont(handle); }
    operator HGLOBAL() const { return handle; }
};

// The reference: glyph lookup with the default character counted from the
// first one.
struct Reference {
    const Bytes &file;
    WORD height() const { return get16(file.data(), 88); }
    WORD width(BYTE c, DWORD *offset = nullptr) const
    {
        const int first = file[95], last = file[96], def = first + file[97];
        int code = c;
        if (code < first || code > last) {
            if (code == def) return 0;
            code = def;
            if (code < first || code > last) return 0;
        }
        const size_t entry = 148 + 6 * static_cast<size_t>(code - first);
        if (offset) *offset = get32(file.data(), entry + 2);
        return get16(file.data(), entry);
    }
    DWORD extent(const std::string &text) const
    {
        DWORD w = 0;
        for (unsigned char c : text) w += width(c);
        return static_cast<DWORD>(height()) << 16 | (w & 0xFFFF);
    }
    // Draws into the bytes of a raw record, pixel by pixel; the result
    // gfxTextOutToDIB must give.
    LONG draw(Bytes &image, BYTE colour, LONG x, LONG y, const std::string &text) const
    {
        const LONG w = static_cast<LONG>(get32(image.data(), kWidth)), h = static_cast<LONG>(get32(image.data(), kHeight));
        if (y >= h || x >= w || text.empty()) return 0;
        LONG pen = x;
        for (unsigned char c : text) {
            if (pen >= w) break;
            DWORD offset = 0;
            const WORD cw = width(c, &offset);
            for (WORD col = 0; col < cw; col++)
                for (WORD row = 0; row < height(); row++) {
                    const LONG px = pen + col, py = y + row;
                    const size_t at = static_cast<size_t>(offset) + static_cast<size_t>(col / 8) * height() + row;
                    if (px < 0 || px >= w || py < 0 || py >= h || !(file[at] & (0x80 >> (col % 8))))
                        continue;
                    image[kPixels + static_cast<size_t>(h - 1 - py) * strideOf(w) + px] = colour;
                }
            pen += cw;
        }
        return height() > 0 && y + static_cast<LONG>(height()) > 0 && pen > 0 ? 1 : 0;
    }
};

// Measures and draws text with the library and the reference and compares
// results and every byte of the image.
void expectLikeReference(const Bytes &file, HGLOBAL font, LONG width, LONG height, LONG x, LONG y,
                         const std::string &text, BYTE colour, const std::string &what)
{
    const Reference reference{file};
    EXPECT_EQ(gfxGetTextExtentFont(font, text.c_str(), static_cast<LONG>(text.size())), reference.extent(text)) << what;
    Record image = makeRaw(width, height, kFill);
    Bytes expected = image.bytes();
    const LONG want = reference.draw(expected, colour, x, y, text);
    EXPECT_EQ(gfxTextOutToDIB(image, font, colour | 0x1200, 0, x, y, text.c_str(), static_cast<LONG>(text.size())), want)
        << what << " at " << x << "," << y;
    EXPECT_TRUE(image.bytes() == expected) << what << ": \"" << text << "\" at " << x << "," << y << " in " << width
                                           << "x" << height;
}

// Random proportional glyphs of 0 to 21 columns (up to three strips) for
// codes 32..126; '?' is the default.
Bytes randomFont(std::mt19937 &random, WORD height)
{
    std::vector<GlyphRows> glyphs;
    for (int code = 32; code <= 126; code++) {
        GlyphRows g{static_cast<BYTE>(code), static_cast<WORD>(random() % 22), {}};
        for (int r = 0; r < height; r++) {
            std::string row;
            for (int c = 0; c < g.width; c++) row += random() % 3 ? '#' : '.';
            g.rows.push_back(row);
        }
        glyphs.push_back(g);
    }
    return buildFont(height, 32, 126, '?' - 32, glyphs);
}

std::string randomText(std::mt19937 &random)
{
    std::string text;
    for (int k = 1 + static_cast<int>(random() % 7); k > 0; k--) text += static_cast<char>(28 + random() % 102);
    return text;
}

}  // namespace

TEST(FontText, MatchesTheReferenceAcrossEveryEdge)
{
    std::mt19937 random(1234);
    const Bytes file = randomFont(random, 11);
    FontHandle font(file);
    const LONG sizes[][2] = {{1, 1}, {5, 3}, {17, 9}, {40, 30}, {64, 11}};
    for (const auto &size : sizes)
        for (int i = 0; i < 60; i++) {
            const LONG x = static_cast<LONG>(random() % (size[0] + 60)) - 50;
            const LONG y = static_cast<LONG>(random() % (size[1] + 24)) - 14;
            expectLikeReference(file, font, size[0], size[1], x, y, randomText(random), static_cast<BYTE>(random()),
                                "random font");
        }
    expectLikeReference(file, font, 8, 10, INT_MIN, INT_MIN, "AB", 3, "far away");
}

TEST(FontText, GlyphsAndArguments)
{
    // 'A' has ink in column c of row c % 8, 'B' a full left column; range
    // 'A'..'C', default field 1: the default is 'B'.
    GlyphRows a{'A', 8, {}}, b{'B', 8, {}}, c{'C', 8, {}};
    for (int r = 0; r < 10; r++) {
        std::string diagonal(8, '.');
        diagonal[r % 8] = '#';
        a.rows.push_back(diagonal);
        b.rows.push_back("#.......");
        c.rows.push_back(".......#");
    }
    const Bytes file = buildFont(10, 'A', 'C', 1, {a, b, c});
    FontHandle font(file);
    Record image = makeRaw(16, 10, kFill);
    const Bytes blank = image.bytes();
    EXPECT_EQ(gfxTextOutToDIB(nullptr, font, 3, 0, 0, 0, "A", 1), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, nullptr, 3, 0, 0, 0, "A", 1), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "A", 0), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, -16, 0, "AB", 2), 0) << "ends exactly at the left edge";
    EXPECT_TRUE(image.bytes() == blank);
    // A negative length takes the text up to its zero; codes outside the
    // range draw the default character.
    EXPECT_EQ(gfxTextOutToDIB(image, font, 0x1207, 0, 0, 0, "z\x01", -1), 1);
    for (LONG x = 0; x < 16; x++) EXPECT_EQ(*rawPixel(image, x, 5), x % 8 ? kFill : 7) << x;
    EXPECT_EQ(gfxGetTextExtentFont(font, "zzz", 3), (10u << 16) | 24u);
    EXPECT_EQ(gfxGetTextExtentFont(nullptr, "W", 1), 0u);

    // Widths add up modulo 65536; a default past 255 matches no code.
    const Bytes wide = buildFont(3, 200, 255, 100, {{200, 40000, {}}});
    FontHandle wideFont(wide);
    EXPECT_EQ(gfxGetTextExtentFont(wideFont, "\xC8\xC8", 2), (3u << 16) | (80000u & 0xFFFF));
    EXPECT_EQ(gfxGetTextExtentFont(wideFont, "\x2C", 1), 3u << 16);

    // Images that are not raw 8-bit, or whose rows do not fit the block.
    for (auto [at, value] : {std::pair<size_t, DWORD>{kCompression, BI_RLE8}, {kHeight, 11}, {kType, VEK_TYPE_DD}}) {
        Record bad = makeRaw(16, 10, kFill);
        put32(bad, at, value);
        const Bytes before = bad.bytes();
        EXPECT_EQ(gfxTextOutToDIB(bad, font, 3, 0, 0, 0, "A", 1), 0) << "field " << at;
        EXPECT_TRUE(bad.bytes() == before);
    }

    // Loaded from a file: the length and the file.
    const char *name = "font_test_edge.fnt";
    HFILE out = _lcreat(name, 0);
    _lwrite(out, reinterpret_cast<LPCSTR>(file.data()), static_cast<UINT>(file.size()));
    _lclose(out);
    HGLOBAL loaded = gfxLoadFont(name);
    ASSERT_NE(loaded, nullptr);
    const BYTE *block = static_cast<const BYTE *>(GlobalLock(loaded));
    EXPECT_EQ(get32(block, 0), file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), block + 4));
    GlobalUnlock(loaded);
    gfxFreeFont(loaded);
    DeleteFileA(name);
    EXPECT_EQ(gfxLoadFont("font_test_no_such_file.fnt"), nullptr);
}
