// A DI record whose header describes more than its block holds (a bit count
// other than 8, a colour table that runs past the block) never reaches the
// GDI: vekDIBBlt and the DIB section copy refuse it, and a context with it as
// background updates without reading past the block. Every record here is
// a block of its exact size, so a read past it is caught by the address
// sanitizer.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/images.h"
#include "support/palette_window.h"

namespace {

using support::Record;

constexpr LONG kSide = 4;

// A record as vekLoadSpriteData makes it from an 8-bit bitmap file of
// kSide x kSide pixels (index 30) whose colour table holds `indices` 16-bit
// entries, directly followed by the pixels.
Record loadedRecord(DWORD indices)
{
    const size_t image = 14 + 40 + 2 * indices + kSide * kSide;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, image + 6);
    BYTE *r = static_cast<BYTE *>(GlobalLock(mem));
    support::put32(r, 0, static_cast<DWORD>(image + 2));
    support::put16(r, 4, 0x4D42);
    support::put32(r, support::kPixelOffset, static_cast<DWORD>(14 + 40 + 2 * indices));
    support::put32(r, 18, 40);
    support::put32(r, support::kWidth, kSide);
    support::put32(r, support::kHeight, kSide);
    support::put16(r, 30, 1);
    support::put16(r, support::kBitCount, 8);
    support::put32(r, 50, indices == 256 ? 0 : indices);
    for (DWORD i = 0; i < indices; i++) support::put16(r, 58 + 2 * i, static_cast<WORD>(i));
    for (size_t i = 0; i < kSide * kSide; i++) r[4 + 14 + 40 + 2 * indices + i] = 30;
    return Record(r);
}

struct HeaderWindow : ::testing::Test {
    support::PaletteWindow win{16, 16};

    void SetUp() override
    {
        ASSERT_NE(win.window, nullptr);
        win.paint(20);
    }
    bool untouched() const
    {
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                if (win.at(x, y) != 20) return false;
        return true;
    }
};

}  // namespace

TEST_F(HeaderWindow, HeadersTheBlockCannotHoldAreRefused)
{
    struct Case {
        const char *name;
        DWORD indices;  // colour table entries the block holds
        WORD bitCount;
        DWORD clrUsed;
        DWORD infoSize;
        DWORD compression;
    };
    const Case cases[] = {
        {"no colour table before the pixels", 0, 8, 0, 40, BI_RGB},
        {"biClrUsed entries running past the block", 16, 8, 40, 40, BI_RGB},
        {"biClrUsed beyond 256 counts 256", 16, 8, 0xFFFFFFFF, 40, BI_RGB},
        {"32 bits per pixel", 256, 32, 0, 40, BI_RGB},
        {"24 bits per pixel", 256, 24, 0, 40, BI_RGB},
        {"1 bit per pixel", 256, 1, 0, 40, BI_RGB},
        {"a header larger than the GDI takes", 256, 8, 0, 125, BI_RGB},
        {"a header shorter than the GDI takes", 256, 8, 0, 12, BI_RGB},
        {"a V5 header pushing the table past the block", 16, 8, 16, 124, BI_RGB},
        {"run-length data of 32 bits per pixel", 256, 32, 0, 40, BI_RLE8},
        {"run-length data without room for the table", 0, 8, 0, 40, BI_RLE8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        win.paint(20);
        Record r = loadedRecord(c.indices);
        support::put16(r.get(), support::kBitCount, c.bitCount);
        support::put32(r.get(), 50, c.clrUsed);
        support::put32(r.get(), 18, c.infoSize);
        support::put32(r.get(), support::kCompression, c.compression);
        EXPECT_EQ(vekDIBBlt(win.dc, 0, 0, kSide, kSide, r, 0, 0), 0);
        EXPECT_TRUE(untouched());
        HBITMAP section = vekHSPRITEDATAtoDIBSection(win.dc, r);
        EXPECT_EQ(section, nullptr);
        if (section) DeleteObject(section);
    }
}

TEST_F(HeaderWindow, ShortColourTableThatFitsIsDrawn)
{
    Record r = loadedRecord(31);
    EXPECT_EQ(vekDIBBlt(win.dc, 2, 3, kSide, kSide, r, 0, 0), kSide);
    EXPECT_EQ(win.at(2, 3), 30);
    EXPECT_EQ(win.at(5, 6), 30);
    EXPECT_EQ(win.at(6, 6), 20);
}

TEST_F(HeaderWindow, BackgroundWithoutRoomForItsTableUpdatesWithinTheBlock)
{
    // The 70-byte bitmap file: headers, then the pixels at once.
    std::vector<BYTE> file(70, 30);
    Record r = loadedRecord(0);
    std::copy(r.get() + 4, r.get() + 4 + 54, file.begin());
    const char *name = "gdi_header_bounds_70.bmp";
    HFILE out = _lcreat(name, 0);
    ASSERT_NE(out, HFILE_ERROR);
    ASSERT_EQ(_lwrite(out, reinterpret_cast<LPCSTR>(file.data()), 70), 70u);
    _lclose(out);
    Record loaded(vekLoadSpriteData(nullptr, name, 1));
    DeleteFileA(name);
    ASSERT_NE(loaded.get(), nullptr);
    EXPECT_EQ(vekDIBBlt(win.dc, 0, 0, kSide, kSide, loaded, 0, 0), 0);

    LPVEKCONTEXT ctx = vekCreateSpriteContext(win.window, win.dc, 4, 8, 8, 20, loaded, kSide, kSide);
    ASSERT_NE(ctx, nullptr);
    vekUpdateSpriteContext(ctx, win.dc);
    vekRedrawSpriteContext(ctx, win.dc);
    vekDeleteSpriteContext(ctx);
}
