// Records the rasteriser cannot draw, through every entry point that takes
// them: each refuses with its failure result and leaves both records as
// they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "raster/transformed_blit.h"
#include "support/images.h"

using namespace support;

namespace {

Record goodRaw() { return rawOf(6, 4, [](LONG x, LONG y) { return 1 + x + 6 * y; }); }

Record goodRle(WORD flags = VEK_IMAGE_MIRRORABLE)
{
    Bytes s;
    for (int row = 0; row < 4; row++) {
        skip(s, 1);
        run(s, 3, static_cast<BYTE>(row + 1));
        endRow(s);
    }
    endImage(s);
    return makeRle(6, 4, s, flags);
}

// A record of the given type word and bounds, the size of a DD record's or
// a composite record's block.
Record kindOf(WORD type)
{
    Record r = makeRaw(6, 4);
    put16(r, kType, type);
    put32(r, 6, 0x11);  // DD: handle fields that look like image flags
    put32(r, 10, 0x13);
    return r;
}

struct Case {
    const char *name;
    std::function<Record()> make;
    bool drawableSource;  // a well-formed RLE image: refused only as a destination
};

const Case kCases[] = {
    {"4 bits per pixel", [] { Record r = goodRaw(); put16(r, kBitCount, 4); return r; }, false},
    {"24 bits per pixel", [] { Record r = goodRaw(); put16(r, kBitCount, 24); return r; }, false},
    {"pixel offset beyond the block", [] { Record r = goodRaw(); put32(r, kPixelOffset, get32(r, 0) + 1); return r; }, false},
    {"rows beyond the block", [] { Record r = goodRaw(); put32(r, kHeight, 5); return r; }, false},
    {"block shorter than the headers", [] { Record r = goodRaw(); put32(r, 0, 50); return r; }, false},
    {"wider than 32767", [] { Record r = goodRaw(); put32(r, kWidth, 40000); return r; }, false},
    {"DD record", [] { return kindOf(VEK_TYPE_DD); }, false},
    {"composite record", [] { return kindOf(VEK_TYPE_COMPOSITE); }, false},
    {"compression 2", [] { Record r = goodRle(); put32(r, kCompression, 2); return r; }, false},
    {"RLE stream cut in its first row", [] { Record r = goodRle(); put32(r, 0, kPixels - 4 + 5); return r; }, false},
    {"RLE image", [] { return goodRle(); }, true},
};

}  // namespace

TEST(RasterRefusals, EveryEntryPointRefusesWhatItCannotDraw)
{
    VEKMATRIX m;
    vekBuildMatrix(&m, 0x10000, 0x10000, 0, 0);
    VEKSPRITE sprite{};
    sprite.target = RECT{0, 0, 6, 4};
    sprite.transform = &m;
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        Record bad = c.make(), raw = goodRaw(), rle = goodRle(0);
        const Bytes badBefore = bad.bytes(), rawBefore = raw.bytes();
        if (!c.drawableSource) {
            EXPECT_EQ(vekSpriteBlt(raw, 0, 0, 6, 4, bad, 0, 0), 0) << "source";
            EXPECT_EQ(vekSpriteBltEx(nullptr, raw, 0, 0, 6, 4, bad, 0, 0, 0), 0) << "source";
            EXPECT_EQ(vekSpriteBlot(nullptr, raw, 0, 0, 6, 4, bad, 0, 0, 0), 0) << "blot source";
        }
        EXPECT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(raw), 0, 0, vek::viewRecord(bad), 0, 0, 6, 4, &sprite), 0) << "transformed source";
        EXPECT_TRUE(raw.bytes() == rawBefore);
        EXPECT_EQ(vekSpriteBlt(bad, 0, 0, 6, 4, raw, 0, 0), 0) << "destination";
        EXPECT_EQ(vekSpriteBlt(bad, 0, 0, 6, 4, rle, 0, 0), 0) << "destination";
        EXPECT_EQ(vekSpriteBlot(nullptr, bad, 0, 0, 6, 4, rle, 0, 0, 0), 0) << "blot destination";
        EXPECT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(bad), 0, 0, vek::viewRecord(raw), 0, 0, 6, 4, &sprite), 0) << "transformed destination";
        // DD images are filled through the GDI, and without a palette not at all.
        EXPECT_EQ(vekSpriteFill(bad, 0, 0, 6, 4, 9), get16(bad, kType) == VEK_TYPE_DD ? 1 : 0) << "fill";
        EXPECT_TRUE(bad.bytes() == badBefore);
        if (c.drawableSource) continue;
        // Mirroring leaves them alone (a DD record's handle fields are never
        // read as flags); an unknown compression only toggles the mirrored bit.
        if (get16(bad, kType) != VEK_TYPE_DD) put16(bad, kFlags, VEK_IMAGE_MIRRORABLE);
        Bytes expected = bad.bytes();
        if (get32(bad, kCompression) == 2) put16(expected.data(), kFlags, VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        vekFlipSprite(bad);
        EXPECT_TRUE(bad.bytes() == expected) << "mirror";
    }
    Record raw = goodRaw();
    EXPECT_EQ(vekSpriteBlt(raw, 0, 0, 4, 3, nullptr, 0, 0), 0);
    sprite.transform = nullptr;
    EXPECT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(raw), 0, 0, vek::viewRecord(goodRaw()), 0, 0, 6, 4, &sprite), 0) << "no matrix";
    EXPECT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(raw), 0, 0, vek::viewRecord(goodRaw()), 0, 0, 6, 4, nullptr), 0);
}
