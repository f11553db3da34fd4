// Logical palettes and, on a palette display, their realisation into the
// system palette, checked through the system palette and drawn pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi_test_support.h"

namespace {

struct LogPalette {
    WORD version = 0x300;
    WORD count = 0;
    PALETTEENTRY entries[256];
};

HPALETTE makePalette(std::initializer_list<PALETTEENTRY> entries)
{
    LogPalette lp;
    for (const PALETTEENTRY &e : entries) lp.entries[lp.count++] = e;
    return CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
}

std::vector<PALETTEENTRY> systemPalette()
{
    std::vector<PALETTEENTRY> all(256);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 256, all.data()), 256u);
    ReleaseDC(nullptr, screen);
    return all;
}

// System palette entries outside the static ones that hold a colour. Each
// test uses colours of its own: entries given up keep their old colours.
int countHolding(BYTE r, BYTE g, BYTE b)
{
    int n = 0;
    std::vector<PALETTEENTRY> sys = systemPalette();
    for (int i = 10; i < 246; i++)
        if (sys[i].peRed == r && sys[i].peGreen == g && sys[i].peBlue == b) n++;
    return n;
}

// A window whose DC realises palettes in the foreground, as an
// application's does, and a display bitmap in a memory DC to draw palette
// colours into and read them back: the memory DC realises the window DC's
// palette in the background, onto the entries the window's realisation set.
struct Canvas {
    HWND window;
    HDC dc;
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    Canvas()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VekPaletteCanvas";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 4, 4, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        dc = GetDC(window);
        memory = CreateCompatibleDC(dc);
        bitmap = CreateCompatibleBitmap(dc, 4, 4);
        old = SelectObject(memory, bitmap);
    }
    ~Canvas()
    {
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, dc);
        DestroyWindow(window);
    }
    COLORREF paint(COLORREF color)
    {
        HPALETTE palette = SelectPalette(memory, (HPALETTE)GetCurrentObject(dc, OBJ_PAL), TRUE);
        RealizePalette(memory);
        HBRUSH brush = CreateSolidBrush(color);
        RECT r{0, 0, 1, 1};
        FillRect(memory, &r, brush);
        DeleteObject(brush);
        COLORREF pixel = GetPixel(memory, 0, 0);
        SelectPalette(memory, palette, TRUE);
        return pixel;
    }
};

class PaletteDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        if (!gditest::paletteDevice()) GTEST_SKIP() << "the display has no palette";
    }
};

}  // namespace

TEST(GdiPalette, EntriesAndNearestIndex)
{
    HPALETTE pal = makePalette({{0, 0, 0, 0}, {200, 10, 10, 0}, {10, 200, 10, PC_NOCOLLAPSE}, {10, 10, 200, 0}});
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 4u);
    PALETTEENTRY e[8] = {};
    EXPECT_EQ(GetPaletteEntries(pal, 2, 8, e), 2u) << "cut at the end";
    EXPECT_EQ(e[0].peGreen, 200);
    EXPECT_EQ(e[0].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(GetPaletteEntries(pal, 4, 1, e), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(190, 30, 0)), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(0, 0, 255)), 3u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(1, 1, 1)), 0u);

    const PALETTEENTRY changed{255, 255, 0, 0};
    EXPECT_EQ(SetPaletteEntries(pal, 3, 1, &changed), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(0, 0, 255)), 0u) << "entry 3 is yellow now";
    DeleteObject(pal);

    EXPECT_EQ(CreatePalette(nullptr), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectPalette(dc, nullptr, FALSE), nullptr);
    EXPECT_EQ(SelectPalette(nullptr, (HPALETTE)GetStockObject(DEFAULT_PALETTE), FALSE), nullptr);
    DeleteDC(dc);
}

TEST_F(PaletteDisplay, SystemPaletteHoldsTheStaticColours)
{
    std::vector<PALETTEENTRY> sys = systemPalette();
    PALETTEENTRY def[20];
    ASSERT_EQ(GetPaletteEntries((HPALETTE)GetStockObject(DEFAULT_PALETTE), 0, 20, def), 20u);
    for (int i = 0; i < 20; i++) {
        const PALETTEENTRY &s = sys[i < 10 ? i : 236 + i];
        EXPECT_EQ(RGB(s.peRed, s.peGreen, s.peBlue), RGB(def[i].peRed, def[i].peGreen, def[i].peBlue)) << i;
    }
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 0, nullptr), 256u);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 250, 100, sys.data()), 6u);
    ReleaseDC(nullptr, screen);
}

TEST_F(PaletteDisplay, RealisationPlacesNewColoursAndSharesExactOnes)
{
    // Red is a static colour; the two others are new; the last repeats one.
    HPALETTE pal = makePalette({{255, 0, 0, 0}, {11, 22, 33, 0}, {44, 55, 66, 0}, {11, 22, 33, 0}});
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    EXPECT_EQ(RealizePalette(canvas.dc), 4u) << "every entry mapped the first time";
    EXPECT_EQ(countHolding(11, 22, 33), 1) << "the repeated colour takes one entry";
    EXPECT_EQ(countHolding(44, 55, 66), 1);
    EXPECT_EQ(countHolding(255, 0, 0), 0) << "red stays with its static entry";
    EXPECT_EQ(RealizePalette(canvas.dc), 0u) << "realising it again maps nothing new";

    EXPECT_EQ(canvas.paint(PALETTEINDEX(1)), RGB(11, 22, 33));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(2)), RGB(44, 55, 66));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(0)), RGB(255, 0, 0));
    EXPECT_EQ(canvas.paint(PALETTERGB(40, 60, 60)), RGB(44, 55, 66)) << "the nearest colour of the palette";
    EXPECT_EQ(canvas.paint(RGB(250, 10, 10)), RGB(255, 0, 0)) << "plain RGB: the nearest static colour";
    EXPECT_EQ(canvas.paint(RGB(0, 0, 0)), RGB(0, 0, 0)) << "black stays black whatever the palette";

    EXPECT_TRUE(UnrealizeObject(pal));
    EXPECT_EQ(RealizePalette(canvas.dc), 4u) << "an unrealised palette maps every entry again";
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, NoCollapseAndReservedEntriesTakeEntriesOfTheirOwn)
{
    HPALETTE pal = makePalette({{70, 80, 90, 0},
                                {70, 80, 90, PC_NOCOLLAPSE},
                                {70, 80, 90, PC_RESERVED},
                                {70, 80, 90, 0}});
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    RealizePalette(canvas.dc);
    // Entry 0 takes a free entry, entry 1 another despite the equal colour,
    // entry 2 a third that nothing shares, entry 3 shares entry 0's.
    EXPECT_EQ(countHolding(70, 80, 90), 3);
    EXPECT_EQ(canvas.paint(PALETTEINDEX(3)), RGB(70, 80, 90));
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, ExplicitEntriesNameSystemEntries)
{
    // Entry 0 is system entry 249 (static red), entry 1 system entry 252 (blue).
    HPALETTE pal = makePalette({{249, 0, 0, PC_EXPLICIT}, {252, 0, 0, PC_EXPLICIT}});
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    RealizePalette(canvas.dc);
    EXPECT_EQ(canvas.paint(PALETTEINDEX(0)), RGB(255, 0, 0));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(1)), RGB(0, 0, 255));
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, BackgroundRealisationKeepsTheForegroundColours)
{
    HPALETTE front = makePalette({{1, 2, 3, 0}, {4, 5, 6, 0}});
    HPALETTE back = makePalette({{7, 8, 9, 0}, {1, 2, 3, 0}});
    Canvas a, b;
    HPALETTE oldA = SelectPalette(a.dc, front, FALSE);
    RealizePalette(a.dc);
    HPALETTE oldB = SelectPalette(b.dc, back, TRUE);
    EXPECT_EQ(RealizePalette(b.dc), 2u);
    EXPECT_EQ(countHolding(1, 2, 3), 1) << "shared with the foreground palette";
    EXPECT_EQ(countHolding(4, 5, 6), 1) << "the foreground colours stay";
    EXPECT_EQ(countHolding(7, 8, 9), 1) << "a free entry for the new colour";
    EXPECT_EQ(b.paint(PALETTEINDEX(0)), RGB(7, 8, 9));
    EXPECT_EQ(a.paint(PALETTEINDEX(1)), RGB(4, 5, 6));

    // Now the other palette comes to the foreground: the entries are its,
    // and the first palette's colour is gone until it is realised again.
    SelectPalette(b.dc, back, FALSE);
    RealizePalette(b.dc);
    EXPECT_EQ(countHolding(4, 5, 6), 0);
    EXPECT_EQ(b.paint(PALETTEINDEX(0)), RGB(7, 8, 9));
    EXPECT_EQ(b.paint(PALETTEINDEX(1)), RGB(1, 2, 3));
    SelectPalette(a.dc, oldA, FALSE);
    SelectPalette(b.dc, oldB, FALSE);
    DeleteObject(front);
    DeleteObject(back);
}

TEST_F(PaletteDisplay, AFullPaletteFillsTheFreeEntriesThenMatchesNearest)
{
    // 236 new colours fill every free entry; one more maps to the nearest.
    LogPalette lp;
    for (int i = 0; i < 237; i++) lp.entries[lp.count++] = PALETTEENTRY{BYTE(i), 1, 77, 0};
    HPALETTE pal = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    EXPECT_EQ(RealizePalette(canvas.dc), 237u);
    std::vector<PALETTEENTRY> sys = systemPalette();
    for (int i = 0; i < 236; i++)
        EXPECT_EQ(RGB(sys[10 + i].peRed, sys[10 + i].peGreen, sys[10 + i].peBlue), RGB(i, 1, 77)) << "in entry order";
    EXPECT_EQ(canvas.paint(PALETTEINDEX(236)), RGB(235, 1, 77)) << "no room left: nearest colour";
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, TheDefaultPaletteDrawsStaticColours)
{
    Canvas canvas;
    EXPECT_EQ(canvas.paint(RGB(250, 10, 10)), RGB(255, 0, 0)) << "nearest static colour";
    EXPECT_EQ(canvas.paint(PALETTEINDEX(19)), RGB(255, 255, 255));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(8)), RGB(192, 220, 192));
    EXPECT_EQ(RealizePalette(canvas.dc), 0u) << "nothing to map";
}

TEST_F(PaletteDisplay, MonochromeBecomesStaticBlackAndWhiteUnderAnyPalette)
{
    // Masks of device-dependent sprites: 0 bits must give system entry 0,
    // 1 bits entry 255, whatever palette the DC holds.
    HPALETTE pal = makePalette({{90, 91, 92, 0}, {93, 94, 95, 0}});
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    RealizePalette(canvas.dc);
    const BYTE bits[2] = {0x40, 0};  // 0 1 0 0
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(4, 1, 1, 1, bits);
    HGDIOBJ oldMask = SelectObject(mono, mask);
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 4, 1, mono, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 0), RGB(255, 255, 255));
    // On a palette device raster operations work on indices: AND with the
    // white of the mask keeps the index, AND with black clears it.
    canvas.paint(PALETTEINDEX(1));
    SetPixel(canvas.dc, 1, 0, PALETTEINDEX(1));
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 2, 1, mono, 0, 0, SRCAND));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 0), RGB(93, 94, 95));
    SelectObject(mono, oldMask);
    DeleteObject(mask);
    DeleteDC(mono);
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, AnimationRecoloursShownPixelsOfReservedEntriesOnly)
{
    HPALETTE pal = makePalette({{11, 21, 31, PC_RESERVED}, {41, 51, 61, 0}});
    Canvas canvas;
    HPALETTE old = SelectPalette(canvas.dc, pal, FALSE);
    RealizePalette(canvas.dc);
    const RECT first{0, 0, 2, 1}, second{2, 0, 4, 1};
    HBRUSH brush0 = CreateSolidBrush(PALETTEINDEX(0)), brush1 = CreateSolidBrush(PALETTEINDEX(1));
    FillRect(canvas.dc, &first, brush0);
    FillRect(canvas.dc, &second, brush1);
    ASSERT_EQ(GetPixel(canvas.dc, 0, 0), RGB(11, 21, 31));

    const PALETTEENTRY next[2] = {{200, 100, 50, PC_RESERVED}, {1, 2, 3, PC_RESERVED}};
    EXPECT_TRUE(AnimatePalette(pal, 0, 2, next));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 0), RGB(200, 100, 50)) << "drawn pixels change without being drawn again";
    EXPECT_EQ(GetPixel(canvas.dc, 3, 0), RGB(41, 51, 61)) << "an entry not made for animation stays";
    PALETTEENTRY now[2];
    ASSERT_EQ(GetPaletteEntries(pal, 0, 2, now), 2u);
    EXPECT_EQ(now[0].peRed, 200);
    EXPECT_EQ(now[0].peFlags, PC_RESERVED);
    EXPECT_EQ(now[1].peRed, 41);
    EXPECT_EQ(countHolding(200, 100, 50), 1);

    EXPECT_FALSE(AnimatePalette(pal, 2, 1, next)) << "first entry past the palette";
    SelectPalette(canvas.dc, old, FALSE);
    DeleteObject(brush0);
    DeleteObject(brush1);
    DeleteObject(pal);
}
