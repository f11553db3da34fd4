// Logical palettes and, on a palette display, their realisation into the
// system palette, checked through the system palette and drawn pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi_test_support.h"

namespace {

HPALETTE makePalette(std::vector<PALETTEENTRY> entries)
{
    struct {
        WORD version = 0x300, count = 0;
        PALETTEENTRY entries[256];
    } lp;
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
    for (const PALETTEENTRY &e : systemPalette()) n += e.peRed == r && e.peGreen == g && e.peBlue == b;
    return n;
}

// A window whose DC realises palettes in the foreground, as an
// application's does, and a display bitmap in a memory DC to draw palette
// colours into and read them back, realising the window DC's palette in the
// background onto the entries the window's realisation set.
struct Canvas {
    HWND window;
    HDC dc, memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    HPALETTE selected = nullptr, before = nullptr;
    explicit Canvas(HPALETTE palette = nullptr, BOOL background = FALSE)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "VekPaletteCanvas";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 4, 4, nullptr, nullptr, nullptr,
                                 nullptr);
        dc = GetDC(window);
        memory = CreateCompatibleDC(dc);
        bitmap = CreateCompatibleBitmap(dc, 4, 4);
        old = SelectObject(memory, bitmap);
        if (palette) select(palette, background);
    }
    ~Canvas()
    {
        if (selected) SelectPalette(dc, before, FALSE);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, dc);
        DestroyWindow(window);
    }
    UINT select(HPALETTE palette, BOOL background)
    {
        HPALETTE previous = SelectPalette(dc, palette, background);
        if (!selected) before = previous;
        selected = palette;
        return RealizePalette(dc);
    }
    COLORREF paint(COLORREF color)
    {
        HPALETTE palette = SelectPalette(memory, static_cast<HPALETTE>(GetCurrentObject(dc, OBJ_PAL)), TRUE);
        RealizePalette(memory);
        HBRUSH brush = CreateSolidBrush(color);
        RECT r{0, 0, 1, 1};
        FillRect(memory, &r, brush);
        DeleteObject(brush);
        const COLORREF pixel = GetPixel(memory, 0, 0);
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

TEST_F(PaletteDisplay, RealisationPlacesNewColoursAndSharesExactOnes)
{
    // Red is a static colour; the two others are new; the last repeats one.
    HPALETTE pal = makePalette({{255, 0, 0, 0}, {11, 22, 33, 0}, {44, 55, 66, 0}, {11, 22, 33, 0}});
    Canvas canvas;
    EXPECT_EQ(canvas.select(pal, FALSE), 4u) << "every entry mapped the first time";
    EXPECT_EQ(countHolding(11, 22, 33), 1) << "the repeated colour takes one entry";
    EXPECT_EQ(countHolding(44, 55, 66), 1);
    EXPECT_EQ(countHolding(255, 0, 0), 1) << "red stays with its static entry";
    EXPECT_EQ(RealizePalette(canvas.dc), 0u) << "realising it again maps nothing new";
    EXPECT_EQ(canvas.paint(PALETTEINDEX(1)), RGB(11, 22, 33));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(0)), RGB(255, 0, 0));
    EXPECT_EQ(canvas.paint(PALETTERGB(40, 60, 60)), RGB(44, 55, 66)) << "the nearest colour of the palette";
    EXPECT_EQ(canvas.paint(RGB(250, 10, 10)), RGB(255, 0, 0)) << "plain RGB: the nearest static colour";
    canvas.select(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, ReservedAndNoCollapseEntriesTakeEntriesOfTheirOwn)
{
    // Whatever the order: an exact match never shares a reserved entry
    // (realised first here), no-collapse and reserved entries never share.
    HPALETTE pal = makePalette({{70, 80, 90, PC_RESERVED},
                                {70, 80, 90, 0},
                                {70, 80, 90, PC_NOCOLLAPSE},
                                {70, 80, 90, 0}});
    Canvas canvas(pal);
    EXPECT_EQ(countHolding(70, 80, 90), 3);
    // Animating the reserved entry leaves what the others show.
    const PALETTEENTRY next{200, 100, 50, PC_RESERVED};
    EXPECT_TRUE(AnimatePalette(pal, 0, 1, &next));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(1)), RGB(70, 80, 90));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(3)), RGB(70, 80, 90));
    EXPECT_EQ(canvas.paint(PALETTEINDEX(0)), RGB(200, 100, 50));
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, AnimationRecoloursShownPixelsOfReservedEntriesOnly)
{
    HPALETTE pal = makePalette({{11, 21, 31, PC_RESERVED}, {41, 51, 61, 0}});
    Canvas canvas(pal);
    const RECT first{0, 0, 2, 1}, second{2, 0, 4, 1};
    HBRUSH brush0 = CreateSolidBrush(PALETTEINDEX(0)), brush1 = CreateSolidBrush(PALETTEINDEX(1));
    FillRect(canvas.dc, &first, brush0);
    FillRect(canvas.dc, &second, brush1);
    ASSERT_EQ(GetPixel(canvas.dc, 0, 0), RGB(11, 21, 31));
    const PALETTEENTRY next[2] = {{200, 100, 50, PC_RESERVED}, {1, 2, 3, PC_RESERVED}};
    EXPECT_TRUE(AnimatePalette(pal, 0, 2, next));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 0), RGB(200, 100, 50)) << "drawn pixels change without being drawn again";
    EXPECT_EQ(GetPixel(canvas.dc, 3, 0), RGB(41, 51, 61)) << "an entry not made for animation stays";
    EXPECT_FALSE(AnimatePalette(pal, 2, 1, next)) << "first entry past the palette";
    DeleteObject(brush0);
    DeleteObject(brush1);
    DeleteObject(pal);
}

TEST_F(PaletteDisplay, BackgroundRealisationKeepsTheForegroundColours)
{
    HPALETTE front = makePalette({{1, 2, 3, 0}, {4, 5, 6, 0}}), back = makePalette({{7, 8, 9, 0}, {1, 2, 3, 0}});
    Canvas a(front), b;
    EXPECT_EQ(b.select(back, TRUE), 2u);
    EXPECT_EQ(countHolding(1, 2, 3), 1) << "shared with the foreground palette";
    EXPECT_EQ(countHolding(4, 5, 6), 1) << "the foreground colours stay";
    EXPECT_EQ(countHolding(7, 8, 9), 1) << "a free entry for the new colour";
    EXPECT_EQ(b.paint(PALETTEINDEX(0)), RGB(7, 8, 9));
    EXPECT_EQ(a.paint(PALETTEINDEX(1)), RGB(4, 5, 6));
    // The other palette in the foreground: the first one's colour is gone.
    b.select(back, FALSE);
    EXPECT_EQ(countHolding(4, 5, 6), 0);
    EXPECT_EQ(b.paint(PALETTEINDEX(1)), RGB(1, 2, 3));

    // 236 new colours fill every free entry in order; one more maps to the nearest.
    std::vector<PALETTEENTRY> many;
    for (int i = 0; i < 237; i++) many.push_back(PALETTEENTRY{BYTE(i), 1, 77, 0});
    HPALETTE full = makePalette(many);
    EXPECT_EQ(b.select(full, FALSE), 237u);
    const std::vector<PALETTEENTRY> sys = systemPalette();
    for (int i = 0; i < 236; i++) EXPECT_EQ(RGB(sys[10 + i].peRed, sys[10 + i].peGreen, sys[10 + i].peBlue), RGB(i, 1, 77));
    EXPECT_EQ(b.paint(PALETTEINDEX(236)), RGB(235, 1, 77)) << "no room left: nearest colour";

    // Monochrome bitmaps become static black and white under any palette;
    // raster operations work on indices: AND with white keeps one.
    const BYTE bits[2] = {0x40, 0};
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(4, 1, 1, 1, bits);
    HGDIOBJ oldMask = SelectObject(mono, mask);
    ASSERT_TRUE(BitBlt(a.dc, 0, 0, 4, 1, mono, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(a.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(a.dc, 1, 0), RGB(255, 255, 255));
    a.select(front, FALSE);
    SetPixel(a.dc, 1, 0, PALETTEINDEX(1));
    ASSERT_TRUE(BitBlt(a.dc, 0, 0, 2, 1, mono, 0, 0, SRCAND));
    EXPECT_EQ(GetPixel(a.dc, 1, 0), RGB(4, 5, 6));
    SelectObject(mono, oldMask);
    DeleteObject(mask);
    DeleteDC(mono);
    a.select(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    b.select(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(front);
    DeleteObject(back);
    DeleteObject(full);
}
