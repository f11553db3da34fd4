// StretchBlt between 8-bit DIB sections: scaling, and mirroring by extents
// of opposite signs on either side.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi_test_support.h"

using gditest::Dib8;

namespace {

// The rows of a DIB as strings of index digits, for readable failures.
std::string rowsOf(Dib8 &dib)
{
    std::string out;
    for (int y = 0; y < dib.height; y++) {
        for (int x = 0; x < dib.width; x++) out += static_cast<char>('0' + dib.at(x, y));
        out += '|';
    }
    return out;
}

// A 3 x 2 source: 1 2 3 / 4 5 6.
void fillSource(Dib8 &src)
{
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) src.at(x, y) = static_cast<BYTE>(1 + x + 3 * y);
}

}  // namespace

TEST(GdiStretchBlt, ExtentsOfOppositeSignsMirrorTheirAxis)
{
    Dib8 src(3, 2), dst(3, 2);
    fillSource(src);
    struct Case {
        int x, y, w, h, sx, sy, sw, sh;
        const char *expected;
    } cases[] = {
        {0, 0, 3, 2, 0, 0, 3, 2, "123|456|"},
        {0, 0, 3, 2, 2, 0, -3, 2, "321|654|"},   // source counted back from its far column
        {2, 0, -3, 2, 0, 0, 3, 2, "321|654|"},   // destination counted back
        {2, 0, -3, 2, 2, 0, -3, 2, "123|456|"},  // both: no mirror
        {0, 1, 3, -2, 0, 0, 3, 2, "456|123|"},   // upside down
        {2, 1, -3, -2, 0, 0, 3, 2, "654|321|"},  // turned half round
    };
    for (const Case &c : cases) {
        dst.fill(0);
        EXPECT_TRUE(StretchBlt(dst.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
        EXPECT_EQ(rowsOf(dst), c.expected) << c.x << "," << c.y << " " << c.w << "x" << c.h << " from " << c.sx
                                           << "," << c.sy << " " << c.sw << "x" << c.sh;
    }
}

TEST(GdiStretchBlt, EnlargesByRepeatingPixelsAndClipsToBothSurfaces)
{
    Dib8 src(3, 2), dst(6, 4);
    fillSource(src);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    dst.fill(0);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 6, 4, src.dc, 0, 0, 3, 2, SRCCOPY));
    EXPECT_EQ(rowsOf(dst), "112233|112233|445566|445566|");

    // Mirrored and doubled, hanging over the destination's left edge.
    dst.fill(0);
    EXPECT_TRUE(StretchBlt(dst.dc, -2, 0, 6, 2, src.dc, 2, 0, -3, 2, SRCCOPY));
    EXPECT_EQ(rowsOf(dst), "221100|554400|000000|000000|");

    // A source rectangle reaching past the source: only the pixels with a
    // source pixel are drawn.
    dst.fill(9);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 1, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(rowsOf(dst).substr(0, 7), "239999|");
}

TEST(GdiStretchBlt, OperationsWithoutASourceNeedNoSourceDC)
{
    Dib8 dst(3, 2);
    dst.fill(1);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 3, 2, nullptr, 0, 0, 3, 2, DSTINVERT));
    EXPECT_EQ(dst.at(2, 1), 0xFE);
    EXPECT_FALSE(StretchBlt(dst.dc, 0, 0, 3, 2, nullptr, 0, 0, 3, 2, SRCCOPY));
}
