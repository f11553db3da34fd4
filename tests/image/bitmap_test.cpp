// Bitmaps and the conversions between record kinds: compressed bitmap
// resources (vekLoadBitmap), sprite image records loaded from files and
// resources, RLE records expanded, DI records turned into DD records, and
// the plain bitmap calls (mirroring, blits), all read back pixel by pixel.
//
// The resources are compiled into a .res file beside the program at run
// time, where the hosted platform reads a module's resources from; Windows
// reads them from the module itself, so there those cases are skipped.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "objfile/lzss.h"
#include "support/res_file.h"
#include "support/rle_reference.h"

using namespace support;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kUntouched = RGB(0x77, 0x77, 0x77);

// 256 colours: 0 black, 255 white, 1 to 5 static colours of a palette
// display (so that device bitmaps hold them exactly), the others distinct.
std::vector<RGBQUAD> sampleTable()
{
    std::vector<RGBQUAD> t(256);
    for (int i = 0; i < 256; i++) t[i] = RGBQUAD{7, BYTE(255 - i), BYTE(i), 0};
    const COLORREF fixed[] = {kBlack, RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255)};
    for (int i = 0; i < 6; i++) t[i] = RGBQUAD{GetBValue(fixed[i]), GetGValue(fixed[i]), GetRValue(fixed[i]), 0};
    t[255] = RGBQUAD{255, 255, 255, 0};
    return t;
}
const std::vector<RGBQUAD> kTable = sampleTable();
COLORREF colourOf(int i) { return RGB(kTable[i].rgbRed, kTable[i].rgbGreen, kTable[i].rgbBlue); }

// The 3 x 2 sample image: red green blue / yellow black red.
const Bytes kSamplePixels = {1, 2, 3, 4, 0, 1};
Bytes sampleBitmap() { return bmpFile(3, 2, kSamplePixels, kTable.data()); }

// A compressed bitmap resource: decoded size, resource size, LZSS stream.
Bytes compressed(const Bytes &image)
{
    Bytes out(8);
    vek::LzssEncode(image.data(), static_cast<DWORD>(image.size()),
                    [](void *context, const BYTE *bytes, DWORD length) {
                        auto &o = *static_cast<Bytes *>(context);
                        o.insert(o.end(), bytes, bytes + length);
                    },
                    &out);
    put32(out.data(), 0, static_cast<DWORD>(image.size()));
    put32(out.data(), 4, static_cast<DWORD>(out.size()));
    return out;
}

// The colours of a bitmap's pixels, top row first, through GetDIBits.
std::vector<COLORREF> colours(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (DWORD p : rows == height ? pixels : std::vector<DWORD>()) out.push_back(RGB(p >> 16, p >> 8 & 0xFF, p & 0xFF));
    return out;
}
std::vector<COLORREF> sampleColours(bool mirrored = false)
{
    std::vector<COLORREF> out;
    for (int i = 0; i < 6; i++) out.push_back(colourOf(kSamplePixels[mirrored ? i / 3 * 3 + 2 - i % 3 : i]));
    return out;
}

// A 32-bit top-down DIB section in a memory DC, to draw into and read back.
struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    Target(int w, int h)
    {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::memset(bits, 0x77, sizeof(DWORD) * w * h);
        old = SelectObject(dc, bitmap);
    }
    ~Target()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

HBITMAP bitmapAt(HSPRITEDATA dd, size_t at) { return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(get32(dd, at))); }

enum : WORD { kGood = 1, kStreamCut, kSizeLies, kHugeDecoded, kBadHeaders, kNotCompressed };

class Resources : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::vector<support::Resource> resources;
        for (WORD id = kGood; id <= kNotCompressed; id++) {
            Bytes data = compressed(sampleBitmap());
            if (id == kStreamCut) {
                data.resize(data.size() - 3);  // the stream ends before the decoded size
                put32(data.data(), 4, static_cast<DWORD>(data.size()));
            }
            if (id == kSizeLies) put32(data.data(), 4, static_cast<DWORD>(data.size() + 1));
            if (id == kHugeDecoded) put32(data.data(), 0, 0x7FFFFFF0);
            if (id == kBadHeaders) {  // decodes, but bfOffBits points past the image
                Bytes image = sampleBitmap();
                put32(image.data(), 10, static_cast<DWORD>(image.size() - 4));
                data = compressed(image);
            }
            if (id == kNotCompressed) data.resize(5);
            resources.push_back({stringId("VORTLBMP"), ordinalId(id), data});
        }
        // The same identifier under another type must not be taken.
        resources.push_back({ordinalId(10), ordinalId(7), compressed(sampleBitmap())});
        writeFileBytes(programResPath(), resFile(resources));
    }
    static void TearDownTestSuite() { DeleteFileA(programResPath().c_str()); }
    void SetUp() override
    {
#ifdef _WIN32
        GTEST_SKIP() << "Windows reads resources from the module's own image";
#endif
    }
    HINSTANCE module = GetModuleHandleA(nullptr);
};

}  // namespace

TEST_F(Resources, DecodeIntoBlocksBitmapsAndRecords)
{
    for (WORD mode : {WORD{2}, WORD{7}}) {
        HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(module, MAKEINTRESOURCEA(kGood), mode, nullptr));
        ASSERT_NE(block, nullptr) << "mode " << mode;
        const BYTE *bytes = static_cast<const BYTE *>(GlobalLock(block));
        EXPECT_EQ(Bytes(bytes, bytes + sampleBitmap().size()), sampleBitmap()) << "mode " << mode;
        GlobalUnlock(block);
        GlobalFree(block);
    }
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = static_cast<HBITMAP>(vekLoadBitmap(module, MAKEINTRESOURCEA(kGood), 1, screen));
    EXPECT_EQ(colours(bitmap, 3, 2), sampleColours()) << "mode 1: a device bitmap";
    DeleteObject(bitmap);

    Record record(vekLoadSpriteData(module, MAKEINTRESOURCEA(kGood), 0));
    ASSERT_NE(record.get(), nullptr);
    const size_t n = sampleBitmap().size();
    EXPECT_EQ(get32(record, 0), n) << "a resource's record counts the image exactly";
    EXPECT_EQ(Bytes(record.get() + 4, record.get() + 4 + n), sampleBitmap());

    EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(7), 2, nullptr), nullptr) << "only the type VORTLBMP";

    for (WORD id : {WORD{kStreamCut}, WORD{kSizeLies}, WORD{kHugeDecoded}, WORD{kNotCompressed}, WORD{99}}) {
        EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(id), 2, nullptr), nullptr) << "resource " << id;
        EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(id), 1, screen), nullptr) << "resource " << id;
        EXPECT_EQ(vekLoadSpriteData(module, MAKEINTRESOURCEA(id), 0), nullptr) << "resource " << id;
    }
    // Headers that describe more than the image: the decoded block, no bitmap.
    EXPECT_EQ(vekLoadBitmap(module, MAKEINTRESOURCEA(kBadHeaders), 1, screen), nullptr);
    HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(module, MAKEINTRESOURCEA(kBadHeaders), 2, nullptr));
    EXPECT_NE(block, nullptr);
    GlobalFree(block);
    ReleaseDC(nullptr, screen);
}

TEST(SpriteData, FromFilesAndConversions)
{
    // A file record counts two bytes more, bytes after the image kept.
    const std::string path = programPath() + "-sprite.bmp";
    Bytes file = sampleBitmap();
    file.push_back(0x5A);
    ASSERT_TRUE(writeFileBytes(path, file));
    Record record(vekLoadSpriteData(nullptr, path.c_str(), 1));
    ASSERT_NE(record.get(), nullptr);
    EXPECT_EQ(get32(record, 0), file.size() + 2);
    EXPECT_EQ(Bytes(record.get() + 4, record.get() + 4 + file.size()), file);
    EXPECT_EQ(get16(record, file.size() + 4), 0);

    // An RLE8 file of a 4 x 2 cel, top row first: . 5 5 5 / 1 2 3 4 (. clear).
    Bytes stream;
    skip(stream, 0);
    absolute(stream, {1, 2, 3, 4});
    endRow(stream);
    skip(stream, 1);
    run(stream, 3, 5);
    endRow(stream);
    endImage(stream);
    file = bmpFile(4, 0, {}, kTable.data());
    file.insert(file.end(), stream.begin(), stream.end());
    put32(file.data(), 22, 2);
    put32(file.data(), 30, BI_RLE8);
    put32(file.data(), 34, static_cast<DWORD>(stream.size()));
    put32(file.data(), 2, static_cast<DWORD>(file.size()));
    ASSERT_TRUE(writeFileBytes(path, file));
    const int cel[2][4] = {{-1, 5, 5, 5}, {1, 2, 3, 4}};

    VEKCONTEXT context{};
    HDC screen = GetDC(nullptr);
    Record di(vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1));
    ASSERT_NE(di.get(), nullptr);
    EXPECT_EQ(di.bytes(), Record(vekLoadSpriteData(nullptr, path.c_str(), 1)).bytes())
        << "without the DD option: what vekLoadSpriteData loads";

    // Expanded to a raw record over index 8, the source left as it is; a
    // mirrored source shows its unmirrored image.
    di.setFlags(VEK_IMAGE_MIRRORABLE);
    const Bytes before = di.bytes();
    for (bool mirrored : {false, true}) {
        if (mirrored) vekFlipSprite(di);
        Record raw(vekRLESpriteToRGBSprite(di));
        ASSERT_NE(raw.get(), nullptr);
        EXPECT_EQ(get32(raw, kCompression), DWORD{BI_RGB});
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 4; x++) EXPECT_EQ(*rawPixel(raw, x, y), cel[y][x] < 0 ? 8 : cel[y][x]) << x << "," << y;
        if (!mirrored) {
            EXPECT_EQ(di.bytes(), before);
        }
    }
    if (!(di.flags() & VEK_IMAGE_MIRRORED)) vekFlipSprite(di);

    // To DD records, through vekDISpriteToDDSprite (mirrored or not) and
    // through the DC's palette: the mask is black exactly at opaque pixels.
    std::vector<PALETTEENTRY> entries(256);
    for (int i = 0; i < 256; i++) entries[i] = PALETTEENTRY{kTable[i].rgbRed, kTable[i].rgbGreen, kTable[i].rgbBlue, 0};
    struct {
        WORD version = 0x300, count = 256;
        PALETTEENTRY entries[256];
    } lp;
    std::copy(entries.begin(), entries.end(), lp.entries);
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HPALETTE old = SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    context.options = VEK_OPTION_DD_OFFSCREEN;
    auto copyOf = [](const Record &r) { return blockOf(Bytes(r.get() + 4, r.get() + 4 + get32(r, 0))).release(); };
    HSPRITEDATA made[3];
    made[0] = vekDISpriteToDDSprite(screen, copyOf(di), entries.data(), 1);  // mirrored
    vekFlipSprite(di);
    made[1] = vekDISpriteToDDSprite(screen, copyOf(di), entries.data(), 1);
    made[2] = vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1);
    for (HSPRITEDATA dd : made) {
        ASSERT_NE(dd, nullptr);
        EXPECT_EQ(get16(dd, kType), VEK_TYPE_DD);
        const std::vector<COLORREF> mask = colours(bitmapAt(dd, 6), 4, 2), image = colours(bitmapAt(dd, 10), 4, 2);
        ASSERT_EQ(mask.size(), 8u);
        for (int i = 0; i < 8; i++) {
            const int index = cel[i / 4][i % 4];
            EXPECT_EQ(mask[i], index < 0 ? kWhite : kBlack) << "mask " << i;
            EXPECT_EQ(image[i], index < 0 ? kBlack : colourOf(index)) << "image " << i;
        }
        vekFreeDDSprite(dd);
    }
    SelectPalette(screen, old, FALSE);
    DeleteObject(palette);

    // A raw source gives an all-white mask; none when none is asked for.
    Record two = rawOf(2, 1, [](LONG x, LONG) { return x ? 0 : 3; });
    HSPRITEDATA dd = vekDISpriteToDDSprite(screen, copyOf(two), entries.data(), 1);
    EXPECT_EQ(colours(bitmapAt(dd, 6), 2, 1), (std::vector<COLORREF>{kWhite, kWhite}));
    EXPECT_EQ(colours(bitmapAt(dd, 10), 2, 1), (std::vector<COLORREF>{colourOf(3), kBlack}));
    vekFreeDDSprite(dd);
    dd = vekDISpriteToDDSprite(screen, copyOf(two), entries.data(), 0);
    EXPECT_EQ(bitmapAt(dd, 6), nullptr);
    vekFreeDDSprite(dd);
    EXPECT_EQ(vekDISpriteToDDSprite(screen, makeRaw(1, 1).release(), nullptr, 1), nullptr) << "no palette entries";

    DeleteFileA(path.c_str());
    EXPECT_EQ(vekLoadSpriteData(nullptr, path.c_str(), 1), nullptr);
    EXPECT_EQ(vekLoadSpriteDataEx(&context, screen, nullptr, path.c_str(), 1), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(PlainBitmaps, MirroringAndBlits)
{
    HDC screen = GetDC(nullptr);
    const Bytes file = sampleBitmap();
    HBITMAP source = CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER *>(file.data() + 14), CBM_INIT,
                                    file.data() + get32(file.data(), 10),
                                    reinterpret_cast<const BITMAPINFO *>(file.data() + 14), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (HPALETTE palette : {HPALETTE{}, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE))}) {
        HBITMAP mirrored = vekFlipBitmap(source, palette);
        EXPECT_EQ(colours(mirrored, 3, 2), sampleColours(true));
        DeleteObject(mirrored);
    }
    EXPECT_EQ(colours(source, 3, 2), sampleColours()) << "the source is left as it was";
    EXPECT_EQ(vekFlipBitmap(nullptr, nullptr), nullptr);

    // vekDDBlt takes 16-bit coordinates: x 0x10001 is 1, source x 0x20001 is 1.
    Target target(4, 3);
    EXPECT_TRUE(vekDDBlt(target.dc, 0x10001, 0, 2, 1, source, 0x20001, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), kUntouched);
    EXPECT_EQ(target.at(1, 0), colourOf(2));
    EXPECT_EQ(target.at(2, 0), colourOf(3));
    EXPECT_EQ(target.at(1, 1), kUntouched);
    DeleteObject(source);

    // vekDIBlt draws a block's image with its RGB colours, even when told the table holds indices.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size());
    std::memcpy(GlobalLock(block), file.data(), file.size());
    GlobalUnlock(block);
    {
        Target t(4, 3);
        EXPECT_EQ(vekDIBlt(t.dc, 1, 0x10001, 3, 2, block, 0, 0, SRCCOPY, DIB_PAL_COLORS), 2);
        for (int i = 0; i < 6; i++) EXPECT_EQ(t.at(1 + i % 3, 1 + i / 3), sampleColours()[i]) << i;
        EXPECT_EQ(t.at(0, 0), kUntouched);
    }
    // Pixels said to lie past the block's end: nothing is drawn.
    put32(static_cast<BYTE *>(GlobalLock(block)), 10, static_cast<DWORD>(file.size() - 2));
    GlobalUnlock(block);
    Target t(4, 3);
    EXPECT_EQ(vekDIBlt(t.dc, 0, 0, 3, 2, block, 0, 0, SRCCOPY, 0), 0);
    EXPECT_EQ(t.at(0, 0), kUntouched);
    GlobalFree(block);
}
