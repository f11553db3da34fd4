// The sprite blit against the reference decoder of sprite_images.h, on
// random raw and RLE images drawn at random places, with on-demand mirroring.
#include "random_images.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rt;

namespace {

// Blits src into dst restored to `before`, and compares the whole destination
// block and the result with the reference.
void expectBlit(const Record &dst, const Bytes &before, const Record &src, const Decoded &pixels, const Rect &r,
                const std::string &label)
{
    std::memcpy(dst.get(), before.data(), before.size());
    Bytes expected = before;
    const LONG want = referenceBlit(expected, pixels, r.x, r.y, r.width, r.height, r.srcX, r.srcY);
    const LONG got = vekSpriteBlt(dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY);
    ASSERT_EQ(got, want) << label;
    const Bytes after = dst.bytes();
    for (size_t i = 0; i < after.size(); i++) ASSERT_EQ(after[i], expected[i]) << label << ", block byte " << i;
}

// The source image as the blit sees it (raw pixels or the decoded stream).
Decoded imageOf(const Record &src, bool isRle) { return isRle ? decodeRecord(src) : decodeRaw(src); }

}  // namespace

TEST(SpriteBlitRandom, MatchesReferenceDecoderWithMirroring)
{
    for (unsigned seed = 1; seed <= 3000; seed++) {
        Random rnd(seed);
        const bool isRle = rnd.chance(0.6);
        Record src;
        Decoded pixels;
        RleSource rle;
        if (isRle) {
            rle = randomRle(rnd);
            src = makeRle(rle.width, rle.height, rle.stream, 0, rle.length);
            pixels = decodeRecord(src);
        } else {
            src = randomRaw(rnd, pixels);
        }
        Record dst = makeRaw(rnd.between(1, 90), rnd.between(1, 60), rnd.chance(0.5));
        for (size_t i = 4 + get32(dst, kPixelOffset); i < dst.blockSize(); i++) dst.get()[i] = rnd.byte();
        const Bytes dstBefore = dst.bytes();
        const Rect r = randomRect(rnd, pixels, static_cast<LONG>(get32(dst, kWidth)),
                                  static_cast<LONG>(get32(dst, kHeight)));

        expectBlit(dst, dstBefore, src, pixels, r, describe(seed, r, pixels, "plain"));
        if (HasFatalFailure()) return;
        if (!rnd.chance(0.5)) continue;

        // Mirroring: an image either stays exactly as it was or becomes the
        // mirror image; well-formed images up to 255 wide always mirror.
        src.setFlags(VEK_IMAGE_MIRRORABLE);
        const Bytes srcBefore = src.bytes();
        vekFlipSprite(src);
        if (src.flags() == VEK_IMAGE_MIRRORABLE) {
            ASSERT_TRUE(src.bytes() == srcBefore) << describe(seed, r, pixels, "refused mirroring changed bytes");
            ASSERT_FALSE(isRle ? rle.writersRule && rle.width <= 255 : true)
                << describe(seed, r, pixels, "well-formed image not mirrored");
            continue;
        }
        ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        const Decoded flipped = imageOf(src, isRle);
        ASSERT_TRUE(flipped.pixels == mirrored(pixels).pixels) << describe(seed, r, pixels, "mirror image");

        // Drawn as it stands (mirror-enable off), then plain again: the blit
        // turns the image back first.
        src.setFlags(VEK_IMAGE_MIRRORED);
        expectBlit(dst, dstBefore, src, flipped, r, describe(seed, r, pixels, "mirrored"));
        src.setFlags(VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        expectBlit(dst, dstBefore, src, pixels, r, describe(seed, r, pixels, "restored"));
        if (HasFatalFailure()) return;
        ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE);
        ASSERT_TRUE(imageOf(src, isRle).pixels == pixels.pixels) << describe(seed, r, pixels, "restored pixels");
        if (!isRle) {
            ASSERT_TRUE(src.bytes() == srcBefore) << describe(seed, r, pixels, "restored raw bytes");
        }
    }
}
