// The hosted GDI's limit on pixel blocks (1 GiB) against DIB sizes whose
// row strides reach 2^29 bytes and more: width x bits per pixel at 2^32 and
// beyond wraps a 32-bit size to a stride of a few bytes or none. Each is
// refused before a byte of the caller's pixels is read or written.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A BITMAPINFO with room for a full colour table.
struct Dib {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    Dib(LONG width, LONG height, WORD bits) : header{sizeof header, width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0} {}
    BITMAPINFO *info() { return reinterpret_cast<BITMAPINFO *>(this); }
};

}  // namespace

TEST(WrappingDibs, SizesWhoseStridesWrapAreRefused)
{
    const Dib sizes[] = {{0x08000000, 3, 32}, {0x7FFFFFFF, 1, 8}, {0x20000000, -2, 32}, {0x7FFFFFFF, 0x7FFFFFFF, 1}};
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    const std::vector<BYTE> filled(64, 0x5A);
    std::vector<BYTE> pixels = filled;
    for (Dib d : sizes) {
        const BITMAPINFOHEADER &h = d.header;
        SCOPED_TRACE(testing::Message() << h.biWidth << " x " << h.biHeight << " at " << h.biBitCount);
        void *bits = &pixels;
        EXPECT_EQ(CreateDIBSection(dc, d.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
        EXPECT_EQ(CreateBitmap(h.biWidth, h.biHeight, 1, h.biBitCount, nullptr), nullptr);
        EXPECT_EQ(CreateDIBitmap(dc, &h, CBM_INIT, pixels.data(), d.info(), DIB_RGB_COLORS), nullptr);
        EXPECT_EQ(SetDIBits(dc, bitmap, 0, 1, pixels.data(), d.info(), DIB_RGB_COLORS), 0);
        EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, pixels.data(), d.info(), DIB_RGB_COLORS, SRCCOPY), 0);
        EXPECT_TRUE(pixels == filled);
    }
    // A monochrome bitmap of 2^28 + 1 pixels (32 MiB) read out at 32 bits:
    // a row of 2^33 + 32 bits, just over 1 GiB.
    HBITMAP wide = CreateBitmap(0x10000001, 1, 1, 1, nullptr);
    ASSERT_NE(wide, nullptr);
    Dib out(0x10000001, 1, 32);
    EXPECT_EQ(GetDIBits(dc, wide, 0, 1, pixels.data(), out.info(), DIB_RGB_COLORS), 0);
    EXPECT_TRUE(pixels == filled);
    DeleteObject(wide);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
