// Drawing calls given coordinates at the ends of the int range: whatever the
// sums of positions and extents, each call draws exactly the part of its
// rectangle that lies on the bitmap and nothing else. A table of rectangles
// runs against every call on 16 x 16 8-bit DIB sections, checked pixel by
// pixel against a plain reference that works in 64 bits.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi_test_support.h"
#include "support/wine.h"

using gditest::Dib8;
using gditest::distinctColor;

namespace {

constexpr int kSide = 16;
constexpr BYTE kOld = 7, kBrush = 77;

// The pixels covered by a position and an extent: a negative extent counts
// back from the position, which is then the far pixel.
struct Range {
    int64_t from, to;  // from .. to - 1
};
Range rangeOf(int at, int extent)
{
    return extent < 0 ? Range{int64_t{at} + extent + 1, int64_t{at} + 1} : Range{at, int64_t{at} + extent};
}

// A copy of width x height from (srcX, srcY) to (x, y), as BitBlt takes it.
struct Blit {
    int x, y, width, height, srcX, srcY;
};

const Blit kBlits[] = {
    {INT_MAX, INT_MAX, 32768, 32768, 0, 0},
    {INT_MAX, INT_MAX, 32768, 32768, -100, -100},
    {INT_MAX - 3, 1, 8, 8, -40, 2},
    {2, INT_MAX - 3, 8, 8, 2, -40},
    {INT_MAX - 8, 0, INT_MAX, 8, 0, 0},
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
    {-5, -6, INT_MAX, INT_MAX, 0, 0},
    {3, 2, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
    {3, 2, 8, 8, INT_MAX - 4, INT_MAX - 4},
    {3, 2, 8, 8, INT_MIN, 0},
    {3, 2, 8, 8, -4, -INT_MAX},
    {8, 8, -INT_MAX, -INT_MAX, 0, 0},
    {8, 8, -INT_MAX, -INT_MAX, INT_MAX, INT_MAX},
    {INT_MIN, 4, -1, 4, 0, 0},
    {INT_MIN + 1, 4, -INT_MAX, 4, 5, 5},
    {-3, 4, 8, 4, 10, 9},
    {-5, -5, 8, 8, INT_MAX, INT_MAX},
    {4, 5, 6, 3, 2, 1},
};

// Source pixel (x, y) of every copy: all 256 indices.
BYTE sourceAt(int64_t x, int64_t y) { return static_cast<BYTE>(x + kSide * y); }

struct Bitmaps {
    Dib8 dst{kSide, kSide}, src{kSide, kSide};
    HBRUSH brush = CreateSolidBrush(distinctColor(kBrush));
    HGDIOBJ oldBrush;

    Bitmaps()
    {
        dst.fill(kOld);
        for (int y = 0; y < kSide; y++)
            for (int x = 0; x < kSide; x++) src.at(x, y) = sourceAt(x, y);
        oldBrush = SelectObject(dst.dc, brush);
    }
    ~Bitmaps()
    {
        SelectObject(dst.dc, oldBrush);
        DeleteObject(brush);
    }

    // Compares every destination pixel with expect(x, y).
    void check(const std::function<BYTE(int, int)> &expect)
    {
        for (int y = 0; y < kSide; y++)
            for (int x = 0; x < kSide; x++) ASSERT_EQ(dst.at(x, y), expect(x, y)) << "at " << x << ", " << y;
    }
};

// The reference of a 1:1 copy: destination pixels of the rectangle read the
// source pixel at the same offset; those without one inside the source, or
// outside the destination, stay.
std::function<BYTE(int, int)> copied(const Blit &b, BYTE (*op)(BYTE d, BYTE s))
{
    const Range across = rangeOf(b.x, b.width), down = rangeOf(b.y, b.height);
    const Range fromAcross = rangeOf(b.srcX, b.width), fromDown = rangeOf(b.srcY, b.height);
    return [=](int x, int y) {
        const int64_t sx = fromAcross.from + (x - across.from), sy = fromDown.from + (y - down.from);
        const bool inside = x >= across.from && x < across.to && y >= down.from && y < down.to && sx >= 0 &&
                            sx < kSide && sy >= 0 && sy < kSide;
        return inside ? op(kOld, sourceAt(sx, sy)) : kOld;
    };
}

std::function<BYTE(int, int)> filled(Range across, Range down)
{
    return [=](int x, int y) {
        return x >= across.from && x < across.to && y >= down.from && y < down.to ? kBrush : kOld;
    };
}

// Wine works out extents and far edges in 32 bits: a fill whose extent or
// far edge passes the int range wraps around and is drawn elsewhere there.
bool wineWraps(int at, int64_t extent)
{
    const auto outside = [](int64_t v) { return v < INT_MIN || v >= INT_MAX; };
    return onWine() && (at == INT_MAX || outside(extent) || outside(at + extent));
}

BYTE copyOp(BYTE, BYTE s) { return s; }
BYTE andOp(BYTE d, BYTE s) { return static_cast<BYTE>(d & s); }

std::string describe(const Blit &b)
{
    return std::to_string(b.x) + ", " + std::to_string(b.y) + ", " + std::to_string(b.width) + " x " +
           std::to_string(b.height) + " from " + std::to_string(b.srcX) + ", " + std::to_string(b.srcY);
}

}  // namespace

TEST(GdiExtremeCoordinates, CopiesDrawOnlyWhatLiesOnBothBitmaps)
{
    for (const Blit &b : kBlits) {
        SCOPED_TRACE(describe(b));
        {
            Bitmaps m;
            EXPECT_TRUE(BitBlt(m.dst.dc, b.x, b.y, b.width, b.height, m.src.dc, b.srcX, b.srcY, SRCCOPY));
            m.check(copied(b, copyOp));
        }
        {
            Bitmaps m;
            EXPECT_TRUE(BitBlt(m.dst.dc, b.x, b.y, b.width, b.height, m.src.dc, b.srcX, b.srcY, SRCAND));
            m.check(copied(b, andOp));
        }
        {
            Bitmaps m;
            EXPECT_TRUE(StretchBlt(m.dst.dc, b.x, b.y, b.width, b.height, m.src.dc, b.srcX, b.srcY, b.width,
                                   b.height, SRCCOPY));
            m.check(copied(b, copyOp));
        }
    }
}

TEST(GdiExtremeCoordinates, FillsDrawOnlyWhatLiesOnTheBitmap)
{
    for (const Blit &b : kBlits) {
        if (!wineWraps(b.x, b.width) && !wineWraps(b.y, b.height)) {
            SCOPED_TRACE("PatBlt " + describe(b));
            Bitmaps m;
            EXPECT_TRUE(PatBlt(m.dst.dc, b.x, b.y, b.width, b.height, PATCOPY));
            m.check(filled(rangeOf(b.x, b.width), rangeOf(b.y, b.height)));
        }
        const int64_t edgeWidth = int64_t{b.srcX} - b.x, edgeHeight = int64_t{b.srcY} - b.y;
        if (!wineWraps(b.x, edgeWidth) && !wineWraps(b.y, edgeHeight)) {
            // FillRect takes edges, the rectangle from (x, y) to (srcX,
            // srcY), and fills it as PatBlt fills the edges' differences.
            SCOPED_TRACE("FillRect " + describe(b));
            Bitmaps m;
            const RECT r{b.x, b.y, b.srcX, b.srcY};
            FillRect(m.dst.dc, &r, m.brush);
            const auto between = [](int a, int c) {
                return c < a ? Range{int64_t{c} + 1, int64_t{a} + 1} : Range{a, c};
            };
            m.check(filled(between(b.x, b.srcX), between(b.y, b.srcY)));
        }
        {
            // Rectangle with the null pen fills left .. right - 2 (edges
            // swapped into order first).
            SCOPED_TRACE("Rectangle " + describe(b));
            Bitmaps m;
            SelectObject(m.dst.dc, GetStockObject(NULL_PEN));
            EXPECT_TRUE(Rectangle(m.dst.dc, b.x, b.y, b.srcX, b.srcY));
            const auto inside = [](int a, int c) { return Range{std::min(a, c), int64_t{std::max(a, c)} - 1}; };
            m.check(filled(inside(b.x, b.srcX), inside(b.y, b.srcY)));
        }
    }
}

TEST(GdiExtremeCoordinates, StretchesDrawNothingOutsideTheirRectangle)
{
    const int extents[] = {1, 3, INT_MAX, -INT_MAX, 40000};
    for (const Blit &b : kBlits)
        for (int srcWidth : extents) {
            SCOPED_TRACE(describe(b) + " source width " + std::to_string(srcWidth));
            Bitmaps m;
            StretchBlt(m.dst.dc, b.x, b.y, b.width, b.height, m.src.dc, b.srcX, b.srcY, srcWidth, b.height / 2 + 1,
                       SRCCOPY);
            const Range across = rangeOf(b.x, b.width), down = rangeOf(b.y, b.height);
            m.check([&](int x, int y) {
                const bool inside = x >= across.from && x < across.to && y >= down.from && y < down.to;
                return inside ? m.dst.at(x, y) : kOld;
            });
        }
}

TEST(GdiExtremeCoordinates, DibCopiesDrawOnlyWhatLiesOnTheBitmap)
{
    // A bottom-up image whose row y from the top holds the source pixels of
    // row y; the source rectangle's y counts from its bottom row. The same
    // image run-length encoded: each row one literal block.
    gditest::Info256 bi(kSide, kSide);
    gditest::fillDistinctColors(bi);
    BYTE pixels[kSide * kSide];
    std::vector<BYTE> rle;
    for (int y = 0; y < kSide; y++)
        for (int x = 0; x < kSide; x++) pixels[(kSide - 1 - y) * kSide + x] = sourceAt(x, y);
    for (int row = 0; row < kSide; row++) {
        rle.insert(rle.end(), {0, kSide});
        rle.insert(rle.end(), pixels + row * kSide, pixels + (row + 1) * kSide);
        rle.insert(rle.end(), {0, 0});
    }
    rle.insert(rle.end(), {0, 1});
    gditest::Info256 biRle(kSide, kSide);
    biRle.header.biCompression = BI_RLE8;
    biRle.header.biSizeImage = static_cast<DWORD>(rle.size());
    std::copy(bi.colors, bi.colors + 256, biRle.colors);
    for (const Blit &b : kBlits) {
        if (b.width < 0 || b.height < 0) continue;
        SCOPED_TRACE(describe(b));
        Bitmaps m;
        const int lines = StretchDIBits(m.dst.dc, b.x, b.y, b.width, b.height, b.srcX, b.srcY, b.width, b.height,
                                        pixels, bi.info(), DIB_RGB_COLORS, SRCCOPY);
        EXPECT_TRUE(lines == 0 || lines == kSide) << lines;
        Bitmaps fromRle;
        StretchDIBits(fromRle.dst.dc, b.x, b.y, b.width, b.height, b.srcX, b.srcY, b.width, b.height, rle.data(),
                      biRle.info(), DIB_RGB_COLORS, SRCCOPY);
        for (int i = 0; i < kSide * kSide; i++)
            ASSERT_EQ(fromRle.dst.bits[i], m.dst.bits[i]) << "run-length image, pixel " << i;
        // The source rectangle in rows from the top.
        const Blit fromTop{b.x, b.y, b.width, b.height, b.srcX,
                           static_cast<int>(std::clamp<int64_t>(int64_t{kSide} - b.srcY - b.height, INT_MIN, INT_MAX))};
        m.check(copied(fromTop, copyOp));
    }
}

TEST(GdiExtremeCoordinates, ScanLineRangesEndAtTheBitmap)
{
    struct Lines {
        UINT start, lines;
        int copied;
    };
    const Lines cases[] = {{UINT_MAX, UINT_MAX, 0}, {0x80000000u, 0x80000000u, 0}, {15, UINT_MAX, 1},
                           {16, 1, 0},           {3, INT_MAX, 13},             {0, 0, 0}};
    gditest::Info256 bi(kSide, kSide);
    gditest::fillDistinctColors(bi);
    BYTE pixels[kSide * kSide];
    for (int i = 0; i < kSide * kSide; i++) pixels[i] = static_cast<BYTE>(i);
    for (const Lines &c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " + " + std::to_string(c.lines));
        Bitmaps m;
        const int set = SetDIBits(m.dst.dc, m.dst.bitmap, c.start, c.lines, pixels, bi.info(), DIB_RGB_COLORS);
        BYTE out[kSide * kSide];
        std::fill(std::begin(out), std::end(out), BYTE{0xAB});
        gditest::Info256 query(kSide, kSide);
        const int got = GetDIBits(m.src.dc, m.dst.bitmap, c.start, c.lines, out, query.info(), DIB_RGB_COLORS);
        // Nothing is written past the lines a call reports.
        for (int i = std::clamp(got, 0, kSide) * kSide; i < kSide * kSide; i++)
            ASSERT_EQ(out[i], 0xAB) << "past the lines copied";
        // Wine adds start and lines in 32 bits and reports what comes of it;
        // it returns 1 from GetDIBits for every range here.
        if (onWine()) continue;
        EXPECT_EQ(set, c.copied);
        EXPECT_EQ(got, c.copied);
        // Scan line k (from the bottom) of the bitmap now holds the
        // caller's line k - start.
        m.check([&](int x, int y) {
            const int64_t line = kSide - 1 - y;
            return line >= c.start && line < int64_t{c.start} + c.copied ? pixels[(line - c.start) * kSide + x] : kOld;
        });
    }
}
