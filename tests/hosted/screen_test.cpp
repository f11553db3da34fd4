// vekhostSetScreen: the display's size and depth, before windows exist.
#include <vekhost.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int caps(int index)
{
    HDC screen = GetDC(nullptr);
    int v = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return v;
}

class Screen : public testing::Test {
protected:
    void TearDown() override { vekhostSetScreen(640, 480, 8); }
};

}  // namespace

TEST_F(Screen, DefaultsToA640By480PaletteDisplay)
{
    EXPECT_EQ(caps(HORZRES), 640);
    EXPECT_EQ(caps(VERTRES), 480);
    EXPECT_EQ(caps(BITSPIXEL), 8);
    EXPECT_TRUE(caps(RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(caps(SIZEPALETTE), 256);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
}

TEST_F(Screen, ThirtyTwoBitsHaveNoPalette)
{
    vekhostSetScreen(320, 200, 32);
    EXPECT_EQ(caps(HORZRES), 320);
    EXPECT_EQ(caps(VERTRES), 200);
    EXPECT_EQ(caps(BITSPIXEL), 32);
    EXPECT_FALSE(caps(RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(caps(SIZEPALETTE), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);

    HDC screen = GetDC(nullptr);
    PALETTEENTRY e[4];
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 4, e), 0u);
    RECT clip{};
    GetClipBox(screen, &clip);
    EXPECT_EQ(clip.right, 320) << "the screen DC has the new size";
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    // Colours are kept exactly, palette indices take their palette's colours.
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    EXPECT_EQ(SetPixel(mem, 0, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(mem, 1, 0, PALETTEINDEX(13)), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);

    vekhostSetScreen(640, 480, 8);
    EXPECT_TRUE(caps(RASTERCAPS) & RC_PALETTE);
}

TEST_F(Screen, ChangesOnlyWhileNoWindowExists)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "VekHostScreenTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    vekhostSetScreen(800, 600, 32);
    EXPECT_EQ(caps(HORZRES), 640) << "ignored while a window exists";
    EXPECT_EQ(caps(BITSPIXEL), 8);
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, nullptr);
    vekhostSetScreen(800, 600, 32);
    EXPECT_EQ(caps(HORZRES), 800);
}

TEST_F(Screen, OtherDepthsAndSizesAreIgnored)
{
    vekhostSetScreen(320, 200, 12);
    EXPECT_EQ(caps(HORZRES), 640);
    vekhostSetScreen(0, 200, 8);
    EXPECT_EQ(caps(HORZRES), 640);
    vekhostSetScreen(20000, 200, 8);
    EXPECT_EQ(caps(HORZRES), 640);
}
