// GDI rules the library relies on beyond what its own tests draw (they run
// on Windows, Wine and the hosted platform alike): handles that fit record
// fields, deferred deletion, bitmap kinds and their pixels, raster
// operations on palette indices, masks, and the StretchDIBits rules for
// top-down and RLE8 images.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/gdi_test_support.h"

using gditest::Dib8;
using gditest::distinctColor;
using gditest::Info256;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

// A bitmap selected into a memory DC of the screen, released at the end.
struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    explicit Surface(HBITMAP b) : bitmap(b), old(SelectObject(dc, b)) {}
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

HBITMAP display(int w, int h)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    return b;
}

// The rows of a DIB as characters '0' + index, for readable failures.
std::string rowsOf(Dib8 &dib)
{
    GdiFlush();
    std::string out;
    for (int y = 0; y < dib.height; y++) {
        for (int x = 0; x < dib.width; x++) out += static_cast<char>('0' + dib.at(x, y));
        out += '|';
    }
    return out;
}

}  // namespace

TEST(GdiObjects, HandlesSelectionAndDeletion)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(7));
    HBITMAP bitmap = CreateBitmap(37, 21, 1, 1, nullptr);
    for (HGDIOBJ h : {HGDIOBJ(brush), HGDIOBJ(bitmap), HGDIOBJ(dc)}) {
        // Records keep handles in 32-bit fields: such a copy names the object.
        const auto stored = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(stored)), h);
    }
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, PALETTEINDEX(7));
    // Selecting returns what was selected; a bitmap lives in one DC.
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right * 100 + box.bottom, 3721) << "the clip box is the bitmap";
    // Deleting a selected object waits until it is deselected; a deleted
    // handle is dead; a stock object stays.
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(brush), DWORD{OBJ_BRUSH}) << "still in use by the DC";
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), static_cast<HGDIOBJ>(brush));
    SelectObject(dc, oldBitmap);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    DeleteDC(dc);
}

TEST(GdiBitmaps, KindsAndTheirPixels)
{
    // Monochrome bits: most significant bit leftmost, rows 16-bit aligned, 1 white.
    const BYTE bits[] = {0xF0, 0x01, 0xAA, 0x80};
    Surface mono(CreateBitmap(16, 2, 1, 1, bits));
    for (int x = 0; x < 16; x++) {
        EXPECT_EQ(GetPixel(mono.dc, x, 0), (bits[x / 8] >> (7 - x % 8)) & 1 ? kWhite : kBlack) << x;
        EXPECT_EQ(GetPixel(mono.dc, x, 1), (bits[2 + x / 8] >> (7 - x % 8)) & 1 ? kWhite : kBlack) << x;
    }
    EXPECT_EQ(GetPixel(mono.dc, 16, 0), CLR_INVALID);
    // A DIB section's pixels are the caller's memory: row 0 of a bottom-up
    // DIB is its bottom row; SetPixel takes the nearest colour of the table.
    Info256 bi(5, 3);
    gditest::fillDistinctColors(bi);
    void *p = nullptr;
    Surface s(CreateDIBSection(nullptr, bi.info(), DIB_RGB_COLORS, &p, nullptr, 0));
    static_cast<BYTE *>(p)[2 * 8 + 4] = 77;
    GdiFlush();
    EXPECT_EQ(GetPixel(s.dc, 4, 0), distinctColor(77));
    EXPECT_EQ(SetPixel(s.dc, 3, 0, distinctColor(200)), distinctColor(200));
    EXPECT_EQ(static_cast<BYTE *>(p)[2 * 8 + 3], 200);
    // CreateDIBitmap: monochrome for a memory DC (only the background colour,
    // white, becomes white), the display's format with its colours for the
    // screen; the info header may be only 2-byte aligned, as records keep
    // it at byte 18.
    alignas(4) BYTE record[18 + sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD)] = {};
    Info256 four(4, 1);
    four.header.biClrUsed = 4;
    four.colors[1] = RGBQUAD{255, 255, 255, 0};
    four.colors[2] = RGBQUAD{0, 0, 255, 0};
    four.colors[3] = RGBQUAD{128, 0, 0, 0};
    std::memcpy(record + 18, &four, sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD));
    const auto *info = reinterpret_cast<const BITMAPINFO *>(record + 18);
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(record + 18);
    const BYTE indices[4] = {1, 0, 2, 3};
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(nullptr);
    for (HDC dc : {mem, screen}) {
        Surface d(CreateDIBitmap(dc, header, CBM_INIT, indices, info, DIB_RGB_COLORS));
        const COLORREF want[4] = {kWhite, kBlack, dc == mem ? kBlack : kRed, dc == mem ? kBlack : RGB(0, 0, 128)};
        for (int x = 0; x < 4; x++) EXPECT_EQ(GetPixel(d.dc, x, 0), want[x]) << x;
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(GdiBlits, OperationsAndMasks)
{
    // The operations the library draws with combine palette indices.
    const std::pair<DWORD, BYTE (*)(BYTE, BYTE, BYTE)> operations[] = {
        {SRCCOPY, [](BYTE, BYTE s, BYTE) { return s; }},
        {SRCAND, [](BYTE d, BYTE s, BYTE) { return BYTE(d & s); }},
        {SRCPAINT, [](BYTE d, BYTE s, BYTE) { return BYTE(d | s); }},
        {PATCOPY, [](BYTE, BYTE, BYTE p) { return p; }},
        {MERGEPAINT, [](BYTE d, BYTE s, BYTE) { return BYTE(~s | d); }},
    };
    Dib8 src(16, 16), dst(16, 16);
    HBRUSH brush = CreateSolidBrush(distinctColor(0x5C));  // exactly entry 0x5C of the table
    HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
    for (const auto &[rop, expect] : operations) {
        for (int i = 0; i < 256; i++) src.at(i % 16, i / 16) = static_cast<BYTE>(i), dst.at(i % 16, i / 16) = BYTE(i * 7 + 3);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 16, 16, src.dc, 0, 0, rop));
        GdiFlush();
        for (int i = 0; i < 256; i++) ASSERT_EQ(dst.at(i % 16, i / 16), expect(BYTE(i * 7 + 3), BYTE(i), 0x5C)) << i;
    }
    SelectObject(dst.dc, oldBrush);
    DeleteObject(brush);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY)) << "the operation needs a source";

    // Monochrome to colour: 0 bits take the text colour, 1 bits the
    // background colour; colour to monochrome: white where the background
    // colour is. A sprite: the mask (white = transparent) ANDed in, then the
    // image (black where transparent) ORed in.
    const BYTE bits[] = {0xA0, 0x00};
    Surface mono(CreateBitmap(4, 1, 1, 1, bits)), image(display(4, 1)), scene(display(4, 1));
    Dib8 colour(4, 1);
    SetTextColor(colour.dc, distinctColor(20));
    SetBkColor(colour.dc, distinctColor(40));
    ASSERT_TRUE(BitBlt(colour.dc, 0, 0, 4, 1, mono.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(rowsOf(colour), "XDXD|") << "'X' is index 40, 'D' index 20";
    SetPixel(image.dc, 1, 0, kRed);
    SetPixel(image.dc, 3, 0, kBlue);
    const RECT all{0, 0, 4, 1};
    FillRect(scene.dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    ASSERT_TRUE(BitBlt(scene.dc, 0, 0, 4, 1, mono.dc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(scene.dc, 0, 0, 4, 1, image.dc, 0, 0, SRCPAINT));
    const COLORREF grey = RGB(128, 128, 128), sprite[4] = {grey, kRed, grey, kBlue};
    for (int x = 0; x < 4; x++) EXPECT_EQ(GetPixel(scene.dc, x, 0), sprite[x]) << x;
    colour.at(1, 0) = 40;
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono.dc, 1, 0), kWhite);
    EXPECT_EQ(GetPixel(mono.dc, 3, 0), kBlack);
}

TEST(GdiStretchDIBits, OriginsAndRle)
{
    // A bottom-up source's origin is its lower-left corner; so is a top-down
    // one's, as on Windows, unless the copy starts at the origin at 1:1; the
    // result is the image's height whatever the rectangle, 0 outside it.
    Info256 bi(3, 2), td(3, -2);
    gditest::fillDistinctColors(bi);
    gditest::fillDistinctColors(td);
    const BYTE bits[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    Dib8 two(2, 2);
    const struct {
        Info256 *info;
        int sx, sy, w;
        const char *rows;
        int result;
    } cases[] = {{&bi, 0, 0, 2, "45|12|", 2}, {&bi, 1, 1, 2, "56|56|", 2}, {&td, 0, 0, 2, "12|45|", 2},
                 {&td, 1, 1, 2, "23|23|", 2}, {&td, 0, 0, 1, "11|44|", 2}, {&bi, 10, 10, 2, "11|44|", 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(StretchDIBits(two.dc, 0, 0, 2, 2, c.sx, c.sy, c.w, c.sy ? 1 : 2, bits, c.info->info(), DIB_RGB_COLORS,
                                SRCCOPY),
                  c.result);
        EXPECT_EQ(rowsOf(two), c.rows) << c.sx << "," << c.sy << " " << c.w;
    }
    // RLE8 leaves passed-over pixels alone; part of the image draws them as
    // index 0, as on Windows.
    const BYTE rle[] = {3, 5, 0, 2, 2, 0, 0, 3, 7, 8, 9, 0, 0, 0, 2, 9, 0, 0, 0, 1};
    Info256 ri(8, 2);
    gditest::fillDistinctColors(ri);
    ri.header.biCompression = BI_RLE8;
    ri.header.biSizeImage = sizeof rle;
    Dib8 wide(8, 2);
    wide.fill(14);  // shown as '>'
    EXPECT_EQ(StretchDIBits(wide.dc, 0, 0, 8, 2, 0, 0, 8, 2, rle, ri.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(rowsOf(wide), "99>>>>>>|555>>789|");
    wide.fill(14);
    StretchDIBits(wide.dc, 0, 0, 4, 2, 4, 0, 4, 2, rle, ri.info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(rowsOf(wide), "0000>>>>|0789>>>>|");
    // RGB colours become the nearest colour of the destination's table.
    Dib8 row(4, 1);
    Info256 rgb(2, 1);
    rgb.header.biClrUsed = 2;
    rgb.colors[0] = RGBQUAD{2, 251, 3, 0};  // nearest distinct colour: (4, 251, 2), entry 4
    StretchDIBits(row.dc, 0, 0, 2, 1, 0, 0, 2, 1, "\0\1", rgb.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(row.at(0, 0), 4);
    EXPECT_EQ(StretchDIBits(row.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), 7, SRCCOPY), 0);
}
