// Object files: every storage method written and read back, bare and under a
// header, skipped and measured, with the exact header words and payload
// fields in the file, the fall-backs, and the four-bit images.
#include "object_files.h"

namespace {

using namespace objtest;

constexpr DWORD kHeader = STORE_WITH_HEADER;

// A record of mostly long runs: compresses well under every method.
BYTE *stripes(LONG width, LONG height)
{
    return makeImage(width, height, [](LONG x, LONG y) { return static_cast<BYTE>(x < 3 ? 10 + y % 2 : 40); });
}

TEST_F(ObjectFile, BareObjectsRoundTripAreMeasuredAndSkipped)
{
    BYTE *image = stripes(13, 5);
    BYTE *block = blockOf(randomBytes(37, 1));
    ASSERT_TRUE(image && block);
    EXPECT_EQ(vekSaveObject(file_, image, 0, 0), totalOf(image));
    EXPECT_EQ(vekSaveObject(file_, block, STORE_LZSS, 0), totalOf(block)) << "the method bits are ignored bare";
    const Bytes file = contents();
    ASSERT_EQ(file.size(), totalOf(image) + totalOf(block));
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + totalOf(image), image)) << "stored byte for byte";

    rewind();
    EXPECT_EQ(vekSizeNextObject(file_, 0), totalOf(image) - 4) << "bare: the size field";
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(vekSkipObject(file_, 0), static_cast<LONG>(totalOf(image)));
    EXPECT_EQ(vekSizeNextObject(file_, kHeader), totalOf(block) - 4) << "flags are ignored";
    EXPECT_EQ(vekSkipObject(file_, 0), static_cast<LONG>(file.size()));

    rewind();
    BYTE *a = static_cast<BYTE *>(vekLoadObject(file_, 0, 0));
    BYTE *b = static_cast<BYTE *>(vekLoadObject(file_, 0, 0));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(bytesOf(a), bytesOf(image));
    EXPECT_EQ(bytesOf(b), bytesOf(block));
    EXPECT_EQ(GlobalSize(GlobalHandle(a)), totalOf(image));
    EXPECT_EQ(position(), static_cast<LONG>(file.size()));
    for (BYTE *p : {a, b, block}) release(p);
    release(image);
}

TEST_F(ObjectFile, RawUnderAHeader)
{
    BYTE *block = blockOf(randomBytes(100, 2));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(vekSaveObject(file_, block, kHeader | STORE_RAW, 0xDEAD), 0u);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + 104);
    EXPECT_EQ(get32(file.data(), 0), 104u);
    EXPECT_EQ(get32(file.data(), 4), 104u);
    EXPECT_EQ(get32(file.data(), 8), 0u);
    EXPECT_TRUE(std::equal(file.begin() + 12, file.end(), block));
    rewind();
    EXPECT_EQ(vekSizeNextObject(file_, kHeader), 104u) << "under a header: the total";
    EXPECT_EQ(vekSkipObject(file_, kHeader), 116);
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(bytesOf(back), bytesOf(block));
    EXPECT_EQ(position(), 116);
    release(back);
    release(block);
}

TEST_F(ObjectFile, LzssOfTheWholeBlock)
{
    Bytes content(3000);
    for (size_t i = 0; i < content.size(); i++) content[i] = static_cast<BYTE>("object files "[i % 13]);
    BYTE *block = blockOf(content);
    ASSERT_NE(block, nullptr);
    const DWORD stored = vekSaveObject(file_, block, kHeader | STORE_LZSS, 0);
    EXPECT_GT(stored, 0u);
    EXPECT_LT(stored, 3004u / 8);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + stored);
    EXPECT_EQ(get32(file.data(), 0), 3004u);
    EXPECT_EQ(get32(file.data(), 4), stored);
    EXPECT_EQ(get32(file.data(), 8), 1u);
    // The stream starts with the size field as four literals.
    EXPECT_EQ(file[12] & 0x0F, 0x0F);
    EXPECT_EQ(get32(file.data(), 13), 3000u);
    rewind();
    EXPECT_EQ(vekSkipObject(file_, kHeader), static_cast<LONG>(file.size()));
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(bytesOf(back), bytesOf(block));
    release(back);
    release(block);
}

TEST_F(ObjectFile, IncompressibleBlocksFallBackToRaw)
{
    BYTE *noise = blockOf(randomBytes(5000, 3));
    BYTE *image = makeImage(128, 64, [rng = std::mt19937(4)](LONG, LONG) mutable { return static_cast<BYTE>(rng()); });
    ASSERT_TRUE(noise && image);
    EXPECT_EQ(vekSaveObject(file_, noise, kHeader | STORE_LZSS, 0), 0u);
    const LONG second = position();
    EXPECT_EQ(second, static_cast<LONG>(12 + totalOf(noise))) << "the position follows the raw block";
    for (DWORD method : {STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS, STORE_IMAGE_4BIT}) {
        const LONG at = position();
        EXPECT_EQ(vekSaveObject(file_, image, kHeader | method, 0), 0u) << method;
        const Bytes file = contents();
        EXPECT_EQ(get32(file.data(), at + 4), totalOf(image)) << method;
        EXPECT_EQ(get32(file.data(), at + 8), 0u) << "method " << method << " fell back to raw";
        EXPECT_EQ(position(), static_cast<LONG>(at + 12 + totalOf(image)));
    }
    const Bytes file = contents();
    EXPECT_EQ(get32(file.data(), 4), totalOf(noise));
    EXPECT_EQ(get32(file.data(), 8), 0u);

    rewind();
    BYTE *a = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(bytesOf(a), bytesOf(noise));
    release(a);
    for (int i = 0; i < 3; i++) {
        BYTE *b = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(bytesOf(b), bytesOf(image)) << "raw keeps the whole record, colour table included";
        release(b);
    }
    release(noise);
    release(image);
}

// The last of several fall-backs leaves the stream's tail after the raw block.
TEST_F(ObjectFile, FallBackAtTheEndLeavesStaleBytes)
{
    BYTE *noise = blockOf(randomBytes(4000, 5));
    ASSERT_NE(noise, nullptr);
    EXPECT_EQ(vekSaveObject(file_, noise, kHeader | STORE_LZSS, 0), 0u);
    EXPECT_GT(contents().size(), 12 + totalOf(noise));
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(bytesOf(back), bytesOf(noise));
    release(back);
    release(noise);
}

TEST_F(ObjectFile, ImageBitsStoreTheFieldsAndTheStreamOfThePixels)
{
    // 40 pixel bytes of 'a', then 20 of 0x20: the streams of both are known.
    BYTE *as = makeImage(4, 10, [](LONG, LONG) { return BYTE{0x61}; });
    BYTE *spaces = makeImage(20, 1, [](LONG, LONG) { return BYTE{0x20}; });
    ASSERT_TRUE(as && spaces);
    put32(as, kCompression, 0);
    put32(as, kSizeImage, 40);
    EXPECT_EQ(vekSaveObject(file_, as, kHeader | STORE_IMAGE_BITS, 0), 28u);
    EXPECT_EQ(vekSaveObject(file_, spaces, kHeader | STORE_IMAGE_BITS_FLAGS, 0), 29u);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + 28 + 12 + 29);
    const BYTE *p = file.data();
    EXPECT_EQ(get32(p, 0), totalOf(as));
    EXPECT_EQ(get32(p, 4), 28u);
    EXPECT_EQ(get32(p, 8), 8u);
    EXPECT_EQ(get32(p, 12), 568u) << "bfOffBits";
    EXPECT_EQ(get32(p, 16), 4u) << "biWidth";
    EXPECT_EQ(get32(p, 20), 10u) << "biHeight";
    EXPECT_EQ(get32(p, 24), 0u) << "biCompression";
    EXPECT_EQ(get32(p, 28), 40u) << "biSizeImage";
    EXPECT_EQ(Bytes(p + 32, p + 40), (Bytes{0x01, 0x61, 0xEE, 0xFF, 0x00, 0x0F, 0x04, 0x00}));
    p += 40;
    EXPECT_EQ(get32(p, 8), 32u);
    EXPECT_EQ(get32(p, 32), 0u) << "flags and bfReserved2";
    EXPECT_EQ(Bytes(p + 36, p + 41), (Bytes{0x06, 0xDC, 0xFF, 0x20, 0x20}));
    rewind();
    EXPECT_EQ(vekSkipObject(file_, kHeader), 40);
    EXPECT_EQ(vekSkipObject(file_, kHeader), 81);
    release(as);
    release(spaces);
}

TEST_F(ObjectFile, ImageBitsRebuildTheHeaderAndKeepFlagsOnlyWithMethod32)
{
    BYTE *image = makeImage(7, 5, [](LONG x, LONG y) { return static_cast<BYTE>(x * y % 4 + 100); });
    ASSERT_NE(image, nullptr);
    put16(image, kFlags, VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    put16(image, kReserved2, 0x1234);
    put32(image, kXPels, 77);
    for (size_t i = kColorTable; i < kColorTable + 512; i++) image[i] = 0x5A;  // not identity
    const DWORD s8 = stride8(7);
    const DWORD stored = vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS, 0);
    EXPECT_EQ(stored, get32(contents().data(), 4));
    EXPECT_GT(vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS_FLAGS, 0), 0u);
    rewind();
    for (DWORD method : {STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS}) {
        BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
        ASSERT_NE(back, nullptr) << method;
        EXPECT_EQ(totalOf(back), totalOf(image));
        EXPECT_EQ(get16(back, 4), 0u) << "bfType";
        EXPECT_EQ(get32(back, 6), 0u) << "bfSize";
        EXPECT_EQ(get16(back, kFlags), method == STORE_IMAGE_BITS ? 0 : VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        EXPECT_EQ(get16(back, kReserved2), method == STORE_IMAGE_BITS ? 0 : 0x1234);
        EXPECT_EQ(get32(back, kPixelOffset), 568u);
        EXPECT_EQ(get32(back, 18), 40u);
        EXPECT_EQ(get32(back, kWidth), 7u);
        EXPECT_EQ(get32(back, kHeight), 5u);
        EXPECT_EQ(get16(back, 30), 1u);
        EXPECT_EQ(get16(back, kBitCount), 8u);
        EXPECT_EQ(get32(back, kXPels), 3800u);
        EXPECT_EQ(get32(back, kYPels), 3800u);
        for (unsigned i = 0; i < 256; i++) ASSERT_EQ(get16(back, kColorTable + 2 * i), i) << "identity table";
        EXPECT_TRUE(std::equal(image + 572, image + 572 + 5 * s8, back + 572)) << "pixels and padding";
        release(back);
    }
    EXPECT_EQ(position(), static_cast<LONG>(contents().size()));
    release(image);
}

TEST_F(ObjectFile, RecordWithoutPixelsCannotBeStoredAsImageBits)
{
    BYTE *image = makeImage(1, 1, [](LONG, LONG) { return BYTE{1}; });
    ASSERT_NE(image, nullptr);
    put32(image, kPixelOffset, totalOf(image) - 4);  // the pixels start at the end
    EXPECT_EQ(vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS, 0), 0u);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + 20) << "the header and the fields";
    EXPECT_EQ(get32(file.data(), 4), totalOf(image)) << "stored still says total";
    EXPECT_EQ(get32(file.data(), 8), 8u);
    release(image);
}

TEST_F(ObjectFile, MethodsWithoutAPayloadWriteTheHeaderAlone)
{
    BYTE *block = blockOf(randomBytes(64, 6));
    ASSERT_NE(block, nullptr);
    const DWORD methods[] = {STORE_RESERVED_2, STORE_PACKED_SOUND, 3, 64, 0x7FFFFFFF};
    for (DWORD method : methods) {
        const LONG at = position();
        EXPECT_EQ(vekSaveObject(file_, block, kHeader | method, 0), 0u) << method;
        const Bytes file = contents();
        ASSERT_EQ(file.size(), static_cast<size_t>(at) + 12) << method;
        EXPECT_EQ(get32(file.data(), at), 68u);
        EXPECT_EQ(get32(file.data(), at + 4), 68u);
        EXPECT_EQ(get32(file.data(), at + 8), method);
    }
    release(block);
}

TEST_F(ObjectFile, ShortBlocksUnderImageMethodsGoOutRaw)
{
    BYTE *block = blockOf(Bytes{1, 2, 3});
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(vekSaveObject(file_, block, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    const Bytes file = contents();
    EXPECT_EQ(file, (Bytes{7, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3}));
    release(block);
}

// ---- Four-bit images ----

TEST_F(ObjectFile, FourBitImageOfThreeColours)
{
    const BYTE colours[3] = {5, 200, 9};
    BYTE *image = makeImage(9, 4, [&](LONG x, LONG y) { return colours[(x + y) % 3]; });
    ASSERT_NE(image, nullptr);
    const DWORD stored = vekSaveObject(file_, image, kHeader | STORE_IMAGE_4BIT, 0);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + stored);
    const BYTE *p = file.data() + 12;
    EXPECT_EQ(get32(file.data(), 8), 16u);
    EXPECT_EQ(get16(p, 0), 22u);
    EXPECT_EQ(Bytes(p + 2, p + 18), (Bytes{5, 200, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})) << "first met first";
    EXPECT_EQ(get32(p, 18), 122u + 4 * 8) << "four-bit rows of 8 bytes";

    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    const DWORD s8 = stride8(9);
    EXPECT_EQ(get32(back, kPixelOffset), 1078u);
    EXPECT_EQ(totalOf(back), totalOf(image) + 512) << "a short record gains room for the long header";
    EXPECT_EQ(GlobalSize(GlobalHandle(back)), totalOf(back));
    EXPECT_EQ(get16(back, kBitCount), 8u);
    EXPECT_EQ(get32(back, kSizeImage), 0u);
    EXPECT_EQ(get32(back, kWidth), 9u);
    for (unsigned i = 0; i < 256; i++) ASSERT_EQ(get16(back, kColorTable + 2 * i), i);
    for (LONG y = 0; y < 4; y++) {
        for (LONG x = 0; x < 9; x++) ASSERT_EQ(pixel(back, x, y), colours[(x + y) % 3]) << x << "," << y;
        EXPECT_EQ(back[4 + 1078 + y * s8 + 9], colours[(8 + y) % 3]) << "padding repeats the last pixel";
    }
    release(back);
    release(image);
}

TEST_F(ObjectFile, FourBitImageOfOneColourOddWidth)
{
    BYTE *image = makeImage(5, 3, [](LONG, LONG) { return BYTE{7}; });
    ASSERT_NE(image, nullptr);
    put32(image, kClrImportant, 99);
    const DWORD stored = vekSaveObject(file_, image, kHeader | STORE_IMAGE_4BIT, 0);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + stored);
    const BYTE *p = file.data() + 12;
    EXPECT_EQ(get16(p, 0), 8u);
    EXPECT_EQ(p[2], 7);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(get32(p, 4), 54u);
    EXPECT_EQ(p[8] & 3, 3) << "the stream of the first 54 bytes starts with literals of the size field";
    EXPECT_EQ(get16(p, 9), totalOf(image) - 4);

    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(get32(back, kPixelOffset), 1078u);
    EXPECT_EQ(totalOf(back), totalOf(image) + 512);
    EXPECT_EQ(get32(back, kClrImportant), 0u) << "not in the 54 bytes";
    for (DWORD i = 0; i < 3 * stride8(5); i++) ASSERT_EQ(back[4 + 1078 + i], 7) << "padding included, byte " << i;
    release(back);
    release(image);
}

TEST_F(ObjectFile, FourBitImageOfTwoColoursOddWidth)
{
    BYTE *image = makeImage(7, 3, [](LONG x, LONG y) { return static_cast<BYTE>((x ^ y) & 1 ? 250 : 3); });
    ASSERT_NE(image, nullptr);
    EXPECT_GT(vekSaveObject(file_, image, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    EXPECT_EQ(get16(contents().data(), 12), 22u);
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    for (LONG y = 0; y < 3; y++) {
        for (LONG x = 0; x < 7; x++) ASSERT_EQ(pixel(back, x, y), pixel(image, x, y)) << x << "," << y;
        EXPECT_EQ(pixel(back, 7, y), pixel(image, 6, y)) << "padding after the last pixel";
    }
    release(back);
    release(image);
}

TEST_F(ObjectFile, FourBitImageOfALongRecordKeepsItsSize)
{
    auto *image = reinterpret_cast<BYTE *>(vekCreateSpriteData(6, 4));  // pixels behind the long header
    ASSERT_NE(image, nullptr);
    BYTE *pixels = image + 4 + get32(image, kPixelOffset);
    for (int i = 0; i < 4 * 8; i++) pixels[i] = static_cast<BYTE>(i % 5);
    EXPECT_GT(vekSaveObject(file_, image, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(totalOf(back), totalOf(image));
    EXPECT_EQ(get32(back, kPixelOffset), 1078u);
    for (LONG y = 0; y < 4; y++)
        for (LONG x = 0; x < 6; x++) ASSERT_EQ(pixel(back, x, y), pixel(image, x, y));
    release(back);
    release(image);
}

TEST_F(ObjectFile, SeventeenColoursFallBackToImageBits)
{
    BYTE *image = makeImage(68, 8, [](LONG x, LONG) { return static_cast<BYTE>(x / 4 * 3); });  // 17 runs
    ASSERT_NE(image, nullptr);
    const DWORD stored = vekSaveObject(file_, image, kHeader | STORE_IMAGE_4BIT, 0);
    EXPECT_GT(stored, 0u);
    const Bytes file = contents();
    EXPECT_EQ(get32(file.data(), 4), stored);
    EXPECT_EQ(get32(file.data(), 8), 8u) << "the header says the method used";
    rewind();
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(totalOf(back), totalOf(image));
    EXPECT_EQ(get32(back, kPixelOffset), 568u);
    for (LONG y = 0; y < 8; y++)
        for (LONG x = 0; x < 68; x++) ASSERT_EQ(pixel(back, x, y), pixel(image, x, y));
    release(back);
    release(image);
}

// ---- Loading into the caller's block ----

TEST_F(ObjectFile, LoadIntoTakesRawAndImageBitsOnly)
{
    BYTE *image = stripes(9, 6);
    ASSERT_NE(image, nullptr);
    put16(image, kFlags, VEK_IMAGE_MIRRORABLE);
    const DWORD methods[] = {STORE_RAW, STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS, STORE_LZSS, STORE_IMAGE_4BIT};
    std::vector<LONG> ends;
    for (DWORD method : methods) {
        vekSaveObject(file_, image, kHeader | method, 0);
        ends.push_back(position());
    }
    rewind();
    for (size_t i = 0; i < std::size(methods); i++) {
        const DWORD total = vekSizeNextObject(file_, kHeader);
        ASSERT_EQ(total, totalOf(image));
        auto *dest = static_cast<BYTE *>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE, total)));
        ASSERT_NE(dest, nullptr);
        std::memset(dest, 0xEE, total);
        void *got = vekLoadObjectInto(file_, kHeader, 0, dest);
        EXPECT_EQ(position(), ends[i]) << "after the object, method " << methods[i];
        if (i >= 3) {
            EXPECT_EQ(got, nullptr) << methods[i];
        } else {
            EXPECT_EQ(got, dest) << methods[i];
            EXPECT_EQ(get32(dest, 0), total - 4);
            for (LONG y = 0; y < 6; y++)
                for (LONG x = 0; x < 9; x++) ASSERT_EQ(pixel(dest, x, y), pixel(image, x, y));
            if (methods[i] != STORE_RAW) {
                EXPECT_EQ(get16(dest, 4), 0xEEEEu) << "bfType is kept";
                EXPECT_EQ(get16(dest, kFlags), methods[i] == STORE_IMAGE_BITS ? 0xEEEE : VEK_IMAGE_MIRRORABLE);
                EXPECT_EQ(get32(dest, kXPels), 3800u);
            }
        }
        release(dest);
    }
    release(image);
}

TEST_F(ObjectFile, LoadIntoRefusesALibraryBlockTooSmall)
{
    BYTE *image = stripes(9, 6);
    ASSERT_NE(image, nullptr);
    vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS, 0);
    rewind();
    auto *small = static_cast<BYTE *>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, totalOf(image) - 1)));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(vekLoadObjectInto(file_, kHeader, 0, small), nullptr);
    EXPECT_EQ(position(), static_cast<LONG>(contents().size()));
    for (size_t i = 0; i < totalOf(image) - 1; i++) ASSERT_EQ(small[i], 0) << "untouched";
    release(small);
    release(image);
}

}  // namespace
