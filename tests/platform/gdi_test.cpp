// GDI calls the library and its tests rely on: objects and their handles,
// DC attributes, bitmaps and DIB sections, raster operations between 8-bit
// DIB sections (where they combine palette indices), display and
// monochrome bitmaps, StretchBlt and StretchDIBits; all read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi_test_support.h"

using gditest::Dib8;
using gditest::distinctColor;
using gditest::Info256;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

BITMAP bitmapOf(HGDIOBJ h)
{
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(h, sizeof bm, &bm), static_cast<int>(sizeof bm));
    return bm;
}

// A bitmap selected into a fresh memory DC (of the screen for display
// bitmaps), released at the end.
struct Surface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    explicit Surface(HBITMAP b, HDC like = nullptr) : dc(CreateCompatibleDC(like)), bitmap(b), old(SelectObject(dc, b)) {}
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

HBITMAP display(int w, int h, COLORREF fill)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return b;
}

// The rows of a DIB as index digits, for readable failures.
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
    HPEN pen = CreatePen(PS_DASH, 3, RGB(10, 20, 30));
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    const LOGPALETTE lp{0x300, 1, {{10, 20, 30, 0}}};
    HPALETTE palette = CreatePalette(&lp);
    const std::pair<HGDIOBJ, DWORD> objects[] = {
        {brush, OBJ_BRUSH}, {pen, OBJ_PEN}, {bitmap, OBJ_BITMAP}, {dc, OBJ_MEMDC}, {palette, OBJ_PAL}};
    for (const auto &[h, type] : objects) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(h) >> 32, 0u) << "a GDI handle fits a 32-bit record field";
        EXPECT_EQ(GetObjectType(h), type);
        // A 32-bit copy of a handle, as records keep them, names the same object.
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(static_cast<uint32_t>(
                      reinterpret_cast<uintptr_t>(h))))),
                  type);
    }
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, PALETTEINDEX(7));
    LOGPEN lpen{};
    ASSERT_EQ(GetObjectA(pen, sizeof lpen, &lpen), static_cast<int>(sizeof lpen));
    EXPECT_EQ(lpen.lopnStyle, UINT{PS_DASH});
    EXPECT_EQ(lpen.lopnColor, RGB(10, 20, 30));

    // A new DC holds the white brush, the black pen and a 1 x 1 monochrome
    // bitmap; selecting returns what was selected.
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(bitmapOf(GetCurrentObject(dc, OBJ_BITMAP)).bmBitsPixel, 1);
    EXPECT_EQ(SelectObject(dc, palette), nullptr) << "palettes go through SelectPalette";
    EXPECT_EQ(SelectPalette(dc, reinterpret_cast<HPALETTE>(brush), FALSE), nullptr) << "a brush is not a palette";
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap lives in one memory DC at a time";
    DeleteDC(other);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectObject(nullptr, brush), nullptr);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});

    // Deleting a selected object waits until it is deselected; a deleted
    // handle is dead; stock objects stay.
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(brush), DWORD{OBJ_BRUSH}) << "still in use by the DC";
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), static_cast<HGDIOBJ>(brush));
    EXPECT_EQ(GetObjectType(brush), 0u) << "gone once deselected";
    SelectObject(dc, oldBitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_FALSE(DeleteObject(brush)) << "and cannot be deleted twice";
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "deleting null touches no error";
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(GetObjectType(white), DWORD{OBJ_BRUSH}) << "deleting a stock object does nothing";
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, UINT{BS_NULL});
    PALETTEENTRY e[20];
    ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, e), 20u);
    EXPECT_EQ(RGB(e[7].peRed, e[7].peGreen, e[7].peBlue), RGB(192, 192, 192)) << "the 20 static colours";
    EXPECT_EQ(RGB(e[19].peRed, e[19].peGreen, e[19].peBlue), kWhite);

    // DC attributes swap and read back; the clip box is the bitmap.
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), kWhite);
    EXPECT_EQ(SetTextColor(dc, PALETTEINDEX(4)), kBlack);
    EXPECT_EQ(GetTextColor(dc), PALETTEINDEX(4));
    POINT origin{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(dc, 3, 5, &origin));
    EXPECT_EQ(origin.x, 0);
    EXPECT_TRUE(GetBrushOrgEx(dc, &origin));
    EXPECT_EQ(origin.y, 5);
    EXPECT_NE(SetStretchBltMode(dc, COLORONCOLOR), 0);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    HBITMAP big = CreateBitmap(37, 21, 1, 1, nullptr);
    oldBitmap = SelectObject(dc, big);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 37);
    EXPECT_EQ(box.bottom, 21);
    EXPECT_EQ(GetClipBox(nullptr, &box), ERROR);
    SelectObject(dc, oldBitmap);
    DeleteObject(big);
    DeleteObject(pen);
    DeleteObject(palette);
    DeleteDC(dc);
    EXPECT_FALSE(DeleteDC(dc));

    // The display: the same device through a memory DC.
    HDC screen = GetDC(nullptr);
    const int bpp = GetDeviceCaps(screen, BITSPIXEL), caps = GetDeviceCaps(screen, RASTERCAPS);
    EXPECT_TRUE(bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) << bpp;
    EXPECT_EQ(GetDeviceCaps(screen, NUMRESERVED), 20);
    EXPECT_TRUE((caps & RC_BITBLT) && (caps & RC_STRETCHDIB));
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), caps & RC_PALETTE ? 256 : 0);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(GetDeviceCaps(memory, RASTERCAPS), caps);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(GdiBitmaps, KindsAndTheirPixels)
{
    // Compatible bitmaps take the DC's format: monochrome for a fresh
    // memory DC (rows 16-bit aligned), the display's for the screen; black.
    HDC mem = CreateCompatibleDC(nullptr);
    const BITMAP mono = bitmapOf(Surface(CreateCompatibleBitmap(mem, 10, 3)).bitmap);
    EXPECT_EQ(mono.bmBitsPixel, 1);
    EXPECT_EQ(mono.bmWidthBytes, 2);
    EXPECT_EQ(CreateCompatibleBitmap(mem, 0, 0), GetCurrentObject(mem, OBJ_BITMAP)) << "an empty size: the default";
    DeleteDC(mem);
    HDC screen = GetDC(nullptr);
    {
        Surface d(CreateCompatibleBitmap(screen, 5, 4), screen);
        EXPECT_EQ(bitmapOf(d.bitmap).bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
        EXPECT_EQ(GetPixel(d.dc, 4, 3), kBlack);
        EXPECT_EQ(GetPixel(d.dc, 5, 0), CLR_INVALID) << "outside the bitmap";
    }
    // Monochrome bits: most significant bit leftmost, 1 is white.
    const BYTE bits[] = {0xF0, 0x01, 0xAA, 0x80};
    Surface m(CreateBitmap(16, 2, 1, 1, bits));
    for (int x = 0; x < 16; x++) {
        EXPECT_EQ(GetPixel(m.dc, x, 0), (bits[x / 8] >> (7 - x % 8)) & 1 ? kWhite : kBlack) << x;
        EXPECT_EQ(GetPixel(m.dc, x, 1), (bits[2 + x / 8] >> (7 - x % 8)) & 1 ? kWhite : kBlack) << x;
    }

    // A DIB section's pixels are the caller's memory: row 0 of a bottom-up
    // DIB is the bottom row, 32-bit aligned; SetPixel takes the nearest colour.
    Info256 bi(5, 3);
    gditest::fillDistinctColors(bi);
    void *p = nullptr;
    Surface s(CreateDIBSection(nullptr, bi.info(), DIB_RGB_COLORS, &p, nullptr, 0));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(s.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, p);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 24u);
    static_cast<BYTE *>(p)[2 * 8 + 4] = 77;
    GdiFlush();
    EXPECT_EQ(GetPixel(s.dc, 4, 0), distinctColor(77));
    EXPECT_EQ(SetPixel(s.dc, 3, 0, distinctColor(200)), distinctColor(200));
    EXPECT_EQ(static_cast<BYTE *>(p)[2 * 8 + 3], 200);

    // DIB_PAL_COLORS: the colours of the DC's palette at the call.
    struct {
        WORD version, count;
        PALETTEENTRY entries[3];
    } lp = {0x300, 3, {{200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HDC pdc = CreateCompatibleDC(nullptr);
    HPALETTE oldPalette = SelectPalette(pdc, palette, FALSE);
    Info256 pal(3, -1);
    pal.header.biClrUsed = 3;
    pal.indices[0] = 2;
    pal.indices[1] = 1;
    pal.indices[2] = 0;
    HBITMAP indexed = CreateDIBSection(pdc, pal.info(), DIB_PAL_COLORS, &p, nullptr, 0);
    std::memcpy(p, "\0\1\2", 3);
    HGDIOBJ old = SelectObject(pdc, indexed);
    EXPECT_EQ(GetPixel(pdc, 0, 0), RGB(0, 0, 200));
    EXPECT_EQ(GetPixel(pdc, 2, 0), RGB(200, 0, 0));
    SelectObject(pdc, old);
    SelectPalette(pdc, oldPalette, FALSE);
    DeleteObject(indexed);
    DeleteObject(palette);
    DeleteDC(pdc);

    // GetDIBits: 8 bits bottom-up from a line up, 32 bits top-down.
    SelectObject(s.dc, s.old);
    Info256 back(5, 3);
    BYTE rows[24];
    std::memset(rows, 0xEE, sizeof rows);
    ASSERT_EQ(GetDIBits(s.dc, s.bitmap, 2, 5, rows, back.info(), DIB_RGB_COLORS), 1) << "lines past the top are not there";
    EXPECT_EQ(rows[4], 77);
    EXPECT_EQ(rows[8], 0xEE) << "only one line written";
    Info256 wide(5, -3, 32);
    DWORD pixels[15] = {};
    ASSERT_EQ(GetDIBits(s.dc, s.bitmap, 0, 3, pixels, wide.info(), DIB_RGB_COLORS), 3);
    const COLORREF c77 = distinctColor(77);
    EXPECT_EQ(pixels[4], static_cast<DWORD>(GetRValue(c77) << 16 | GetGValue(c77) << 8 | GetBValue(c77)));
    s.old = SelectObject(s.dc, s.bitmap);

    // CreateDIBitmap: monochrome for a memory DC (only the background colour,
    // white, becomes white), the display's format for the screen with its
    // colours kept; the info header may be only 2-byte aligned, as records
    // keep it at byte 18.
    alignas(4) BYTE record[18 + sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD)] = {};
    Info256 four(4, 1);
    four.header.biClrUsed = 4;
    four.colors[1] = RGBQUAD{255, 255, 255, 0};
    four.colors[2] = RGBQUAD{0, 0, 255, 0};
    four.colors[3] = RGBQUAD{128, 0, 0, 0};
    std::memcpy(record + 18, &four, sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD));
    const auto *info = reinterpret_cast<const BITMAPINFO *>(record + 18);
    const BYTE indices[4] = {1, 0, 2, 3};
    mem = CreateCompatibleDC(nullptr);
    for (HDC dc : {mem, screen}) {
        Surface d(CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, indices, info, DIB_RGB_COLORS), screen);
        EXPECT_EQ(bitmapOf(d.bitmap).bmBitsPixel, dc == mem ? 1 : GetDeviceCaps(screen, BITSPIXEL));
        const COLORREF want[4] = {kWhite, kBlack, dc == mem ? kBlack : kRed, dc == mem ? kBlack : RGB(0, 0, 128)};
        for (int x = 0; x < 4; x++) EXPECT_EQ(GetPixel(d.dc, x, 0), want[x]) << x;
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr) << "two planes";
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(CreateBitmap(0x7FFFFFF, 0x7FFFFFF, 1, 1, nullptr), nullptr) << "too big";
    Info256 odd(4, 4, 7);
    p = reinterpret_cast<void *>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, odd.info(), DIB_RGB_COLORS, &p, nullptr, 0), nullptr) << "7 bits per pixel";
    EXPECT_EQ(p, nullptr) << "the bits pointer is cleared on failure";
}

TEST(GdiBlits, RasterOperationsMasksAndStretches)
{
    // The operations the library draws with combine palette indices.
    struct Case {
        DWORD rop;
        BYTE (*expect)(BYTE d, BYTE s, BYTE p);
    } cases[] = {
        {SRCCOPY, [](BYTE, BYTE s, BYTE) { return s; }},
        {SRCAND, [](BYTE d, BYTE s, BYTE) { return BYTE(d & s); }},
        {SRCPAINT, [](BYTE d, BYTE s, BYTE) { return BYTE(d | s); }},
        {SRCINVERT, [](BYTE d, BYTE s, BYTE) { return BYTE(d ^ s); }},
        {PATCOPY, [](BYTE, BYTE, BYTE p) { return p; }},
        {MERGEPAINT, [](BYTE d, BYTE s, BYTE) { return BYTE(~s | d); }},
        {BLACKNESS, [](BYTE, BYTE, BYTE) { return BYTE(0); }},
    };
    Dib8 src(16, 16), dst(16, 16);
    HBRUSH brush = CreateSolidBrush(distinctColor(0x5C));  // exactly entry 0x5C of the table
    HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
    for (const Case &c : cases) {
        for (int i = 0; i < 256; i++) {
            src.at(i % 16, i / 16) = static_cast<BYTE>(i);
            dst.at(i % 16, i / 16) = static_cast<BYTE>(i * 7 + 3);
        }
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 16, 16, src.dc, 0, 0, c.rop)) << std::hex << c.rop;
        GdiFlush();
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(dst.at(i % 16, i / 16), c.expect(BYTE(i * 7 + 3), BYTE(i), 0x5C)) << std::hex << c.rop << " " << i;
    }
    SelectObject(dst.dc, oldBrush);
    DeleteObject(brush);

    // Cut to both bitmaps; nothing to draw is no failure.
    for (int i = 0; i < 16; i++) src.at(i % 4, i / 4) = static_cast<BYTE>(100 + i);
    dst.fill(1);
    ASSERT_TRUE(BitBlt(dst.dc, 1, -1, 6, 6, src.dc, -2, 1, SRCCOPY));
    GdiFlush();
    EXPECT_EQ(dst.at(2, 0), 1) << "left of the source";
    EXPECT_EQ(dst.at(3, 0), 108) << "source (0, 2)";
    EXPECT_EQ(dst.at(6, 0), 111);
    EXPECT_EQ(dst.at(7, 0), 1) << "right of the blit";
    EXPECT_TRUE(BitBlt(dst.dc, 100, 100, 5, 5, src.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY)) << "the operation needs a source";
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));

    // Monochrome to colour: 0 bits take the text colour, 1 bits the
    // background colour; colour to monochrome: white where the background
    // colour is.
    const BYTE bits[] = {0xA0, 0x00};
    Surface mono(CreateBitmap(4, 1, 1, 1, bits));
    Dib8 colour(4, 1);
    SetTextColor(colour.dc, distinctColor(20));
    SetBkColor(colour.dc, distinctColor(40));
    ASSERT_TRUE(BitBlt(colour.dc, 0, 0, 4, 1, mono.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(rowsOf(colour), "XDXD|") << "'X' is index 40, 'D' index 20";
    colour.at(1, 0) = 40;
    SetBkColor(colour.dc, distinctColor(40));
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono.dc, 1, 0), kWhite);
    EXPECT_EQ(GetPixel(mono.dc, 3, 0), kBlack);

    // A transparent sprite: a mask (white = transparent) ANDed in, then the
    // image (black where transparent) ORed in.
    const BYTE maskBits[] = {0x90, 0x00, 0x00, 0x00};
    Surface mask(CreateBitmap(4, 2, 1, 1, maskBits)), image(display(4, 2, kBlack)), scene(display(6, 3, RGB(0, 255, 0)));
    SetPixel(image.dc, 1, 0, kRed);
    SetPixel(image.dc, 2, 0, kBlue);
    for (int x = 0; x < 4; x++) SetPixel(image.dc, x, 1, kRed);
    ASSERT_TRUE(BitBlt(scene.dc, 1, 1, 4, 2, mask.dc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(scene.dc, 1, 1, 4, 2, image.dc, 0, 0, SRCPAINT));
    const COLORREF g = RGB(0, 255, 0), expect[3][6] = {
        {g, g, g, g, g, g}, {g, g, kRed, kBlue, g, g}, {g, kRed, kRed, kRed, kRed, g}};
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 6; x++) EXPECT_EQ(GetPixel(scene.dc, x, y), expect[y][x]) << x << "," << y;

    // StretchBlt: extents of opposite signs mirror their axis; enlarging
    // repeats pixels; cut to both surfaces.
    Dib8 three(3, 2), out(3, 2), large(6, 4);
    for (int i = 0; i < 6; i++) three.at(i % 3, i / 3) = static_cast<BYTE>(1 + i);
    const struct {
        int x, y, w, h, sx, sy, sw, sh;
        const char *rows;
    } stretches[] = {
        {0, 0, 3, 2, 2, 0, -3, 2, "321|654|"}, {2, 0, -3, 2, 0, 0, 3, 2, "321|654|"},
        {2, 0, -3, 2, 2, 0, -3, 2, "123|456|"}, {2, 1, -3, -2, 0, 0, 3, 2, "654|321|"},
    };
    for (const auto &c : stretches) {
        out.fill(0);
        EXPECT_TRUE(StretchBlt(out.dc, c.x, c.y, c.w, c.h, three.dc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
        EXPECT_EQ(rowsOf(out), c.rows) << c.x << " " << c.w << " " << c.sx << " " << c.sw;
    }
    SetStretchBltMode(large.dc, COLORONCOLOR);
    large.fill(0);
    EXPECT_TRUE(StretchBlt(large.dc, -2, 0, 6, 2, three.dc, 2, 0, -3, 2, SRCCOPY));
    EXPECT_EQ(rowsOf(large), "221100|554400|000000|000000|");
}

TEST(GdiStretchDIBits, RowsBandsScalingRleAndColours)
{
    // Rows of a bottom-up source given top row first.
    Info256 bi(4, 3);
    gditest::fillDistinctColors(bi);
    const BYTE bits[12] = {9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4};
    Dib8 dst(6, 5);
    EXPECT_EQ(StretchDIBits(dst.dc, 1, 1, 4, 3, 0, 0, 4, 3, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 3);
    EXPECT_EQ(rowsOf(dst), std::string("000000|0") + "\x31\x32\x33\x34" + "0|0" + "\x35\x36\x37\x38" + "0|0" +
                               "\x39\x3A\x3B\x3C" + "0|000000|");
    // The source origin is the lower-left corner; a header claiming fewer
    // rows shows a band of a taller image; rectangles are cut to the image,
    // and the image's height is the result whatever the rectangle.
    Dib8 two(2, 2);
    EXPECT_EQ(StretchDIBits(two.dc, 0, 0, 2, 2, 1, 1, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 3);
    EXPECT_EQ(rowsOf(two), std::string("\x32\x33|\x36\x37|"));
    Info256 band = bi;
    band.header.biHeight = 2;
    EXPECT_EQ(StretchDIBits(two.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits + 4, band.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(rowsOf(two), std::string("\x31\x32|\x35\x36|"));
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 10, 10, 4, 4, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0)
        << "a source rectangle outside the image";
    // Top-down images: as on Windows, row 0 is the top only for a copy from
    // the origin at 1:1.
    Info256 td(2, -2);
    gditest::fillDistinctColors(td);
    const BYTE topDown[8] = {1, 2, 0, 0, 3, 4, 0, 0};
    EXPECT_EQ(StretchDIBits(two.dc, 0, 0, 2, 2, 0, 0, 2, 2, topDown, td.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(rowsOf(two), "12|34|");
    // Scaling repeats pixels; a negative width counts back from x.
    Dib8 four(4, 4);
    EXPECT_EQ(StretchDIBits(four.dc, 0, 0, 4, 4, 0, 0, 2, 2, topDown, td.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(rowsOf(four), "1122|1122|3344|3344|");
    four.fill(0);
    StretchDIBits(four.dc, 3, 0, -2, 2, 0, 0, 2, 2, topDown, td.info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(rowsOf(four).substr(0, 10), "0021|0043|");

    // RLE8 leaves passed-over pixels alone; a part of the image draws them
    // as index 0, as on Windows.
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

    // Palette indices go through the DC's palette; RGB colours become the
    // nearest colour of the destination's table; the header of a record
    // may be only 2-byte aligned.
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } lp;
    lp.version = 0x300;
    lp.count = 256;
    for (int i = 0; i < 256; i++) {
        const COLORREF c = distinctColor(255 - i);
        lp.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    Dib8 row(4, 1);
    HPALETTE old = SelectPalette(row.dc, palette, FALSE);
    std::vector<BYTE> record(18 + sizeof(BITMAPINFOHEADER) + 512 + 4);
    Info256 pi(4, 1);
    gditest::fillIdentityIndices(pi);
    std::memcpy(record.data() + 18, &pi, sizeof(BITMAPINFOHEADER) + 512);
    BYTE *pixels = record.data() + 18 + sizeof(BITMAPINFOHEADER) + 512;
    std::memcpy(pixels, "\x00\x01\x64\xFF", 4);
    EXPECT_EQ(StretchDIBits(row.dc, 0, 0, 4, 1, 0, 0, 4, 1, pixels,
                            reinterpret_cast<const BITMAPINFO *>(record.data() + 18), DIB_PAL_COLORS, SRCCOPY), 1);
    GdiFlush();
    const std::vector<BYTE> indices = {row.at(0, 0), row.at(1, 0), row.at(2, 0), row.at(3, 0)};
    EXPECT_EQ(indices, (std::vector<BYTE>{255, 254, 155, 0}));
    SelectPalette(row.dc, old, FALSE);
    DeleteObject(palette);
    Info256 rgb(3, 1);
    rgb.header.biClrUsed = 3;
    rgb.colors[0] = RGBQUAD{2, 251, 3, 0};    // nearest distinct colour: (4, 251, 2), entry 4
    rgb.colors[1] = RGBQUAD{127, 0, 255, 0};  // exactly entry 255
    StretchDIBits(row.dc, 0, 0, 3, 1, 0, 0, 3, 1, "\0\1\0", rgb.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(row.at(0, 0), 4);
    EXPECT_EQ(row.at(1, 0), 255);

    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), 7, SRCCOPY), 0);
}
