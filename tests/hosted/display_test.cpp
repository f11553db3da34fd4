// The hosted display: its size and depth (vekhostSetScreen, only while no
// window exists) and a window's client pixels saved as a PNG file
// (vekhostSaveWindowImage).
#include <vekhost.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int caps(int index)
{
    HDC screen = GetDC(nullptr);
    const int v = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return v;
}

HWND window(int width, int height)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "VekHostDisplayTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(HostedDisplay, SizeAndDepth)
{
    EXPECT_EQ(caps(HORZRES), 640) << "a 640 x 480 palette display by default";
    EXPECT_EQ(caps(BITSPIXEL), 8);
    EXPECT_TRUE(caps(RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(caps(SIZEPALETTE), 256);
    for (auto [w, h, bpp] : {std::array<int, 3>{320, 200, 16}, {0, 200, 8}, {20000, 200, 8}}) {
        vekhostSetScreen(w, h, bpp);
        EXPECT_EQ(caps(HORZRES), 640) << "other depths and sizes are ignored";
    }
    HWND w = window(10, 10);
    vekhostSetScreen(800, 600, 32);
    EXPECT_EQ(caps(HORZRES), 640) << "ignored while a window exists";
    DestroyWindow(w);

    vekhostSetScreen(320, 200, 32);
    EXPECT_EQ(caps(VERTRES), 200);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);
    EXPECT_EQ(caps(BITSPIXEL), 32);
    EXPECT_FALSE(caps(RASTERCAPS) & RC_PALETTE);
    HDC screen = GetDC(nullptr);
    PALETTEENTRY e[4];
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 4, e), 0u) << "no palette";
    RECT clip{};
    GetClipBox(screen, &clip);
    EXPECT_EQ(clip.right, 320) << "the screen DC has the new size";
    // Colours are kept exactly, palette indices take their palette's colours.
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
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

TEST(HostedDisplay, WindowImageIsAnRgbPng)
{
    HWND w = window(7, 5);
    HDC dc = GetDC(w);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{0, 0, 3, 5};
    FillRect(dc, &r, red);
    DeleteObject(red);
    ReleaseDC(w, dc);
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("vekhost-image-" + std::to_string(GetTickCount()) + ".png")).string();
    ASSERT_TRUE(vekhostSaveWindowImage(w, file.c_str()));
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> png{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(file.c_str());
    ASSERT_GT(png.size(), 45u);
    auto u32 = [&](size_t at) { return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | png[at + 2] << 8 | png[at + 3]; };
    EXPECT_EQ(std::vector<unsigned char>(png.begin(), png.begin() + 8),
              (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    // IHDR: width, height, depth 8, colour type 2 (RGB), and its CRC.
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(u32(16), 7u);
    EXPECT_EQ(u32(20), 5u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 2);
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 12; i < 29; i++) {
        crc ^= png[i];
        for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    EXPECT_EQ(u32(29), ~crc);
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(vekhostSaveWindowImage(w, "/nonexistent-vekhost-dir/image.png"));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PATH_NOT_FOUND});
    EXPECT_FALSE(vekhostSaveWindowImage(w, nullptr));
    DestroyWindow(w);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(vekhostSaveWindowImage(nullptr, file.c_str()));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_WINDOW_HANDLE});
}
