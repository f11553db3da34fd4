// Sprite image records: exact bytes of the created records.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/bytes.h"

namespace {

// The fields every created DI record shares.
void expectHeader(const BYTE *r, LONG width, LONG height, DWORD pixelOffset)
{
    EXPECT_EQ(support::get16(r, 4), 0) << "type word";
    EXPECT_EQ(support::get32(r, 6), 0u) << "bfSize";
    EXPECT_EQ(support::get16(r, 10), 0) << "image flags";
    EXPECT_EQ(support::get32(r, 14), pixelOffset);
    EXPECT_EQ(support::get32(r, 18), 40u);
    EXPECT_EQ((LONG)support::get32(r, 22), width);
    EXPECT_EQ((LONG)support::get32(r, 26), height);
    EXPECT_EQ(support::get16(r, 30), 1);
    EXPECT_EQ(support::get16(r, 32), 8);
    EXPECT_EQ(support::get32(r, 34), 0u);
    EXPECT_EQ(support::get32(r, 38), 0u);
    EXPECT_EQ(support::get32(r, 42), 3800u);
    EXPECT_EQ(support::get32(r, 46), 3800u);
    EXPECT_EQ(support::get32(r, 50), 0u);
    EXPECT_EQ(support::get32(r, 54), 0u);
    for (WORD i = 0; i < 256; i++) ASSERT_EQ(support::get16(r, 58 + 2 * i), i) << "identity entry " << i;
}

}  // namespace

TEST(SpriteImageRecord, ShortTableLayout)
{
    HSPRITEDATA r = vekCreateSpriteDataObject(5, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 596u);
    EXPECT_EQ(support::get32(r, 0), 592u);
    expectHeader(r, 5, 3, 568);
    for (size_t i = 570; i < 596; i++) ASSERT_EQ(r[i], 0) << "byte " << i;
    EXPECT_EQ(GlobalFlags(GlobalHandle(r)) & GMEM_LOCKCOUNT, 1u) << "records stay locked";
    vekDeleteSpriteData(r);
}

TEST(SpriteImageRecord, LongTableLayoutHasSpareBytePerRow)
{
    HSPRITEDATA r = vekCreateSpriteData(5, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 1111u) << "1084 + (8 + 1) * 3";
    EXPECT_EQ(support::get32(r, 0), 1107u);
    expectHeader(r, 5, 3, 1080);
    for (size_t i = 570; i < 1111; i++) ASSERT_EQ(r[i], 0) << "byte " << i;
    vekDeleteSpriteData(r);
}

TEST(SpriteImageRecord, RowsArePaddedToFourBytesOnly)
{
    HSPRITEDATA r = vekCreateSpriteDataObject(8, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 572u + 16u) << "width 8 needs no padding";
    vekDeleteSpriteData(r);
}

TEST(SpriteImageRecord, ImpossibleSizesGiveNull)
{
    EXPECT_EQ(vekCreateSpriteData(0, 10), nullptr);
    EXPECT_EQ(vekCreateSpriteData(10, -1), nullptr);
    EXPECT_EQ(vekCreateSpriteDataObject(32768, 1), nullptr);
}

TEST(SpriteImageRecord, ExWithoutBitZeroMakesShortTableRecord)
{
    auto r = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(nullptr, 5, 3, 2));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(support::get32(r, 14), 568u);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 596u);
    vekDeleteSpriteData(r);
}

TEST(SpriteImageRecord, DDRecordHoldsBlackCompatibleBitmap)
{
    HDC screen = GetDC(nullptr);
    auto r = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 640, 480, 1));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(r)), 14u);
    EXPECT_EQ(support::get16(r, 4), VEK_TYPE_DD);
    EXPECT_EQ(support::get32(r, 6), 0u) << "no mask";
    auto bitmap = reinterpret_cast<HBITMAP>((ULONG_PTR)support::get32(r, 10));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmWidth, 640);
    EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL)) << "display format";

    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 639, 479), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);

    LONG w = 0, h = 0;
    EXPECT_EQ(vekGetSpriteDimensions(r, &w, &h), 0x01E00280u);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(vekGetSpriteDimensions(r, nullptr, nullptr), 0x01E00280u) << "packed without pointers";

    EXPECT_EQ(vekDeleteSpriteData(r), 1);
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0) << "the record owned its bitmap";
    ReleaseDC(nullptr, screen);
}

TEST(SpriteImageRecord, DeletingDDRecordDeletesMaskAndImage)
{
    HDC screen = GetDC(nullptr);
    auto r = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 8, 8, 1));
    ASSERT_NE(r, nullptr);
    HBITMAP mask = CreateBitmap(8, 8, 1, 1, nullptr);
    DWORD value = (DWORD)(ULONG_PTR)mask;
    memcpy(r + 6, &value, 4);
    auto image = reinterpret_cast<HBITMAP>((ULONG_PTR)support::get32(r, 10));
    vekDeleteSpriteData(r);
    BITMAP bm;
    EXPECT_EQ(GetObjectA(mask, sizeof bm, &bm), 0);
    EXPECT_EQ(GetObjectA(image, sizeof bm, &bm), 0);
    ReleaseDC(nullptr, screen);
}

TEST(SpriteImageRecord, DimensionsOfEachKind)
{
    HSPRITEDATA di = vekCreateSpriteData(300, 7);
    LONG w = 0, h = 0;
    EXPECT_EQ(vekGetSpriteDimensions(di, &w, &h), (7u << 16) | 300u);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 7);
    vekDeleteSpriteData(di);

    // A composite record with bounds (10, 20, 110, 70) and no elements.
    HGLOBAL mem = GlobalAlloc(GHND, 38);
    auto *c = static_cast<BYTE *>(GlobalLock(mem));
    const LONG bounds[4] = {10, 20, 110, 70};
    const WORD type = VEK_TYPE_COMPOSITE;
    memcpy(c + 4, &type, 2);
    memcpy(c + 6, bounds, sizeof bounds);
    EXPECT_EQ(vekGetSpriteDimensions(c, &w, &h), (50u << 16) | 100u);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    vekDeleteSpriteData(c);
}
