// Stored objects moved between files without expansion, packed sound saved
// and loaded, and file transfers of buffers over 64 KiB.
#include "object_files.h"

namespace {

using namespace objtest;

constexpr DWORD kHeader = STORE_WITH_HEADER;

// A packed sound of ten samples: the first (10), a 1-bit block of K = 8 with
// row 0 and data 0xF0, and the absolute code 0xFF. Its header names a sound
// object of 48 + 10 bytes.
Bytes packedSound()
{
    Bytes p(48);
    for (size_t i = 4; i < 48; i++) p[i] = static_cast<BYTE>(i * 7);
    put32(p.data(), 0, 58 - 4);
    p.insert(p.end(), {8, 10, 0x10, 0xF0, 0xFF});
    return p;
}

TEST_F(ObjectFile, CompressedObjectsCopyByteForByteForEveryMethod)
{
    BYTE *image = makeImage(11, 7, [](LONG x, LONG y) { return static_cast<BYTE>((x / 3 + y) % 3 + 20); });
    ASSERT_NE(image, nullptr);
    const DWORD methods[] = {STORE_RAW, STORE_LZSS, STORE_IMAGE_BITS, STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS};
    for (DWORD method : methods) vekSaveObject(file_, image, kHeader | method, 0);
    const Bytes sound = packedSound();
    EXPECT_EQ(vekSaveCompSound(file_, const_cast<BYTE *>(sound.data()), static_cast<DWORD>(sound.size()),
                  STORE_PACKED_SOUND),
        sound.size());
    const Bytes original = contents();

    const HFILE copy = another(".copy");
    rewind();
    for (size_t i = 0; i <= std::size(methods); i++) {
        const LONG at = position();
        auto *block = static_cast<BYTE *>(vekLoadCompObject(file_));
        ASSERT_NE(block, nullptr) << i;
        EXPECT_EQ(position(), at) << "put back to the start";
        const DWORD stored = get32(original.data(), at + 4);
        EXPECT_EQ(get32(block, 0), stored + 12);
        EXPECT_EQ(GlobalSize(GlobalHandle(block)), stored + 16);
        EXPECT_EQ(vekSaveCompObject(copy, block), stored + 12);
        release(block);
        EXPECT_EQ(vekSkipObject(file_, kHeader), static_cast<LONG>(at + 12 + stored));
    }
    EXPECT_EQ(contents(copy), original);

    rewind(copy);
    for (size_t i = 0; i < std::size(methods); i++) {
        BYTE *back = static_cast<BYTE *>(vekLoadObject(copy, kHeader, 0));
        ASSERT_NE(back, nullptr) << methods[i];
        for (LONG y = 0; y < 7; y++)
            for (LONG x = 0; x < 11; x++) ASSERT_EQ(pixel(back, x, y), pixel(image, x, y)) << methods[i];
        release(back);
    }
    _lclose(copy);
    release(image);
}

TEST_F(ObjectFile, PackedSoundLoadsAsSamplesAndAsItsPayload)
{
    const Bytes sound = packedSound();
    vekSaveCompSound(file_, const_cast<BYTE *>(sound.data()), static_cast<DWORD>(sound.size()), STORE_PACKED_SOUND);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12 + sound.size());
    EXPECT_EQ(get32(file.data(), 0), 58u) << "total from the sound's size field";
    EXPECT_EQ(get32(file.data(), 4), sound.size());
    EXPECT_EQ(get32(file.data(), 8), 4u);

    rewind();
    DWORD stored = 0;
    auto *packed = static_cast<BYTE *>(vekLoadCompSound(file_, &stored));
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(stored, sound.size());
    EXPECT_EQ(Bytes(packed, packed + stored), sound);
    EXPECT_EQ(position(), 0);
    release(packed);

    BYTE *object = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(object)), 58u);
    EXPECT_TRUE(std::equal(sound.begin(), sound.begin() + 48, object)) << "the header as stored";
    EXPECT_EQ(Bytes(object + 48, object + 58), (Bytes{10, 11, 12, 13, 14, 13, 12, 11, 10, 254}));
    EXPECT_EQ(position(), static_cast<LONG>(file.size()));
    release(object);
}

TEST_F(ObjectFile, CompSoundRefusesOtherMethods)
{
    BYTE *block = blockOf(randomBytes(30, 7));
    ASSERT_NE(block, nullptr);
    vekSaveObject(file_, block, kHeader | STORE_IMAGE_BITS, 0);  // too short: goes out raw
    vekSaveObject(file_, block, kHeader | STORE_LZSS, 0);
    rewind();
    DWORD stored = 12345;
    EXPECT_EQ(vekLoadCompSound(file_, &stored), nullptr);
    EXPECT_EQ(stored, 12345u) << "untouched";
    EXPECT_EQ(position(), 0);
    release(block);
}

TEST_F(ObjectFile, PackerEntryPointsDoNothing)
{
    EXPECT_EQ(vekPackSound(1, 2, 3, 4), 0u);
    EXPECT_EQ(vekUnpackSound(1, 2), 0u);
}

TEST_F(ObjectFile, LargeBuffersThroughTheFile)
{
    for (DWORD count : {65536u * 2 + 10, 65536u * 3, 65535u, 100000u}) {
        const Bytes data = randomBytes(count, count);
        _lclose(file_);
        file_ = open(path_);
        EXPECT_EQ(vek_hwrite(file_, data.data(), count), count);
        EXPECT_EQ(position(), static_cast<LONG>(count));
        rewind();
        Bytes back(count + 16, 0xCC);
        EXPECT_EQ(vek_hread(file_, back.data(), count), count);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin())) << count;
        for (size_t i = count; i < back.size(); i++) ASSERT_EQ(back[i], 0xCC) << "nothing past count";
    }
}

TEST_F(ObjectFile, LargeReadPastTheEndStillReportsTheCount)
{
    const Bytes data = randomBytes(70000, 8);
    vek_hwrite(file_, data.data(), 70000);
    rewind();
    Bytes back(200000, 0xCC);
    EXPECT_EQ(vek_hread(file_, back.data(), 200000), 200000u) << "short transfers are not reported";
    EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
}

TEST_F(ObjectFile, LargeObjectsRoundTrip)
{
    BYTE *image = makeImage(400, 400, [](LONG x, LONG y) { return static_cast<BYTE>((x * x + y) / 64 % 12); });
    ASSERT_NE(image, nullptr);
    ASSERT_GT(totalOf(image), 65536u * 2);
    const DWORD methods[] = {STORE_RAW, STORE_LZSS, STORE_IMAGE_BITS, STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS};
    vekSaveObject(file_, image, 0, 0);
    for (DWORD method : methods) vekSaveObject(file_, image, kHeader | method, 0);
    rewind();
    for (int i = 0; i <= static_cast<int>(std::size(methods)); i++) {
        BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, i ? kHeader : 0, 0));
        ASSERT_NE(back, nullptr) << i;
        for (LONG y = 0; y < 400; y += 7)
            for (LONG x = 0; x < 400; x++) ASSERT_EQ(pixel(back, x, y), pixel(image, x, y)) << i;
        release(back);
    }
    EXPECT_EQ(position(), static_cast<LONG>(contents().size()));
    release(image);
}

}  // namespace
