// Sprite format conversions: run-length encoded records expanded to raw
// ones, and DI records turned into DD records whose mask and image bitmaps
// are read back.
#include <windows.h>
#include <vekkit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bitmap_files.h"
#include "raster/sprite_images.h"
#include "support/res_file.h"

using rt::Bytes;
using rt::Record;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// A 4 x 2 cel, top row first: . 5 5 5 / 1 2 3 4 (. transparent). The
// stream starts with the bottom row; every row starts with a skip, so that
// the cel can be mirrored in place.
Bytes sampleStream()
{
    Bytes s;
    rt::skip(s, 0);
    rt::absolute(s, {1, 2, 3, 4});
    rt::endRow(s);
    rt::skip(s, 1);
    rt::run(s, 3, 5);
    rt::endRow(s);
    rt::endImage(s);
    return s;
}
const int kSample[2][4] = {{-1, 5, 5, 5}, {1, 2, 3, 4}};

Record sampleCel(WORD flags = 0) { return rt::makeRle(4, 2, sampleStream(), flags); }

// 256 palette entries: 0 black, 255 white, 1 to 5 static colours of a
// palette display (so that device bitmaps hold them exactly), the others
// distinct colours.
std::vector<PALETTEENTRY> paletteEntries()
{
    std::vector<PALETTEENTRY> e(256);
    for (int i = 0; i < 256; i++) e[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    e[0] = PALETTEENTRY{0, 0, 0, 0};
    e[255] = PALETTEENTRY{255, 255, 255, 0};
    e[1] = PALETTEENTRY{255, 0, 0, 0};
    e[2] = PALETTEENTRY{0, 255, 0, 0};
    e[3] = PALETTEENTRY{0, 0, 255, 0};
    e[4] = PALETTEENTRY{255, 255, 0, 0};
    e[5] = PALETTEENTRY{0, 255, 255, 0};
    return e;
}

// A block of the library's kind holding a copy of a record, for the calls
// that consume their source.
HSPRITEDATA ownedCopy(const Record &r)
{
    const Bytes bytes = r.bytes();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    std::copy(bytes.begin(), bytes.end(), p);
    return p;
}

COLORREF colorOf(const std::vector<PALETTEENTRY> &e, int index)
{
    return RGB(e[index].peRed, e[index].peGreen, e[index].peBlue);
}

HBITMAP maskOf(HSPRITEDATA dd) { return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(rt::get32(dd, 6))); }
HBITMAP imageOf(HSPRITEDATA dd) { return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(rt::get32(dd, 10))); }

// The mask and image bitmaps of a DD record made from the sample cel.
void expectSampleBitmaps(HSPRITEDATA dd, const std::vector<PALETTEENTRY> &e, const char *what)
{
    const std::vector<COLORREF> mask = images::bitmapColors(maskOf(dd), 4, 2);
    const std::vector<COLORREF> image = images::bitmapColors(imageOf(dd), 4, 2);
    ASSERT_EQ(mask.size(), 8u) << what;
    ASSERT_EQ(image.size(), 8u) << what;
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++) {
            const int index = kSample[y][x];
            EXPECT_EQ(mask[y * 4 + x], index < 0 ? kWhite : kBlack) << what << ": mask " << x << "," << y;
            EXPECT_EQ(image[y * 4 + x], index < 0 ? kBlack : colorOf(e, index)) << what << ": image " << x << "," << y;
        }
}

}  // namespace

TEST(RLESpriteToRGBSprite, ExpandsOverTransparentIndexEight)
{
    Record cel = sampleCel();
    const Bytes before = cel.bytes();
    Record raw(vekRLESpriteToRGBSprite(cel));
    ASSERT_NE(raw.get(), nullptr);
    EXPECT_EQ(rt::get32(raw, rt::kCompression), (DWORD)BI_RGB);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(*rt::rawPixel(raw, x, y), kSample[y][x] < 0 ? 8 : kSample[y][x]);
    EXPECT_EQ(cel.bytes(), before) << "the source stays as it was";

    // A cel of transparent rows only.
    Bytes empty;
    rt::endRow(empty);
    rt::endRow(empty);
    rt::endImage(empty);
    Record clear = rt::makeRle(3, 2, empty);
    Record all8(vekRLESpriteToRGBSprite(clear));
    ASSERT_NE(all8.get(), nullptr);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) EXPECT_EQ(*rt::rawPixel(all8, x, y), 8);

    // A mirrored source shows its unmirrored image.
    Record mirrored = sampleCel(VEK_IMAGE_MIRRORABLE);
    vekFlipSprite(mirrored);
    ASSERT_EQ(mirrored.flags() & VEK_IMAGE_MIRRORED, VEK_IMAGE_MIRRORED);
    Record unmirrored(vekRLESpriteToRGBSprite(mirrored));
    ASSERT_NE(unmirrored.get(), nullptr);
    EXPECT_EQ(*rt::rawPixel(unmirrored, 0, 1), 1);
    EXPECT_EQ(*rt::rawPixel(unmirrored, 3, 1), 4);
}

TEST(DISpriteToDDSprite, MaskIsBlackExactlyAtOpaquePixelsAndAgreesWithTheImage)
{
    const std::vector<PALETTEENTRY> e = paletteEntries();
    HDC screen = GetDC(nullptr);
    for (bool mirrored : {false, true}) {
        Record cel = sampleCel(mirrored ? VEK_IMAGE_MIRRORABLE : 0);
        if (mirrored) vekFlipSprite(cel);
        HSPRITEDATA dd = vekDISpriteToDDSprite(screen, ownedCopy(cel), e.data(), 1);
        ASSERT_NE(dd, nullptr);
        EXPECT_EQ(rt::get32(dd, 0), 0u);
        EXPECT_EQ(rt::get16(dd, 4), VEK_TYPE_DD);
        EXPECT_GE(GlobalSize(GlobalHandle(dd)), 18u);
        BITMAP mask;
        ASSERT_EQ(GetObjectA(maskOf(dd), sizeof mask, &mask), (int)sizeof mask);
        EXPECT_EQ(mask.bmBitsPixel, 1) << "a monochrome mask";
        expectSampleBitmaps(dd, e, mirrored ? "mirrored source" : "source");
        vekFreeDDSprite(dd);
    }
    ReleaseDC(nullptr, screen);
}

TEST(DISpriteToDDSprite, RawSourcesGiveAnAllWhiteMaskAndNoMaskWhenNoneIsAsked)
{
    const std::vector<PALETTEENTRY> e = paletteEntries();
    HDC screen = GetDC(nullptr);
    Record raw = rt::makeRaw(2, 1);
    *rt::rawPixel(raw, 0, 0) = 3;
    *rt::rawPixel(raw, 1, 0) = 0;
    HSPRITEDATA dd = vekDISpriteToDDSprite(screen, ownedCopy(raw), e.data(), 1);
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(images::bitmapColors(maskOf(dd), 2, 1), (std::vector<COLORREF>{kWhite, kWhite}));
    EXPECT_EQ(images::bitmapColors(imageOf(dd), 2, 1), (std::vector<COLORREF>{RGB(0, 0, 255), kBlack}));
    vekFreeDDSprite(dd);

    dd = vekDISpriteToDDSprite(screen, ownedCopy(sampleCel()), e.data(), 0);
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(maskOf(dd), nullptr);
    HBITMAP image = imageOf(dd);
    EXPECT_EQ(images::bitmapColors(image, 4, 2)[4], colorOf(e, 1));
    vekFreeDDSprite(dd);
    BITMAP gone;
    EXPECT_EQ(GetObjectA(image, sizeof gone, &gone), 0) << "the image bitmap is deleted with the record";

    EXPECT_EQ(vekDISpriteToDDSprite(screen, ownedCopy(rt::makeRaw(1, 1)), nullptr, 1), nullptr)
        << "no palette entries: nothing to colour the bitmaps with";
    ReleaseDC(nullptr, screen);
}

TEST(LoadSpriteDataEx, LoadsDIOrConvertsThroughTheDCPalette)
{
    // An RLE8 bitmap file of the sample cel.
    const Bytes stream = sampleStream();
    Bytes file = images::bitmapFile(4, 2, std::vector<BYTE>(8, 0));
    file.resize(14 + 40 + 1024);
    file.insert(file.end(), stream.begin(), stream.end());
    rt::put32(file.data(), 2, static_cast<DWORD>(file.size()));
    rt::put32(file.data(), 30, BI_RLE8);
    rt::put32(file.data(), 34, static_cast<DWORD>(stream.size()));
    const std::string path = support::programPath() + "-cel.bmp";
    ASSERT_TRUE(support::writeFileBytes(path, file));

    VEKCONTEXT context{};
    HDC screen = GetDC(nullptr);
    Record plain(vekLoadSpriteData(nullptr, path.c_str(), 1));
    Record di(vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1));
    ASSERT_NE(di.get(), nullptr);
    EXPECT_EQ(di.bytes(), plain.bytes()) << "without the DD option: what vekLoadSpriteData loads";

    const std::vector<PALETTEENTRY> e = paletteEntries();
    struct {
        WORD version = 0x300, count = 256;
        PALETTEENTRY entries[256];
    } lp;
    std::copy(e.begin(), e.end(), lp.entries);
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HPALETTE old = SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    context.options = VEK_OPTION_DD_OFFSCREEN;
    HSPRITEDATA dd = vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1);
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(rt::get16(dd, 4), VEK_TYPE_DD);
    EXPECT_GE(GlobalSize(GlobalHandle(dd)), 14u);
    expectSampleBitmaps(dd, e, "loaded");
    vekFreeDDSprite(dd);
    SelectPalette(screen, old, FALSE);
    DeleteObject(palette);

    DeleteFileA(path.c_str());
    EXPECT_EQ(vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1), nullptr);
    ReleaseDC(nullptr, screen);
}
