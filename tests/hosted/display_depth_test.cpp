// Displays of every depth that vekhostSetScreen offers: what GetDeviceCaps
// and vekGetColorInfo report, and window pixels drawn, read back through
// GetPixel and GetDIBits, and exported as PNG.
#include <vekhost.h>
#include <vekkit.h>

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 6, kHeight = 3;

// A depth as set, what the display reports, and what a solid colour drawn on
// it reads back as: displays of 15 and 16 bits keep 5 or 6 high bits of each
// component and read them back repeated below themselves.
struct Depth {
    int set;
    int bits;
    bool palette;
    int colorResolution;
    DWORD colors;
    WORD paletteSize;
    COLORREF drawn, shown;
};

const Depth kDepths[] = {
    {8, 8, true, 18, 256, 256, RGB(128, 0, 0), RGB(128, 0, 0)},
    {15, 16, false, 16, 65536, 0, RGB(0x12, 0x34, 0x56), RGB(16, 49, 82)},
    {16, 16, false, 16, 65536, 0, RGB(0x12, 0x34, 0x56), RGB(16, 52, 82)},
    {24, 24, false, 24, 1 << 24, 0, RGB(0x12, 0x34, 0x56), RGB(0x12, 0x34, 0x56)},
    {32, 32, false, 24, 1 << 24, 0, RGB(0x12, 0x34, 0x56), RGB(0x12, 0x34, 0x56)},
};

class DisplayDepth : public testing::TestWithParam<Depth> {
protected:
    void SetUp() override
    {
        vekhostSetScreen(320, 200, GetParam().set);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "VekHostDepthTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 nullptr, nullptr);
        dc = GetDC(window);
        file = (std::filesystem::temp_directory_path() /
                ("vekhost-depth-" + std::to_string(std::random_device{}()) + ".png"))
                   .string();
    }
    void TearDown() override
    {
        ReleaseDC(window, dc);
        DestroyWindow(window);
        UnregisterClassA("VekHostDepthTest", nullptr);
        std::remove(file.c_str());
        vekhostSetScreen(640, 480, 8);
    }
    HWND window = nullptr;
    HDC dc = nullptr;
    std::string file;
};

COLORREF inverted(COLORREF c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); }

}  // namespace

TEST_P(DisplayDepth, ReportsItsColoursAsWindowsDoes)
{
    const Depth &d = GetParam();
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), d.bits);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), d.palette ? 20 : -1);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), d.palette ? 256 : 0);
    EXPECT_EQ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0, d.palette);
    EXPECT_EQ(GetDeviceCaps(dc, COLORRES), d.colorResolution);
    DWORD colors = 0;
    WORD paletteSize = 1;
    vekGetColorInfo(dc, &colors, &paletteSize);
    EXPECT_EQ(colors, d.colors);
    EXPECT_EQ(paletteSize, d.paletteSize);
}

TEST_P(DisplayDepth, WindowPixelsReadBackAndExport)
{
    const Depth &d = GetParam();
    // Left half the solid colour, right half drawn from an 8-bit DIB of the
    // same colour and then inverted where the display holds colours.
    HBRUSH brush = CreateSolidBrush(d.drawn);
    const RECT left{0, 0, kWidth / 2, kHeight};
    FillRect(dc, &left, brush);
    DeleteObject(brush);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } bi{};
    bi.header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth / 2, kHeight, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    bi.colors[5] = RGBQUAD{GetBValue(d.drawn), GetGValue(d.drawn), GetRValue(d.drawn), 0};
    const BYTE pixels[4 * kHeight] = {5, 5, 5, 0, 5, 5, 5, 0, 5, 5, 5, 0};
    EXPECT_EQ(StretchDIBits(dc, kWidth / 2, 0, kWidth / 2, kHeight, 0, 0, kWidth / 2, kHeight, pixels,
                            reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, SRCCOPY),
              kHeight);
    if (!d.palette) PatBlt(dc, kWidth / 2, 0, kWidth / 2, kHeight, DSTINVERT);
    const auto expected = [&](int x) { return x < kWidth / 2 || d.palette ? d.shown : inverted(d.shown); };
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) ASSERT_EQ(GetPixel(dc, x, y), expected(x)) << x << ", " << y;
    EXPECT_EQ(SetPixel(dc, 0, 0, d.drawn), d.shown) << "the colour the pixel holds";

    // Through a display bitmap into 32-, 24- and 16-bit DIBs.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ASSERT_TRUE(BitBlt(memory, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY));
    SelectObject(memory, old);
    for (WORD bits : {32, 24, 16}) {
        SCOPED_TRACE(bits);
        BITMAPINFO out{};
        out.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<BYTE> rows(static_cast<size_t>((kWidth * bits + 31) / 32 * 4) * kHeight);
        ASSERT_EQ(GetDIBits(memory, bitmap, 0, kHeight, rows.data(), &out, DIB_RGB_COLORS), kHeight);
        const size_t stride = rows.size() / kHeight;
        for (int x = 0; x < kWidth; x++) {
            const BYTE *p = rows.data() + stride + static_cast<size_t>(x) * bits / 8;
            const COLORREF c = expected(x);
            if (bits == 16) {
                // 5-5-5: each component's high five bits.
                const WORD w = static_cast<WORD>(p[0] | p[1] << 8);
                EXPECT_EQ(w, (GetRValue(c) >> 3) << 10 | (GetGValue(c) >> 3) << 5 | GetBValue(c) >> 3) << x;
            } else {
                EXPECT_EQ(RGB(p[2], p[1], p[0]), c) << x;
            }
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);

    ASSERT_TRUE(vekhostSaveWindowImage(window, file.c_str()));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<BYTE> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(image.width, static_cast<png_uint_32>(kWidth));
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            const BYTE *p = rgb.data() + (static_cast<size_t>(y) * kWidth + x) * 3;
            ASSERT_EQ(RGB(p[0], p[1], p[2]), expected(x)) << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, DisplayDepth, testing::ValuesIn(kDepths),
                         [](const testing::TestParamInfo<Depth> &info) {
                             return std::to_string(info.param.set) + "Bits";
                         });
