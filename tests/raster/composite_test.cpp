// Composite sprite image records through the extended blit and vekDIBBltCM,
// and the extended blit's choice between record kinds.
#include <vekkit.h>

#include <gtest/gtest.h>

#include "sprite_images.h"

#include <random>

using namespace rt;

namespace {

constexpr BYTE kUntouched = 0xEE;
constexpr WORD kMirrored = 0x8000;

struct Element {
    SHORT left, bottom;
    WORD width;  // bit 15: drawn mirrored
    SHORT height, index;
};

// A composite record: bounds, element count and elements; byte 0 holds the
// length of what follows, as in a stored record.
Bytes composite(const std::vector<Element> &elements, RECT bounds = RECT{0, 0, 100, 100})
{
    Bytes r(38 + 10 * elements.size());
    put32(r.data(), 0, static_cast<DWORD>(r.size() - 4));
    put16(r.data(), 4, VEK_TYPE_COMPOSITE);
    put32(r.data(), 6, static_cast<DWORD>(bounds.left));
    put32(r.data(), 10, static_cast<DWORD>(bounds.top));
    put32(r.data(), 14, static_cast<DWORD>(bounds.right));
    put32(r.data(), 18, static_cast<DWORD>(bounds.bottom));
    put16(r.data(), 36, static_cast<WORD>(elements.size()));
    for (size_t i = 0; i < elements.size(); i++) {
        BYTE *e = r.data() + 38 + 10 * i;
        put16(e, 0, static_cast<WORD>(elements[i].left));
        put16(e, 2, static_cast<WORD>(elements[i].bottom));
        put16(e, 4, elements[i].width);
        put16(e, 6, static_cast<WORD>(elements[i].height));
        put16(e, 8, static_cast<WORD>(elements[i].index));
    }
    return r;
}

Record solid(LONG width, LONG height, BYTE first)
{
    Record r = makeRaw(width, height);
    for (LONG y = 0; y < height; y++)
        for (LONG x = 0; x < width; x++) *rawPixel(r, x, y) = static_cast<BYTE>(first + y * width + x);
    return r;
}

Record blank(LONG width, LONG height)
{
    Record r = makeRaw(width, height);
    std::fill(r.get() + kPixels, r.get() + r.blockSize(), kUntouched);
    return r;
}

// A context whose image table is table.
struct Context {
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 4, 8, 8, 0, nullptr, 0, 0);
    explicit Context(HSPRITEDATA *table) { vekSetSpriteContextBackgroundDef(ctx, nullptr, 0, 0, table); }
    ~Context() { vekDeleteSpriteContext(ctx); }
    operator LPVEKCONTEXT() const { return ctx; }
};

// What drawing the composite does, element by element: every pixel of an
// element's image that is not passed over and falls inside the window lands
// at its place relative to (x, y), if that lies inside dst.
void referenceComposite(Bytes &dst, const std::vector<Element> &elements, HSPRITEDATA *table, LONG x, LONG y,
                        LONG width, LONG height, LONG srcX, LONG srcY)
{
    const LONG dw = static_cast<LONG>(get32(dst.data(), kWidth)), dh = static_cast<LONG>(get32(dst.data(), kHeight));
    const size_t pixels = 4 + get32(dst.data(), kPixelOffset);
    for (const Element &e : elements) {
        const LONG top = e.bottom - e.height, w = e.width & 0x7FFF;
        if (e.left + w < srcX || srcX + width < e.left || srcY > e.bottom || srcY + height < top) continue;
        const Decoded image = decodeRaw(table[e.index]);
        for (LONG v = 0; v < image.height; v++)
            for (LONG u = 0; u < image.width; u++) {
                const LONG cx = e.left + u, cy = top + v;
                if (cx < srcX || cx >= srcX + width || cy < srcY || cy >= srcY + height) continue;
                const LONG dx = x + cx - srcX, dy = y + cy - srcY;
                if (dx < 0 || dy < 0 || dx >= dw || dy >= dh) continue;
                dst[pixels + static_cast<size_t>(dh - 1 - dy) * strideOf(dw) + dx] = static_cast<BYTE>(image.at(u, v));
            }
    }
}

}  // namespace

TEST(CompositeBlit, ElementsInListOrderMatchTheReference)
{
    std::mt19937 rng(1205);
    auto between = [&](LONG lo, LONG hi) { return std::uniform_int_distribution<LONG>(lo, hi)(rng); };
    std::vector<Record> images;
    HSPRITEDATA table[6];
    for (int i = 0; i < 6; i++) {
        images.push_back(solid(between(1, 12), between(1, 12), static_cast<BYTE>(40 * i + 1)));
        table[i] = images.back();
    }
    Context ctx(table);
    for (int trial = 0; trial < 400; trial++) {
        // Declared sizes may differ from the images': the images' own sizes
        // clip, the declared ones only decide which elements are passed over.
        std::vector<Element> elements;
        for (int n = between(1, 6); n > 0; n--) {
            const SHORT h = static_cast<SHORT>(between(0, 12));
            elements.push_back(Element{static_cast<SHORT>(between(-5, 20)), static_cast<SHORT>(between(-5, 25)),
                                       static_cast<WORD>(between(0, 12)), h, static_cast<SHORT>(between(0, 5))});
        }
        Bytes comp = composite(elements);
        Record dst = blank(between(1, 24), between(1, 24));
        const LONG x = between(-6, 10), y = between(-6, 10), width = between(-2, 24), height = between(-2, 24);
        const LONG srcX = between(-6, 20), srcY = between(-6, 20);
        Bytes expected = dst.bytes();
        referenceComposite(expected, elements, table, x, y, width, height, srcX, srcY);
        ASSERT_EQ(vekSpriteBltEx(ctx, dst, x, y, width, height, comp.data(), srcX, srcY, 1), 1);
        ASSERT_TRUE(dst.bytes() == expected) << "trial " << trial;
    }
}

TEST(CompositeBlit, EachElementMirrorsByItsOwnBit)
{
    Record image = solid(4, 1, 1);  // 1 2 3 4
    image.setFlags(VEK_IMAGE_MIRRORABLE);
    HSPRITEDATA table[] = {image};
    Context ctx(table);
    Record dst = blank(8, 2);

    // The call's mirror argument does not apply to composite sources.
    Bytes plain = composite({{0, 1, 4, 1, 0}});
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 2, plain.data(), 0, 0, 1), 1);
    Bytes mirrored = composite({{4, 2, 4 | kMirrored, 1, 0}});
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 2, mirrored.data(), 0, 0, 0), 1);
    const BYTE top[] = {1, 2, 3, 4}, bottom[] = {4, 3, 2, 1};
    for (LONG i = 0; i < 4; i++) {
        EXPECT_EQ(*rawPixel(dst, i, 0), top[i]);
        EXPECT_EQ(*rawPixel(dst, 4 + i, 1), bottom[i]);
    }
    EXPECT_EQ(image.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED) << "mirrored in place";
}

TEST(CompositeBlit, ElementEndingAtTheWindowIsDrawnClippedToNothing)
{
    // The element spans composite columns 0..3. A window starting at column
    // 4 still takes it (its image gets mirrored on demand) but draws nothing;
    // a window starting at column 5 passes it over.
    Record image = solid(4, 2, 1);
    image.setFlags(VEK_IMAGE_MIRRORABLE);
    HSPRITEDATA table[] = {image};
    Context ctx(table);
    Bytes comp = composite({{0, 2, 4 | kMirrored, 2, 0}});
    Record dst = blank(8, 8);
    const Bytes before = dst.bytes();

    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 8, comp.data(), 5, 0, 0), 1);
    EXPECT_EQ(image.flags(), VEK_IMAGE_MIRRORABLE) << "passed over";
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 8, comp.data(), 4, 0, 0), 1);
    EXPECT_EQ(image.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED) << "taken, then clipped";
    EXPECT_TRUE(dst.bytes() == before);

    // The same below: srcY one past the element's bottom passes it over.
    image.setFlags(VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 8, comp.data(), 0, 3, 0), 1);
    EXPECT_EQ(image.flags(), VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 8, comp.data(), 0, 2, 0), 1);
    EXPECT_EQ(image.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    EXPECT_TRUE(dst.bytes() == before);
}

TEST(CompositeBlit, MissingImagesArePassedOver)
{
    Record a = solid(2, 2, 10), b = solid(2, 2, 20);
    HSPRITEDATA table[] = {a, nullptr, b};
    Bytes comp = composite({{0, 2, 2, 2, -1}, {2, 2, 2, 2, 1}, {4, 2, 2, 2, 2}, {6, 2, 2, 2, 0}});
    Record dst = blank(8, 2);

    EXPECT_EQ(vekSpriteBltEx(nullptr, dst, 0, 0, 8, 2, comp.data(), 0, 0, 0), 0) << "no context";
    {
        Context none(nullptr);
        EXPECT_EQ(vekSpriteBltEx(none, dst, 0, 0, 8, 2, comp.data(), 0, 0, 0), 1) << "no image table";
    }
    EXPECT_EQ(*rawPixel(dst, 6, 0), kUntouched);

    Context ctx(table);
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 2, comp.data(), 0, 0, 0), 1);
    const int row[] = {kUntouched, kUntouched, kUntouched, kUntouched, 20, 21, 10, 11};
    for (LONG i = 0; i < 8; i++) EXPECT_EQ(*rawPixel(dst, i, 0), row[i]) << "column " << i;

    // A count beyond the record's length reads only the elements it holds.
    put16(comp.data(), 36, 400);
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 8, 2, comp.data(), 0, 0, 0), 1);
}

TEST(SpriteBltEx, ChoosesTheBlitByRecordKinds)
{
    Record src = solid(4, 2, 1);
    src.setFlags(VEK_IMAGE_MIRRORABLE);
    Record dst = blank(6, 2);
    EXPECT_EQ(vekSpriteBltEx(nullptr, dst, 1, 0, 4, 2, src, 0, 0, 1), 2) << "core blit: rows drawn";
    EXPECT_EQ(*rawPixel(dst, 1, 0), 4) << "drawn mirrored";
    EXPECT_EQ(*rawPixel(dst, 4, 1), 5);
    EXPECT_EQ(vekSpriteBltEx(nullptr, dst, 1, 0, 4, 2, src, 0, 0, 0), 2);
    EXPECT_EQ(*rawPixel(dst, 1, 0), 1) << "turned back";

    HDC screen = GetDC(nullptr);
    const auto dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 4, 4, 1));
    const auto dd2 = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 4, 4, 1));
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dd, nullptr);
    ASSERT_NE(dd2, nullptr);
    const Bytes before = dst.bytes();
    EXPECT_EQ(vekSpriteBltEx(nullptr, dd, 0, 0, 4, 2, src, 0, 0, 0), 0) << "DD destination, DI source";
    EXPECT_EQ(vekSpriteBltEx(nullptr, dst, 0, 0, 4, 2, dd, 0, 0, 0), 0) << "DI destination, DD source";
    EXPECT_EQ(vekSpriteBltEx(nullptr, dd, 0, 0, 4, 4, dd2, 0, 0, 0), 1) << "DD to DD through the GDI";
    Bytes comp = composite({});
    EXPECT_EQ(vekSpriteBltEx(nullptr, comp.data(), 0, 0, 4, 2, src, 0, 0, 0), 0) << "composite destination";
    EXPECT_TRUE(dst.bytes() == before);
    vekDeleteSpriteData(dd);
    vekDeleteSpriteData(dd2);
}

namespace {

// A memory DC holding a 32-bit DIB section, so that read-back colours are
// exact, with a palette selected that maps index i to colourOf(i). The palette
// is never realised: drawing with palette indices into a DIB section takes
// the colours from the selected palette, and the display's system palette is
// left as other tests expect it.
COLORREF colourOf(int i) { return RGB(i, 255 - i, (i * 7) & 255); }

struct MemoryDC : ::testing::Test {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HPALETTE palette = nullptr, oldPalette = nullptr;

    void SetUp() override
    {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        oldBitmap = SelectObject(dc, bitmap);
        struct {
            WORD version, count;
            PALETTEENTRY entries[256];
        } log{0x300, 256, {}};
        for (int i = 0; i < 256; i++) {
            const COLORREF c = colourOf(i);
            log.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
        oldPalette = SelectPalette(dc, palette, FALSE);
        RECT all;
        SetRect(&all, 0, 0, 32, 32);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void TearDown() override
    {
        SelectPalette(dc, oldPalette, FALSE);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteObject(palette);
        DeleteDC(dc);
    }
};

}  // namespace

TEST_F(MemoryDC, DIBBltCMShowsEachElementAtItsPlace)
{
    // Element 0 (3 x 2 from index 20) at (2, 5 - 2); element 1 (2 x 2 from
    // index 100), flagged mirrored but shown as it is, at (4, 4 - 2), over
    // element 0.
    Record a = solid(3, 2, 20), b = solid(2, 2, 100);
    b.setFlags(VEK_IMAGE_MIRRORABLE);
    HSPRITEDATA table[] = {a, b};
    Context ctx(table);
    Bytes comp = composite({{2, 5, 3, 2, 0}, {4, 4, 2 | kMirrored, 2, 1}});

    EXPECT_EQ(vekDIBBltCM(ctx, dc, 9, 9, 9, 9, comp.data(), 9, 9), 1);
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF expected[4][6] = {
        {black, black, black, black, black, black},
        {black, black, colourOf(100), colourOf(101), black, black},
        {colourOf(20), colourOf(21), colourOf(102), colourOf(103), black, black},
        {colourOf(23), colourOf(24), colourOf(25), black, black, black},
    };
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 6; col++)
            EXPECT_EQ(GetPixel(dc, 2 + col, 1 + row), expected[row][col]) << "pixel " << 2 + col << "," << 1 + row;
    EXPECT_EQ(b.flags(), VEK_IMAGE_MIRRORABLE) << "never mirrored";

    EXPECT_EQ(vekDIBBltCM(nullptr, dc, 0, 0, 0, 0, comp.data(), 0, 0), 0) << "no context";
    EXPECT_EQ(vekDIBBltCM(ctx, dc, 0, 0, 0, 0, a, 0, 0), 0) << "not a composite record";
}
