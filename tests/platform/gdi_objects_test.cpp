// GDI objects: handles, stock objects, selection and deletion rules, the
// descriptions GetObjectA gives, DC attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

TEST(GdiObjects, HandlesFitThirtyTwoBitsAndKnowTheirType)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    const LOGPALETTE lp{0x300, 1, {{10, 20, 30, 0}}};
    HPALETTE palette = CreatePalette(&lp);
    for (HGDIOBJ h : {HGDIOBJ(brush), HGDIOBJ(pen), HGDIOBJ(bitmap), HGDIOBJ(dc), HGDIOBJ(palette)}) {
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(uint64_t{reinterpret_cast<uintptr_t>(h)} >> 32, 0u) << "a GDI handle fits a 32-bit record field";
    }
    EXPECT_EQ(GetObjectType(brush), (DWORD)OBJ_BRUSH);
    EXPECT_EQ(GetObjectType(pen), (DWORD)OBJ_PEN);
    EXPECT_EQ(GetObjectType(bitmap), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_MEMDC);
    EXPECT_EQ(GetObjectType(palette), (DWORD)OBJ_PAL);

    // A 32-bit copy of a handle, as records keep them, names the same object.
    auto stored = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bitmap));
    EXPECT_EQ(GetObjectType((HBITMAP)(ULONG_PTR)stored), (DWORD)OBJ_BITMAP);

    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(brush), 0u) << "a deleted handle is dead";
    EXPECT_FALSE(DeleteObject(brush)) << "and cannot be deleted twice";
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(GdiObjects, WrongTypesAndDeadHandlesFail)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectPalette(dc, (HPALETTE)brush, FALSE), nullptr) << "a brush is not a palette";
    EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_PALETTE)), nullptr) << "palettes go through SelectPalette";
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_EQ(GetPixel((HDC)brush, 0, 0), CLR_INVALID) << "a brush is not a DC";

    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectObject(nullptr, brush), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(GetLastError(), 0xdeadbeefu) << "deleting null touches no error";

    DeleteObject(brush);
    EXPECT_EQ(SelectObject(dc, brush), nullptr) << "a deleted brush cannot be selected";
    EXPECT_EQ(GetObjectA(brush, 0, nullptr), 0);
    DeleteDC(dc);
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(GdiObjects, StockObjectsStayWhatTheyAre)
{
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), white) << "one handle per stock object";
    EXPECT_TRUE(DeleteObject(white)) << "deleting a stock object is allowed";
    EXPECT_EQ(GetObjectType(white), (DWORD)OBJ_BRUSH) << "and does nothing";

    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), (int)sizeof lb);
    EXPECT_EQ(lb.lbStyle, (UINT)BS_SOLID);
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb), (int)sizeof lb);
    EXPECT_EQ(lb.lbStyle, (UINT)BS_NULL);
    LOGPEN lp{};
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_PEN), sizeof lp, &lp), (int)sizeof lp);
    EXPECT_EQ(lp.lopnStyle, (UINT)PS_NULL);
    ASSERT_EQ(GetObjectA(GetStockObject(BLACK_PEN), sizeof lp, &lp), (int)sizeof lp);
    EXPECT_EQ(lp.lopnColor, RGB(0, 0, 0));

    // The default palette holds the 20 static colours.
    HPALETTE def = (HPALETTE)GetStockObject(DEFAULT_PALETTE);
    EXPECT_EQ(GetPaletteEntries(def, 0, 0, nullptr), 20u);
    PALETTEENTRY e[20];
    ASSERT_EQ(GetPaletteEntries(def, 0, 20, e), 20u);
    EXPECT_EQ(RGB(e[0].peRed, e[0].peGreen, e[0].peBlue), RGB(0, 0, 0));
    EXPECT_EQ(RGB(e[7].peRed, e[7].peGreen, e[7].peBlue), RGB(192, 192, 192));
    EXPECT_EQ(RGB(e[19].peRed, e[19].peGreen, e[19].peBlue), RGB(255, 255, 255));
    EXPECT_EQ(GetStockObject(-1), nullptr);
}

TEST(GdiObjects, SelectObjectReturnsWhatWasSelected)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH a = CreateSolidBrush(RGB(1, 1, 1));
    HBRUSH b = CreateSolidBrush(RGB(2, 2, 2));
    EXPECT_EQ(SelectObject(dc, a), GetStockObject(WHITE_BRUSH)) << "a new DC starts with the white brush";
    EXPECT_EQ(SelectObject(dc, b), (HGDIOBJ)a);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), (HGDIOBJ)b);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), (HGDIOBJ)b);
    DeleteObject(a);
    DeleteObject(b);
    DeleteDC(dc);
}

TEST(GdiObjects, DeletingASelectedObjectWaitsUntilItIsReleased)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(brush), (DWORD)OBJ_BRUSH) << "still in use by the DC";
    EXPECT_EQ(GetObjectType(bitmap), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(SelectObject(dc, oldBrush), (HGDIOBJ)brush);
    EXPECT_EQ(GetObjectType(brush), 0u) << "gone once deselected";
    SelectObject(dc, oldBitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u);

    // Deleting the DC lets go of what it holds, too.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    SelectObject(dc, pen);
    DeleteObject(pen);
    EXPECT_EQ(GetObjectType(pen), (DWORD)OBJ_PEN);
    DeleteDC(dc);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(GdiObjects, ABitmapLivesInOneMemoryDCAtATime)
{
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    HGDIOBJ defaultBitmap = SelectObject(a, bitmap);
    ASSERT_NE(defaultBitmap, nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr) << "already selected into another DC";
    EXPECT_EQ(SelectObject(a, bitmap), (HGDIOBJ)bitmap) << "selecting it again where it is works";
    SelectObject(a, defaultBitmap);
    EXPECT_NE(SelectObject(b, bitmap), nullptr) << "free again";
    EXPECT_EQ(GetCurrentObject(b, OBJ_BITMAP), (HGDIOBJ)bitmap);

    // Window DCs hold no bitmap.
    HDC screen = GetDC(nullptr);
    HBITMAP other = CreateBitmap(1, 1, 1, 1, nullptr);
    EXPECT_EQ(SelectObject(screen, other), nullptr);
    ReleaseDC(nullptr, screen);
    DeleteObject(other);
    DeleteDC(b);
    DeleteDC(a);
    DeleteObject(bitmap);
}

TEST(GdiObjects, GetObjectDescribesBrushesPensAndPalettes)
{
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(7));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(brush, 0, nullptr), (int)sizeof(LOGBRUSH));
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), (int)sizeof lb);
    EXPECT_EQ(lb.lbColor, PALETTEINDEX(7));
    HPEN pen = CreatePen(PS_DASH, 3, RGB(10, 20, 30));
    LOGPEN lp{};
    ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), (int)sizeof lp);
    EXPECT_EQ(lp.lopnStyle, (UINT)PS_DASH);
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(10, 20, 30));
    HPEN odd = CreatePen(77, 1, 0);
    ASSERT_EQ(GetObjectA(odd, sizeof lp, &lp), (int)sizeof lp);
    EXPECT_EQ(lp.lopnStyle, (UINT)PS_SOLID) << "an unknown style draws solid";
    DeleteObject(odd);

    struct {
        WORD version, count;
        PALETTEENTRY entries[3];
    } lpal = {0x300, 3, {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lpal));
    WORD count = 0;
    ASSERT_EQ(GetObjectA(palette, sizeof count, &count), (int)sizeof count);
    EXPECT_EQ(count, 3);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteObject(palette);
}

TEST(GdiObjects, DCAttributesSwapAndReadBack)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(dc, PALETTEINDEX(4)), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(dc), PALETTEINDEX(4));

    POINT old{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(dc, 3, 5, &old));
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
    POINT now{};
    EXPECT_TRUE(GetBrushOrgEx(dc, &now));
    EXPECT_EQ(now.x, 3);
    EXPECT_EQ(now.y, 5);
    EXPECT_TRUE(SetBrushOrgEx(dc, 0, 0, nullptr));

    EXPECT_NE(SetStretchBltMode(dc, COLORONCOLOR), 0);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetBkColor(nullptr, 0), CLR_INVALID);
    EXPECT_FALSE(SetBrushOrgEx(nullptr, 0, 0, nullptr));
    DeleteDC(dc);
}

TEST(GdiObjects, ClipBoxIsTheSurface)
{
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{};
    EXPECT_EQ(GetClipBox(dc, &r), SIMPLEREGION);
    EXPECT_EQ(r.right, 1) << "a fresh memory DC holds a 1 x 1 bitmap";
    EXPECT_EQ(r.bottom, 1);
    HBITMAP bitmap = CreateBitmap(37, 21, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetClipBox(dc, &r), SIMPLEREGION);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 37);
    EXPECT_EQ(r.bottom, 21);
    EXPECT_EQ(GetClipBox(nullptr, &r), ERROR);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiObjects, DeviceCapsDescribeTheDisplay)
{
    HDC screen = GetDC(nullptr);
    const int bpp = GetDeviceCaps(screen, BITSPIXEL);
    EXPECT_TRUE(bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) << bpp;
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(screen, VERTRES), 0);
    EXPECT_EQ(GetDeviceCaps(screen, NUMRESERVED), 20);
    const int caps = GetDeviceCaps(screen, RASTERCAPS);
    EXPECT_TRUE(caps & RC_BITBLT);
    EXPECT_TRUE(caps & RC_STRETCHDIB);
    if (caps & RC_PALETTE) {
        EXPECT_EQ(bpp, 8);
        EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
        EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), 20);
    } else {
        EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 0);
        EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
    }
    // A memory DC reports the same device.
    HDC mem = CreateCompatibleDC(screen);
    EXPECT_EQ(GetDeviceCaps(mem, RASTERCAPS), caps);
    EXPECT_EQ(GetDeviceCaps(mem, HORZRES), GetDeviceCaps(screen, HORZRES));
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}
