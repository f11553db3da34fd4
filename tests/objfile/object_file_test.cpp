// Object files: every storage method written and read back (whole and into
// the caller's block), bare and under a header, skipped and measured, with
// the exact header words, payload fields and streams in the file; the
// fall-backs; four-bit images; compressed objects and packed sound moved
// between files; damaged files; large buffers and the memory file.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "objfile/lzss.h"
#include "support/images.h"

using namespace support;

namespace {

constexpr DWORD kHeader = STORE_WITH_HEADER;

DWORD totalOf(const void *block) { return get32(static_cast<const BYTE *>(block), 0) + 4; }
Bytes bytesOf(const void *block)
{
    const auto *b = static_cast<const BYTE *>(block);
    return Bytes(b, b + totalOf(block));
}
Bytes noise(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &x : b) x = static_cast<BYTE>(rng());
    return b;
}
void append32(Bytes &b, DWORD v)
{
    for (int i = 0; i < 4; i++) b.push_back(static_cast<BYTE>(v >> 8 * i));
}
Bytes header(DWORD total, DWORD stored, DWORD method)
{
    Bytes b;
    for (DWORD v : {total, stored, method}) append32(b, v);
    return b;
}

// A scratch file open for reading and writing, deleted at the end.
class ObjectFile : public ::testing::Test {
protected:
    void SetUp() override { file_ = open(path_); }
    void TearDown() override
    {
        _lclose(file_);
        DeleteFileA(path_.c_str());
        DeleteFileA((path_ + ".copy").c_str());
    }
    static std::string scratch()
    {
        char temp[MAX_PATH];
        const DWORD n = GetTempPathA(MAX_PATH, temp);
        return std::string(n && n < MAX_PATH ? temp : "") + "vekobj-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    }
    static HFILE open(const std::string &path)
    {
        DeleteFileA(path.c_str());
        return _lcreat(path.c_str(), 0);
    }
    LONG position(HFILE f = HFILE_ERROR) const { return _llseek(f == HFILE_ERROR ? file_ : f, 0, 1); }
    void rewind(HFILE f = HFILE_ERROR) const { _llseek(f == HFILE_ERROR ? file_ : f, 0, 0); }
    Bytes contents(HFILE f = HFILE_ERROR) const
    {
        f = f == HFILE_ERROR ? file_ : f;
        const LONG at = _llseek(f, 0, 1), end = _llseek(f, 0, 2);
        Bytes b(static_cast<size_t>(end));
        _llseek(f, 0, 0);
        if (end) _lread(f, b.data(), static_cast<UINT>(end));
        _llseek(f, at, 0);
        return b;
    }
    void setContents(const Bytes &bytes)
    {
        _lclose(file_);
        file_ = open(path_);
        if (!bytes.empty()) _lwrite(file_, reinterpret_cast<LPCSTR>(bytes.data()), static_cast<UINT>(bytes.size()));
        rewind();
    }
    Record load(DWORD flags = kHeader) { return Record(static_cast<BYTE *>(vekLoadObject(file_, flags, 0))); }

    std::string path_ = scratch();
    HFILE file_ = HFILE_ERROR;
};

// A raw record of mostly long runs: compresses well under every method.
Record stripes(LONG width, LONG height)
{
    return rawOf(width, height, [](LONG x, LONG y) { return x < 3 ? 10 + y % 2 : 40; });
}
// A block of the given content, made through the memory file.
Record blockThroughMemoryFile(const Bytes &content)
{
    const LONG_PTR f = _mcreat(static_cast<DWORD>(content.size()) + 4);
    for (size_t at = 0; at < content.size(); at += 0x8000)
        _mwrite(f, content.data() + at, static_cast<WORD>(std::min<size_t>(0x8000, content.size() - at)));
    return Record(static_cast<BYTE *>(_mclose(f)));
}

}  // namespace

TEST_F(ObjectFile, EveryMethodRoundTripsWithItsHeader)
{
    Record image = stripes(13, 5), block = blockThroughMemoryFile(noise(37, 1));
    image.setFlags(VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(vekSaveObject(file_, block, STORE_LZSS, 0), totalOf(block)) << "bare: the method bits are ignored";
    const DWORD methods[] = {STORE_RAW, STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS, STORE_LZSS, STORE_IMAGE_4BIT};
    std::vector<LONG> ends;
    for (DWORD method : methods) {
        const LONG at = position();
        const DWORD stored = vekSaveObject(file_, image, kHeader | method, 0);
        const Bytes file = contents();
        EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + 12),
                  header(totalOf(image), method == STORE_RAW ? totalOf(image) : stored, method));
        ends.push_back(position());
        EXPECT_EQ(ends.back(), static_cast<LONG>(file.size()));
    }
    rewind();
    EXPECT_EQ(vekSizeNextObject(file_, 0), totalOf(block) - 4) << "bare: the size field";
    EXPECT_EQ(position(), 0) << "measuring never moves";
    EXPECT_EQ(vekSkipObject(file_, 0), static_cast<LONG>(totalOf(block)));
    rewind();
    EXPECT_EQ(bytesOf(load(0)), bytesOf(block));
    // Each object loaded whole, and into the caller's block: raw and image
    // bits only, keeping the block's bfType (and its flags with method 8).
    for (size_t i = 0; i < std::size(methods); i++) {
        SCOPED_TRACE(methods[i]);
        const LONG at = position();
        EXPECT_EQ(vekSizeNextObject(file_, kHeader), totalOf(image)) << "under a header: the total";
        EXPECT_EQ(vekSkipObject(file_, kHeader), ends[i]);
        _llseek(file_, at, 0);
        Record back = load();
        ASSERT_NE(back.get(), nullptr);
        EXPECT_EQ(position(), ends[i]);
        if (methods[i] == STORE_RAW || methods[i] == STORE_LZSS) {
            EXPECT_EQ(bytesOf(back), bytesOf(image));
        }
        _llseek(file_, at, 0);
        Record dest = blockOf(Bytes(totalOf(image) - 4, 0xEE));
        EXPECT_EQ(vekLoadObjectInto(file_, kHeader, 0, dest), i < 3 ? dest.get() : nullptr);
        EXPECT_EQ(position(), ends[i]) << "past the object even when refused";
        for (LONG y = 0; y < 5; y++)
            for (LONG x = 0; x < 13; x++) {
                ASSERT_EQ(*rawPixel(back, x, y), *rawPixel(image, x, y));
                ASSERT_TRUE(i >= 3 || *rawPixel(dest, x, y) == *rawPixel(image, x, y)) << x << "," << y;
            }
        if (i == 1 || i == 2) {
            EXPECT_EQ(get16(dest, kType), 0xEEEEu);
            EXPECT_EQ(get16(dest, kFlags), i == 1 ? 0xEEEE : VEK_IMAGE_MIRRORABLE);
        }
    }
    // A block one byte too small is left untouched.
    _llseek(file_, ends[0], 0);
    Record small = blockOf(Bytes(totalOf(image) - 5, 0));
    EXPECT_EQ(vekLoadObjectInto(file_, kHeader, 0, small), nullptr);
    EXPECT_EQ(small.bytes(), blockOf(Bytes(totalOf(image) - 5, 0)).bytes());
}

TEST_F(ObjectFile, ImageBitsStoreFieldsAndTheStreamOfThePixels)
{
    // 40 pixel bytes of 'a', then 20 of 0x20: the streams of both are known.
    Record as = rawOf(4, 10, [](LONG, LONG) { return 0x61; }), spaces = rawOf(20, 1, [](LONG, LONG) { return 0x20; });
    put32(as, kSizeImage, 40);
    put16(spaces, kFlags, VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    put16(spaces, 12, 0x1234);
    for (size_t i = 58; i < 570; i++) spaces.get()[i] = 0x5A;  // not an identity table
    EXPECT_EQ(vekSaveObject(file_, as, kHeader | STORE_IMAGE_BITS, 0), 28u);
    EXPECT_EQ(vekSaveObject(file_, spaces, kHeader | STORE_IMAGE_BITS_FLAGS, 0), 29u);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + 28 + 12 + 29);
    // bfOffBits, biWidth, biHeight, biCompression, biSizeImage, the stream.
    const DWORD fields[] = {568, 4, 10, 0, 40};
    for (int i = 0; i < 5; i++) EXPECT_EQ(get32(file.data(), 12 + 4 * i), fields[i]) << "field " << i;
    EXPECT_EQ(Bytes(file.begin() + 32, file.begin() + 40), (Bytes{0x01, 0x61, 0xEE, 0xFF, 0x00, 0x0F, 0x04, 0x00}));
    EXPECT_EQ(get32(file.data(), 40 + 32), 0x12340003u) << "flags and bfReserved2 with method 32";
    EXPECT_EQ(Bytes(file.begin() + 40 + 36, file.end()), (Bytes{0x06, 0xDC, 0xFF, 0x20, 0x20}));

    // Loaded back: a new record's header (bfType 0, the identity table),
    // the flags only with method 32.
    rewind();
    Record a = load(), b = load();
    ASSERT_TRUE(a.get() && b.get());
    for (const Record *r : {&a, &b}) {
        EXPECT_EQ(get16(*r, kType), 0) << "bfType";
        EXPECT_EQ(get32(*r, kPixelOffset), 568u);
        for (unsigned i = 0; i < 256; i++) ASSERT_EQ(get16(*r, 58 + 2 * i), i) << "identity table";
    }
    EXPECT_EQ(get16(a, kFlags), 0);
    EXPECT_EQ(get32(b, kFlags), 0x12340003u);
    EXPECT_TRUE(std::equal(spaces.get() + 572, spaces.get() + spaces.blockSize(), b.get() + 572));
}

TEST_F(ObjectFile, FallBacks)
{
    // Incompressible blocks go out raw (whole records, colour table
    // included), and so do blocks too short for the image methods; a record
    // without pixels cannot be stored as image bits.
    Record random = blockThroughMemoryFile(noise(5000, 3));
    std::mt19937 rng(4);
    Record image = rawOf(128, 64, [&](LONG, LONG) { return rng(); }), tiny = blockThroughMemoryFile({1, 2, 3});
    EXPECT_EQ(vekSaveObject(file_, random, kHeader | STORE_LZSS, 0), 0u);
    for (DWORD method : {STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS, STORE_IMAGE_4BIT})
        EXPECT_EQ(vekSaveObject(file_, image, kHeader | method, 0), 0u) << method;
    rewind();
    EXPECT_EQ(bytesOf(load()), bytesOf(random));
    for (int i = 0; i < 3; i++) EXPECT_EQ(bytesOf(load()), bytesOf(image));
    setContents({});
    EXPECT_EQ(vekSaveObject(file_, tiny, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    EXPECT_EQ(contents(), (Bytes{7, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3}));

    setContents({});
    Record empty = rawOf(1, 1, [](LONG, LONG) { return 1; });
    put32(empty, kPixelOffset, totalOf(empty) - 4);
    EXPECT_EQ(vekSaveObject(file_, empty, kHeader | STORE_IMAGE_BITS, 0), 0u);
    const Bytes fields = contents();
    EXPECT_EQ(fields.size(), 12u + 20) << "the header and the fields";
    EXPECT_EQ(Bytes(fields.begin(), fields.begin() + 12), header(totalOf(empty), totalOf(empty), 8));
    // Seventeen colours fall back to image bits; the header says so.
    Record many = rawOf(68, 8, [](LONG x, LONG) { return x / 4 * 3; });
    setContents({});
    const DWORD stored = vekSaveObject(file_, many, kHeader | STORE_IMAGE_4BIT, 0);
    EXPECT_EQ(get32(contents().data(), 4), stored);
    EXPECT_EQ(get32(contents().data(), 8), 8u);
    // Methods without a payload write the header alone.
    Record block = blockThroughMemoryFile(noise(64, 6));
    for (DWORD method : {DWORD{STORE_RESERVED_2}, DWORD{STORE_PACKED_SOUND}, DWORD{3}}) {
        setContents({});
        EXPECT_EQ(vekSaveObject(file_, block, kHeader | method, 0), 0u);
        EXPECT_EQ(contents(), header(68, 68, method));
    }
}

TEST_F(ObjectFile, FourBitImages)
{
    const BYTE colours[3] = {5, 200, 9};
    Record three = rawOf(9, 4, [&](LONG x, LONG y) { return colours[(x + y) % 3]; });
    const DWORD stored = vekSaveObject(file_, three, kHeader | STORE_IMAGE_4BIT, 0);
    const Bytes file = contents();
    ASSERT_EQ(file.size(), 12u + stored);
    EXPECT_EQ(get16(file.data(), 12), 22u);
    EXPECT_EQ(Bytes(file.begin() + 14, file.begin() + 30), (Bytes{5, 200, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "colours in the order first met";
    EXPECT_EQ(get32(file.data(), 30), 122u + 4 * 8) << "four-bit rows of 8 bytes";

    // A short record gains room for the long header; a long one keeps its
    // size; odd widths repeat the last pixel into the padding; one colour
    // stores 54 header bytes and no rows.
    Record longOne(vekCreateSpriteData(6, 4));
    for (LONG y = 0; y < 4; y++)
        for (LONG x = 0; x < 6; x++) *rawPixel(longOne, x, y) = static_cast<BYTE>((x + 2 * y) % 5);
    Record two = rawOf(7, 3, [](LONG x, LONG y) { return (x ^ y) & 1 ? 250 : 3; }), one = rawOf(5, 3, [](LONG, LONG) { return 7; });
    put32(one, 54, 99);
    const LONG end = position();
    EXPECT_GT(vekSaveObject(file_, one, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    const Bytes withOne = contents();
    EXPECT_EQ(Bytes(withOne.begin() + end + 12, withOne.begin() + end + 20), (Bytes{8, 0, 7, 0, 54, 0, 0, 0}))
        << "one colour: H = 8, the colour, L = 54";
    _llseek(file_, end, 0);
    for (const Record *r : {&longOne, &two, &one}) EXPECT_GT(vekSaveObject(file_, *r, kHeader | STORE_IMAGE_4BIT, 0), 0u);
    rewind();
    const Record *sources[] = {&three, &longOne, &two, &one};
    for (const Record *source : sources) {
        Record back = load();
        ASSERT_NE(back.get(), nullptr);
        const LONG width = static_cast<LONG>(get32(*source, kWidth)), height = static_cast<LONG>(get32(*source, kHeight));
        EXPECT_EQ(get32(back, kPixelOffset), 1078u);
        EXPECT_EQ(totalOf(back), totalOf(*source) + (source == &longOne ? 0 : 512));
        for (LONG y = 0; y < height; y++) {
            for (LONG x = 0; x < width; x++) ASSERT_EQ(*rawPixel(back, x, y), *rawPixel(*source, x, y)) << x << "," << y;
            if (width % 2) {
                EXPECT_EQ(*rawPixel(back, width, y), *rawPixel(*source, width - 1, y)) << "padding";
            }
        }
        if (source == &one) {
            EXPECT_EQ(get32(back, 54), 0u) << "not in the 54 bytes";
        }
    }
}

TEST_F(ObjectFile, CompressedObjectsAndPackedSound)
{
    // A packed sound of ten samples: the first (10), a 1-bit block of K = 8
    // with row 0 and data 0xF0, the absolute code 0xFF; its header names a
    // sound object of 48 + 10 bytes.
    Bytes sound(48);
    for (size_t i = 4; i < 48; i++) sound[i] = static_cast<BYTE>(i * 7);
    put32(sound.data(), 0, 58 - 4);
    sound.insert(sound.end(), {8, 10, 0x10, 0xF0, 0xFF});
    Record image = rawOf(11, 7, [](LONG x, LONG y) { return (x / 3 + y) % 3 + 20; });
    const DWORD methods[] = {STORE_RAW, STORE_LZSS, STORE_IMAGE_BITS, STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS};
    for (DWORD method : methods) vekSaveObject(file_, image, kHeader | method, 0);
    EXPECT_EQ(vekSaveCompSound(file_, sound.data(), static_cast<DWORD>(sound.size()), STORE_PACKED_SOUND), sound.size());
    const Bytes original = contents();
    EXPECT_EQ(Bytes(original.end() - 65, original.end() - 53), header(58, 53, STORE_PACKED_SOUND))
        << "the total from the sound's size field";

    // Moved to another file without expansion, byte for byte.
    const HFILE copy = open(path_ + ".copy");
    rewind();
    for (size_t i = 0; i <= std::size(methods); i++) {
        const LONG at = position();
        Record block(static_cast<BYTE *>(vekLoadCompObject(file_)));
        ASSERT_NE(block.get(), nullptr) << i;
        EXPECT_EQ(position(), at) << "put back to the start";
        const DWORD stored = get32(original.data(), at + 4);
        EXPECT_EQ(get32(block, 0), stored + 12);
        EXPECT_EQ(block.blockSize(), stored + 16);
        EXPECT_EQ(vekSaveCompObject(copy, block), stored + 12);
        vekSkipObject(file_, kHeader);
    }
    EXPECT_EQ(contents(copy), original);
    _lclose(copy);

    // The sound as its payload (the position stays) and as samples.
    _llseek(file_, static_cast<LONG>(original.size() - 65), 0);
    DWORD stored = 0;
    Record packed(static_cast<BYTE *>(vekLoadCompSound(file_, &stored)));
    EXPECT_EQ(stored, sound.size());
    EXPECT_EQ(Bytes(packed.get(), packed.get() + stored), sound);
    EXPECT_EQ(position(), static_cast<LONG>(original.size() - 65));
    Record samples = load();
    EXPECT_EQ(samples.blockSize(), 58u);
    EXPECT_TRUE(std::equal(sound.begin(), sound.begin() + 48, samples.get())) << "the header as stored";
    EXPECT_EQ(Bytes(samples.get() + 48, samples.get() + 58), (Bytes{10, 11, 12, 13, 14, 13, 12, 11, 10, 254}));

    // Other methods are no sound; nothing changes.
    rewind();
    EXPECT_EQ(vekLoadCompSound(file_, &stored), nullptr);
    EXPECT_EQ(position(), 0);
}

TEST_F(ObjectFile, DamagedFilesFailWithoutHarm)
{
    Record image = rawOf(16, 16, [](LONG x, LONG) { return x / 8; });
    vekSaveObject(file_, image, kHeader | STORE_IMAGE_BITS, 0);
    const Bytes imageBits = contents();
    Record block = blockThroughMemoryFile(Bytes(500, 0x41));
    setContents({});
    vekSaveObject(file_, block, kHeader | STORE_LZSS, 0);
    const Bytes lzss = contents();
    auto edited = [](Bytes b, size_t at, DWORD v) {
        put32(b.data(), at, v);
        return b;
    };
    auto withPayload = [](Bytes b, size_t n) {
        b.resize(b.size() + n, 0x22);
        return b;
    };
    const Bytes rawCut = withPayload(header(104, 104, STORE_RAW), 103);
    // Four-bit payloads: H (the header's size) at byte 12, L (the length of
    // the stream it claims) at byte 30.
    setContents({});
    vekSaveObject(file_, rawOf(9, 4, [](LONG x, LONG y) { return (x + y) % 3 * 7; }), kHeader | STORE_IMAGE_4BIT, 0);
    const Bytes fourBit = contents();

    struct Damaged {
        const char *what;
        Bytes file;
        bool compRefused;  // vekLoadCompObject and vekLoadCompSound refuse it too
    };
    const Damaged files[] = {
        {"empty", {}, true},
        {"short", Bytes(11, 0x10), true},
        {"absurd total", withPayload(header(0xFFFFFFF0, 40, STORE_LZSS), 40), false},
        {"total too small", withPayload(header(3, 40, STORE_RAW), 40), false},
        {"raw block cut by one byte", rawCut, false},
        {"stored past the end", edited(edited(rawCut, 4, 0x80000000), 8, STORE_PACKED_SOUND), true},
        {"total larger than the stream gives", edited(lzss, 0, 505), false},
        {"total smaller than the block", edited(lzss, 0, 503), false},
        {"total beyond the stream's reach", edited(lzss, 0, 9 * static_cast<DWORD>(lzss.size())), false},
        {"pixel offset past the block", edited(imageBits, 12, totalOf(image) - 3), false},
        {"four-bit L shorter than a header", edited(fourBit, 30, 40), false},
        {"four-bit header neither 8 nor 22", edited(fourBit, 12, 10), false},
    };
    for (const Damaged &d : files) {
        SCOPED_TRACE(d.what);
        setContents(d.file);
        EXPECT_EQ(load().get(), nullptr);
        rewind();
        Record dest = blockOf(Bytes(64 * 1024, 0xAB));
        EXPECT_EQ(vekLoadObjectInto(file_, kHeader, 0, dest), nullptr);
        if (!d.compRefused) continue;
        rewind();
        EXPECT_EQ(vekLoadCompObject(file_), nullptr);
        DWORD out = 5;
        EXPECT_EQ(vekLoadCompSound(file_, &out), nullptr);
        EXPECT_EQ(out, 5u);
        EXPECT_EQ(position(), 0);
    }
    for (size_t n : {0, 1, 3}) {
        setContents(Bytes(n, 0x10));
        EXPECT_EQ(vekSkipObject(file_, 0), HFILE_ERROR);
        EXPECT_EQ(vekSizeNextObject(file_, 0), 0u);
    }
    setContents(header(0xFFFFFFFC, 0, 0));
    EXPECT_EQ(load(0).get(), nullptr) << "a bare size that wraps when 4 is added";
}

TEST(LargeBuffers, CopyFillAndFileTransfersOver64KiB)
{
    for (DWORD count : {0u, 1u, 65535u, 65536u, 65537u, 3 * 65536u + 7u}) {
        const Bytes from = noise(count + 1, count);
        Bytes to(count + 16, 0xEE);
        _hmemcpy(to.data(), from.data(), count);
        ASSERT_TRUE(std::equal(from.begin(), from.begin() + count, to.begin())) << count;
        _hmemset(to.data(), 0x5A, count);
        for (size_t i = 0; i < to.size(); i++) ASSERT_EQ(to[i], i < count ? 0x5A : 0xEE) << i << " of " << count;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "vekobj-large.bin";
    for (DWORD count : {65535u, 65536u * 2 + 10}) {
        const Bytes data = noise(count, count);
        HFILE f = _lcreat(path.c_str(), 0);
        EXPECT_EQ(vek_hwrite(f, data.data(), count), count);
        _llseek(f, 0, 0);
        Bytes back(count + 70000, 0xCC);
        EXPECT_EQ(vek_hread(f, back.data(), count + 70000), count + 70000) << "short transfers are not reported";
        EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin())) << count;
        _lclose(f);
    }
    DeleteFileA(path.c_str());
}

TEST(MemoryFile, WritesSeeksAndTheBlockItClosesInto)
{
    // Pieces of every size up to the largest a write takes, through several
    // growths, read back from a block of exactly length + 4 bytes.
    Bytes expected;
    LONG_PTR h = _mcreat(10);
    Bytes piece(65535);
    for (WORD n : {WORD{1}, WORD{3}, WORD{600}, WORD{65535}, WORD{0}, WORD{7}}) {
        for (size_t i = 0; i < n; i++) piece[i] = static_cast<BYTE>(expected.size() + i * 7);
        ASSERT_EQ(_mwrite(h, piece.data(), n), n);
        expected.insert(expected.end(), piece.begin(), piece.begin() + n);
        ASSERT_EQ(_mfilelength(h), static_cast<LONG>(expected.size()));
        ASSERT_EQ(_mlseek(h, 0, 1), static_cast<LONG>(expected.size()));
    }
    EXPECT_EQ(_mcommit(h), 0);
    Record block(static_cast<BYTE *>(_mclose(h)));
    EXPECT_EQ(block.blockSize(), expected.size() + 4);
    EXPECT_EQ(get32(block, 0), expected.size());
    EXPECT_EQ(Bytes(block.get() + 4, block.get() + block.blockSize()), expected);

    h = _mcreat(32);
    EXPECT_EQ(_mwrite(h, "0123456789", 10), 10);
    const std::pair<std::pair<LONG, SHORT>, LONG> seeks[] = {
        {{4, 0}, 4},   {{3, 1}, 7},   {{-2, 1}, 5},  {{-1, 2}, 9},   {{6, 2}, 16},   // past the end extends
        {{5, 0}, 5},   {{-1, 0}, -1}, {{-6, 1}, -1}, {{-17, 2}, -1}, {{0, 3}, -1},   // refused: nothing moves
        {{0, 1}, 5}};
    for (const auto &[seek, want] : seeks) EXPECT_EQ(_mlseek(h, seek.first, seek.second), want) << seek.first;
    EXPECT_EQ(_mwrite(h, "X", 1), 1) << "overwrites inside";
    EXPECT_EQ(_mfilelength(h), 16);
    block = Record(static_cast<BYTE *>(_mclose(h)));
    EXPECT_EQ(Bytes(block.get() + 4, block.get() + 20), (Bytes{'0', '1', '2', '3', '4', 'X', '6', '7', '8', '9', 0, 0, 0, 0, 0, 0}));

    // A large initial size shrinks at close; an empty file closes into nothing.
    h = _mcreat(100000);
    _mwrite(h, "abc", 3);
    block = Record(static_cast<BYTE *>(_mclose(h)));
    EXPECT_EQ(block.blockSize(), 7u);
    EXPECT_EQ(_mclose(_mcreat(1000)), nullptr);
    EXPECT_EQ(_mwrite(0, "a", 1), 0);
}

// A stored image whose LZSS stream ends before its pixels (or its four-bit
// block) loads what the stream holds; the rest stays as the block was: zero
// in a new block, the caller's bytes in its own.
TEST_F(ObjectFile, StreamsEndingEarlyLoadWhatTheyHold)
{
    const auto streamOf = [](const BYTE *bytes, size_t n) {
        Bytes s;
        vek::LzssEncode(
            bytes, static_cast<DWORD>(n),
            [](void *out, const BYTE *piece, DWORD length) {
                static_cast<Bytes *>(out)->insert(static_cast<Bytes *>(out)->end(), piece, piece + length);
            },
            &s);
        return s;
    };
    // A 4 x 2 image (stride 4) whose stream holds its first `given` pixel bytes.
    constexpr BYTE kPixels[8] = {11, 12, 13, 14, 21, 22, 23, 24};
    for (DWORD method : {STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS})
        for (size_t given : {size_t{0}, size_t{3}, size_t{7}}) {
            SCOPED_TRACE(testing::Message() << "method " << method << " given " << given);
            Bytes fields;
            for (DWORD v : {568u, 4u, 2u, 0u, 0u}) append32(fields, v);
            if (method == STORE_IMAGE_BITS_FLAGS) append32(fields, VEK_IMAGE_MIRRORABLE);
            const Bytes stream = streamOf(kPixels, given);
            Bytes file = header(4 + 568 + 8, static_cast<DWORD>(fields.size() + stream.size()), method);
            file.insert(file.end(), fields.begin(), fields.end());
            file.insert(file.end(), stream.begin(), stream.end());
            setContents(file);
            const Record r = load();
            ASSERT_NE(r.get(), nullptr);
            EXPECT_EQ(position(), static_cast<LONG>(file.size()));
            EXPECT_EQ(totalOf(r), 4u + 568 + 8);
            rewind();
            Bytes dest(4 + 568 + 8, 0xAB);
            ASSERT_EQ(vekLoadObjectInto(file_, kHeader, 0, dest.data()), dest.data());
            for (size_t i = 0; i < 8; i++) {
                EXPECT_EQ(*rawPixel(r, i % 4, 1 - i / 4), i < given ? kPixels[i] : 0) << i;
                EXPECT_EQ(*rawPixel(dest.data(), i % 4, 1 - i / 4), i < given ? kPixels[i] : 0xAB) << i;
            }
        }

    // A 3 x 2 four-bit block of two colours whose stream stops inside its
    // second row: that row reads as nibbles 0, colour list entry 0.
    Bytes d(122 + 8, 0);
    put32(d.data(), 0, static_cast<DWORD>(d.size() - 4));
    put32(d.data(), kPixelOffset, 118);
    put32(d.data(), kWidth, 3);
    put32(d.data(), kHeight, 2);
    d[122] = 0x01, d[123] = 0x10, d[126] = 0x11;
    Bytes payload(22, 0);
    put16(payload.data(), 0, 22);
    payload[2] = 9, payload[3] = 200;
    put32(payload.data(), 18, static_cast<DWORD>(d.size()));
    const Bytes stream = streamOf(d.data(), 126);
    payload.insert(payload.end(), stream.begin(), stream.end());
    Bytes file = header(572 + 8, static_cast<DWORD>(payload.size()), STORE_IMAGE_4BIT);
    file.insert(file.end(), payload.begin(), payload.end());
    setContents(file);
    const Record r = load();
    ASSERT_NE(r.get(), nullptr);
    const BYTE expected[2][3] = {{9, 200, 200}, {9, 9, 9}};
    for (LONG y = 0; y < 2; y++)
        for (LONG x = 0; x < 3; x++) EXPECT_EQ(*rawPixel(r, x, 1 - y), expected[y][x]) << x << "," << y;
}
