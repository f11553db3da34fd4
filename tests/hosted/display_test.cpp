// A window's client pixels saved as a PNG file by the hosted display
// (vekhostSaveWindowImage).
#include <vekhost.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

TEST(HostedDisplay, WindowImageIsAnRgbPng)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "VekHostDisplayTest";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 7, 5, nullptr, nullptr, nullptr, nullptr);
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

    EXPECT_FALSE(vekhostSaveWindowImage(w, "/nonexistent-vekhost-dir/image.png"));
    DestroyWindow(w);
    EXPECT_FALSE(vekhostSaveWindowImage(nullptr, file.c_str()));
}
