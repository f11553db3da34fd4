// vekhostSaveWindowImage: a window's client pixels as a PNG file.
#include <vekhost.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

uint32_t bigEndian(const std::vector<unsigned char> &b, size_t at)
{
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

// The standard CRC-32 of PNG chunks.
uint32_t crc32(const unsigned char *p, size_t n)
{
    uint32_t c = 0xFFFFFFFF;
    for (size_t i = 0; i < n; i++) {
        c ^= p[i];
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

class WindowImage : public testing::Test {
protected:
    void SetUp() override
    {
#ifndef VEKHOST_PNG
        GTEST_SKIP() << "vekhost is built without libpng (no libpng for this target on the build machine)";
#endif
        WNDCLASSA wc{};
        wc.lpfnWndProc = plainProc;
        wc.lpszClassName = "VekHostImageTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 7, 5, nullptr, nullptr, nullptr, nullptr);
        // A name of its own, so that test runs side by side do not meet.
        file = (std::filesystem::temp_directory_path() /
                ("vekhost-image-" + std::to_string(std::random_device{}()) + ".png"))
                   .string();
    }
    void TearDown() override
    {
        DestroyWindow(window);
        UnregisterClassA("VekHostImageTest", nullptr);
        std::remove(file.c_str());
    }
    HWND window = nullptr;
    std::string file;
};

}  // namespace

TEST_F(WindowImage, WritesTheClientAreaAsAnRgbPng)
{
    HDC dc = GetDC(window);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{0, 0, 3, 5};
    FillRect(dc, &r, red);
    DeleteObject(red);
    ReleaseDC(window, dc);
    ASSERT_TRUE(vekhostSaveWindowImage(window, file.c_str()));

    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(png.size(), 8u + 25u + 12u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
    // IHDR: 13 bytes of width, height, depth 8, colour type 2 (RGB), ...
    EXPECT_EQ(bigEndian(png, 8), 13u);
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(bigEndian(png, 16), 7u);
    EXPECT_EQ(bigEndian(png, 20), 5u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 2);
    EXPECT_EQ(bigEndian(png, 29), crc32(png.data() + 12, 17)) << "the chunk's CRC";
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}

TEST_F(WindowImage, FailsForBadWindowsAndPaths)
{
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(vekhostSaveWindowImage(nullptr, file.c_str()));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(vekhostSaveWindowImage(window, "/nonexistent-vekhost-dir/image.png"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(vekhostSaveWindowImage(window, nullptr));
}
