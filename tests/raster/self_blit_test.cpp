// A record drawn into itself: the rectangle is copied as the image stood
// before the call, whichever way source and destination overlap.
#include "support/images.h"

#include <gtest/gtest.h>

using namespace support;

TEST(SelfBlit, CopiesTheImageAsItStoodBeforeTheCall)
{
    constexpr LONG kW = 21, kH = 13;
    const struct {
        LONG x, y, srcX, srcY;
    } moves[] = {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {3, 2, 0, 0},
                 {0, 0, 2, 3}, {2, 0, 0, 3}, {0, 3, 2, 0}, {0, 0, 0, 0}, {5, 4, 1, 1}};
    for (const auto &m : moves) {
        Record r = makeRaw(kW, kH);
        for (LONG y = 0; y < kH; y++)
            for (LONG x = 0; x < kW; x++) *rawPixel(r, x, y) = static_cast<BYTE>(1 + x + kW * y);
        const Bytes before = r.bytes();
        const LONG w = kW - 5, h = kH - 4;
        ASSERT_EQ(vekSpriteBlt(r, m.x, m.y, w, h, r, m.srcX, m.srcY), h);
        for (LONG y = 0; y < kH; y++)
            for (LONG x = 0; x < kW; x++) {
                const bool inside = x >= m.x && x < m.x + w && y >= m.y && y < m.y + h;
                const LONG fromX = inside ? x - m.x + m.srcX : x, fromY = inside ? y - m.y + m.srcY : y;
                ASSERT_EQ(*rawPixel(r, x, y), static_cast<BYTE>(1 + fromX + kW * fromY))
                    << "move (" << m.x << "," << m.y << ") from (" << m.srcX << "," << m.srcY << ") at " << x << ","
                    << y;
            }
    }
}
