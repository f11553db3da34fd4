// Damaged object files: short files, absurd sizes, payloads past the end,
// streams that do not make the object their header names, and sweeps of
// every truncation and many byte changes. Every loader fails with null (or
// -1) and stays inside its blocks.
#include "object_files.h"

#include <initializer_list>

namespace {

using namespace objtest;

constexpr DWORD kHeader = STORE_WITH_HEADER;

Bytes header(DWORD total, DWORD stored, DWORD method)
{
    Bytes b;
    append32(b, total);
    append32(b, stored);
    append32(b, method);
    return b;
}

// An LZSS stream of literals only: it expands to exactly its input.
Bytes literalStream(const Bytes &input)
{
    Bytes s;
    for (size_t at = 0; at < input.size(); at += 8) {
        const size_t n = std::min<size_t>(8, input.size() - at);
        s.push_back(static_cast<BYTE>((1u << n) - 1));
        s.insert(s.end(), input.begin() + at, input.begin() + at + n);
    }
    return s;
}

class DamagedFile : public ObjectFile {
protected:
    // Both loaders on the file's content from the start.
    void expectAllFail(const char *what, DWORD flags = kHeader)
    {
        {
            rewind();
            EXPECT_EQ(vekLoadObject(file_, flags, 0), nullptr) << what << " flags " << flags;
            rewind();
            Bytes dest(64 * 1024, 0xAB);
            EXPECT_EQ(vekLoadObjectInto(file_, flags, 0, dest.data()), nullptr) << what << " flags " << flags;
        }
    }

    // A valid method-16 payload around a hand-made four-bit block: 2 colours,
    // width 3, rows of 4 bytes at byte 122.
    static Bytes fourBitBlock(LONG width, LONG height, DWORD offBits = 118)
    {
        Bytes d(122 + 4 * std::max<LONG>(height, 0), 0x01);
        put32(d.data(), 0, static_cast<DWORD>(d.size() - 4));
        put32(d.data(), kPixelOffset, offBits);
        put32(d.data(), kWidth, static_cast<DWORD>(width));
        put32(d.data(), kHeight, static_cast<DWORD>(height));
        return d;
    }

    void writeFourBit(DWORD total, const Bytes &d, DWORD claimedLength)
    {
        Bytes payload(22, 0);
        put16(payload.data(), 0, 22);
        payload[2] = 9;
        payload[3] = 200;
        put32(payload.data(), 18, claimedLength);
        const Bytes stream = literalStream(d);
        payload.insert(payload.end(), stream.begin(), stream.end());
        Bytes file = header(total, static_cast<DWORD>(payload.size()), STORE_IMAGE_4BIT);
        file.insert(file.end(), payload.begin(), payload.end());
        setContents(file);
    }
};

TEST_F(DamagedFile, EmptyAndShortFiles)
{
    for (size_t n : {0, 1, 3, 4, 11}) {
        setContents(Bytes(n, 0x10));
        expectAllFail("short file");
        if (n < 4) expectAllFail("short file", 0);
        rewind();
        EXPECT_EQ(vekLoadCompObject(file_), nullptr) << n;
        DWORD stored = 7;
        EXPECT_EQ(vekLoadCompSound(file_, &stored), nullptr) << n;
        EXPECT_EQ(stored, 7u);
        EXPECT_EQ(position(), 0);
        EXPECT_EQ(vekSizeNextObject(file_, 0), n >= 4 ? 0x10101010u : 0u);
        EXPECT_EQ(position(), 0) << "measuring never moves";
        if (n < 4) {
            EXPECT_EQ(vekSkipObject(file_, 0), HFILE_ERROR);
        }
        rewind();
        if (n < 12) {
            EXPECT_EQ(vekSkipObject(file_, kHeader), HFILE_ERROR);
        }
    }
}

TEST_F(DamagedFile, AbsurdTotals)
{
    const DWORD methods[] = {STORE_RAW, STORE_LZSS, STORE_PACKED_SOUND, STORE_IMAGE_BITS, STORE_IMAGE_4BIT,
        STORE_IMAGE_BITS_FLAGS};
    for (DWORD total : {0xFFFFFFF0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0u, 3u}) {
        for (DWORD method : methods) {
            Bytes file = header(total, 40, method);
            file.resize(file.size() + 40, 0x22);
            setContents(file);
            rewind();
            EXPECT_EQ(vekLoadObject(file_, kHeader, 0), nullptr) << total << " " << method;
        }
        if (total >= 0x7FFFFFFF) {
            Bytes bare(64, 0);
            for (int i = 0; i < 4; i++) bare[static_cast<size_t>(i)] = static_cast<BYTE>(total >> 8 * i);
            setContents(bare);
            expectAllFail("bare size", 0);
        }
    }
    // A size field that wraps when 4 is added.
    setContents(header(0xFFFFFFFC, 0, 0));
    expectAllFail("bare size 0xFFFFFFFC", 0);
}

TEST_F(DamagedFile, StoredLengthPastTheEnd)
{
    BYTE *block = blockOf(randomBytes(100, 9));
    ASSERT_NE(block, nullptr);
    Bytes file = header(104, 104, STORE_RAW);
    file.insert(file.end(), block, block + 104);
    file.resize(file.size() - 1);
    setContents(file);
    expectAllFail("raw block cut by one byte");
    for (DWORD stored : {200u, 0xFFFFFFF0u, 0x80000000u}) {
        put32(file.data(), 4, stored);
        put32(file.data(), 8, STORE_PACKED_SOUND);
        setContents(file);
        rewind();
        EXPECT_EQ(vekLoadObject(file_, kHeader, 0), nullptr) << stored;
        rewind();
        EXPECT_EQ(vekLoadCompObject(file_), nullptr) << stored;
        EXPECT_EQ(position(), 0);
        DWORD out = 5;
        EXPECT_EQ(vekLoadCompSound(file_, &out), nullptr) << stored;
        EXPECT_EQ(out, 5u);
        EXPECT_EQ(position(), 0);
    }
    release(block);
}

TEST_F(DamagedFile, LzssStreamsThatDoNotMakeTheBlock)
{
    BYTE *block = blockOf(Bytes(500, 0x41));
    ASSERT_NE(block, nullptr);
    const DWORD stored = vekSaveObject(file_, block, kHeader | STORE_LZSS, 0);
    ASSERT_GT(stored, 0u);
    const Bytes good = contents();
    Bytes file = good;
    put32(file.data(), 0, 505);  // one byte more than the stream gives
    setContents(file);
    expectAllFail("total larger than the stream");
    file = good;
    put32(file.data(), 0, 503);  // one byte less: the size field disagrees
    setContents(file);
    expectAllFail("total smaller than the block");
    file = good;
    file.resize(file.size() - 2);
    put32(file.data(), 4, stored - 2);
    setContents(file);
    expectAllFail("stream cut short");
    file = good;
    put32(file.data(), 0, stored * 9 + 1);  // more than any stream of that length expands to
    setContents(file);
    expectAllFail("total beyond the stream's reach");
    release(block);
}

TEST_F(DamagedFile, ImageBitsWithBadFields)
{
    BYTE *image = makeImage(16, 16, [](LONG x, LONG) { return static_cast<BYTE>(x / 8); });
    ASSERT_NE(image, nullptr);
    vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS, 0);
    const Bytes good = contents();
    for (DWORD offBits : std::initializer_list<DWORD>{totalOf(image) - 3, 0xFFFFFFFFu, 100u, 0u, 565u}) {
        Bytes file = good;
        put32(file.data(), 12, offBits);
        setContents(file);
        expectAllFail("pixel offset");
    }
    release(image);
}

TEST_F(DamagedFile, FourBitImagesOutsideTheirBlocks)
{
    const DWORD total = 572 + 4 * 3;  // a 3 x 3 record in the short layout
    writeFourBit(total, fourBitBlock(3, 3), 122 + 12);
    rewind();
    BYTE *ok = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(ok, nullptr) << "the hand-made payload is valid";
    EXPECT_EQ(pixel(ok, 0, 0), 9);
    EXPECT_EQ(pixel(ok, 1, 0), 200);
    EXPECT_EQ(totalOf(ok), total + 512);
    release(ok);

    writeFourBit(total, fourBitBlock(3, 3), 40);
    expectAllFail("L shorter than a header");
    writeFourBit(total, fourBitBlock(3, 3, 0x7FFFFFF0), 122 + 12);
    expectAllFail("four-bit rows outside the block");
    Bytes tall = fourBitBlock(3, 3);
    put32(tall.data(), kHeight, 1000);
    writeFourBit(total, tall, 122 + 12);
    expectAllFail("more rows than the four-bit block holds");
    writeFourBit(total, fourBitBlock(3, 200), 122 + 800);
    expectAllFail("more rows than the record holds, even enlarged");
    writeFourBit(total, fourBitBlock(0x7FFFFFFF, 3), 122 + 12);
    expectAllFail("a row wider than the block");

    // Rows of no pixels are not walked one by one.
    Bytes empty = fourBitBlock(0, 3);
    put32(empty.data(), kHeight, 0x7FFFFFFF);
    writeFourBit(total, empty, 122 + 12);
    rewind();
    BYTE *none = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(get32(none, kHeight), 0x7FFFFFFFu);
    release(none);

    Bytes file = header(total, 8, STORE_IMAGE_4BIT);
    file.insert(file.end(), {10, 0, 7, 0, 54, 0, 0, 0});
    setContents(file);
    expectAllFail("H neither 8 nor 22");
}

TEST_F(DamagedFile, PackedSoundStaysInsideTheObject)
{
    Bytes payload(48, 0);
    put32(payload.data(), 0, 20 - 4 + 48);  // 20 samples
    payload.insert(payload.end(), {200, 50, 0x3F, 0x3F, 0x7F, 0x7F, 0xFF});  // codes that count past the end
    payload.resize(payload.size() + 200, 0x77);
    Bytes file = header(68, static_cast<DWORD>(payload.size()), STORE_PACKED_SOUND);
    file.insert(file.end(), payload.begin(), payload.end());
    setContents(file);
    rewind();
    BYTE *sound = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(sound)), 68u);
    EXPECT_EQ(sound[48], 50);
    release(sound);

    put32(file.data(), 12, 99);  // the sound's own size field disagrees
    setContents(file);
    expectAllFail("sound size field");
}

// Saves one object of every kind; returns the file.
Bytes sampleFile(ObjectFile &, HFILE file)
{
    BYTE *image = makeImage(5, 3, [](LONG x, LONG y) { return static_cast<BYTE>(x == y ? 1 : 2); });
    BYTE *one = makeImage(3, 2, [](LONG, LONG) { return BYTE{4}; });
    for (DWORD method : {STORE_LZSS, STORE_IMAGE_BITS, STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS})
        vekSaveObject(file, image, kHeader | method, 0);
    vekSaveObject(file, one, kHeader | STORE_IMAGE_4BIT, 0);
    Bytes payload(48, 0);
    put32(payload.data(), 0, 60 - 4);
    payload.insert(payload.end(), {8, 100, 0x1F, 0x5A, 0x2F, 0xC3, 0x1B, 0x3F, 0x12, 0x34, 0x56, 0x78, 0x45});
    vekSaveCompSound(file, payload.data(), static_cast<DWORD>(payload.size()), STORE_PACKED_SOUND);
    release(image);
    release(one);
    const LONG end = _llseek(file, 0, 2);
    Bytes b(static_cast<size_t>(end));
    _llseek(file, 0, 0);
    _lread(file, b.data(), static_cast<UINT>(end));
    return b;
}

// Loads objects until one fails; every block it returns is exactly as long
// as its size field says.
void loadAll(HFILE file, DWORD flags)
{
    for (int i = 0; i < 8; i++) {
        BYTE *b = static_cast<BYTE *>(vekLoadObject(file, flags, 0));
        if (!b) return;
        ASSERT_EQ(GlobalSize(GlobalHandle(b)), totalOf(b));
        release(b);
    }
}

TEST_F(DamagedFile, EveryTruncation)
{
    const Bytes good = sampleFile(*this, file_);
    rewind();
    int loaded = 0;
    while (void *b = vekLoadObject(file_, kHeader, 0)) {
        release(b);
        loaded++;
    }
    ASSERT_EQ(loaded, 6) << "the sample file is whole";
    for (size_t n = 0; n < good.size(); n++) {
        setContents(Bytes(good.begin(), good.begin() + n));
        loadAll(file_, kHeader);
        rewind();
        loadAll(file_, 0);
    }
}

TEST_F(DamagedFile, ChangedBytes)
{
    const Bytes good = sampleFile(*this, file_);
    for (size_t at = 0; at < good.size(); at++) {
        for (BYTE value : {BYTE{0x00}, BYTE{0xFF}, static_cast<BYTE>(good[at] ^ 0x10)}) {
            Bytes file = good;
            file[at] = value;
            setContents(file);
            loadAll(file_, kHeader);
            rewind();
            Bytes dest(4096, 0);
            vekLoadObjectInto(file_, kHeader, 0, dest.data());
        }
    }
}

}  // namespace
