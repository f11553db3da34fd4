// Sprite image records: exact bytes of the created records.
#include <vekkit.h>

#include <gtest/gtest.h>

namespace {

DWORD u32(const BYTE *b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (DWORD)b[at + 3] << 24; }
WORD u16(const BYTE *b, size_t at) { return (WORD)(b[at] | b[at + 1] << 8); }

void release(HSPRITEDATA image)
{
    HGLOBAL mem = GlobalHandle(image);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

// The fields every created DI record shares.
void expectHeader(const BYTE *r, LONG width, LONG height, DWORD pixelOffset)
{
    EXPECT_EQ(u16(r, 4), 0) << "type word";
    EXPECT_EQ(u32(r, 6), 0u) << "bfSize";
    EXPECT_EQ(u16(r, 10), 0) << "image flags";
    EXPECT_EQ(u32(r, 14), pixelOffset);
    EXPECT_EQ(u32(r, 18), 40u);
    EXPECT_EQ((LONG)u32(r, 22), width);
    EXPECT_EQ((LONG)u32(r, 26), height);
    EXPECT_EQ(u16(r, 30), 1);
    EXPECT_EQ(u16(r, 32), 8);
    EXPECT_EQ(u32(r, 34), 0u);
    EXPECT_EQ(u32(r, 38), 0u);
    EXPECT_EQ(u32(r, 42), 3800u);
    EXPECT_EQ(u32(r, 46), 3800u);
    EXPECT_EQ(u32(r, 50), 0u);
    EXPECT_EQ(u32(r, 54), 0u);
    for (WORD i = 0; i < 256; i++) ASSERT_EQ(u16(r, 58 + 2 * i), i) << "identity entry " << i;
}

}  // namespace

TEST(SpriteImageRecord, ShortTableLayout)
{
    HSPRITEDATA r = vekCreateSpriteDataObject(5, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 596u);
    EXPECT_EQ(u32(r, 0), 592u);
    expectHeader(r, 5, 3, 568);
    for (size_t i = 570; i < 596; i++) ASSERT_EQ(r[i], 0) << "byte " << i;
    EXPECT_EQ(GlobalFlags(GlobalHandle(r)) & GMEM_LOCKCOUNT, 1u) << "records stay locked";
    release(r);
}

TEST(SpriteImageRecord, LongTableLayoutHasSpareBytePerRow)
{
    HSPRITEDATA r = vekCreateSpriteData(5, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 1111u) << "1084 + (8 + 1) * 3";
    EXPECT_EQ(u32(r, 0), 1107u);
    expectHeader(r, 5, 3, 1080);
    for (size_t i = 570; i < 1111; i++) ASSERT_EQ(r[i], 0) << "byte " << i;
    release(r);
}

TEST(SpriteImageRecord, RowsArePaddedToFourBytesOnly)
{
    HSPRITEDATA r = vekCreateSpriteDataObject(8, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 572u + 16u) << "width 8 needs no padding";
    release(r);
}

TEST(SpriteImageRecord, ImpossibleSizesGiveNull)
{
    EXPECT_EQ(vekCreateSpriteData(0, 10), nullptr);
    EXPECT_EQ(vekCreateSpriteData(10, -1), nullptr);
    EXPECT_EQ(vekCreateSpriteDataObject(32768, 1), nullptr);
}
