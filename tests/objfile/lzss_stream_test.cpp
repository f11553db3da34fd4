// LZSS streams as object files hold them: the exact bytes that the image
// bits method writes for known pixel bytes, and hand-made streams read back.
#include "object_files.h"

namespace {

using namespace objtest;

constexpr DWORD kHeader = STORE_WITH_HEADER;
constexpr DWORD kFields = 20;  // payload fields of the image bits method before the stream

Bytes text(const char *s)
{
    return Bytes(s, s + std::strlen(s));
}

// A record whose pixel bytes (the bytes from 4 + bfOffBits to the end of the
// block) are exactly the given ones.
BYTE *recordWithPixels(const Bytes &pixels)
{
    auto *r = reinterpret_cast<BYTE *>(vekCreateSpriteDataObject(64, 1));
    if (!r) return nullptr;
    const DWORD total = totalOf(r);
    put32(r, kPixelOffset, static_cast<DWORD>(total - 4 - pixels.size()));
    std::copy(pixels.begin(), pixels.end(), r + total - pixels.size());
    return r;
}

TEST_F(ObjectFile, ExactStreamsOfPixelBytes)
{
    struct Case {
        const char *what;
        Bytes pixels;
        Bytes stream;
    } cases[] = {
        {"three literals", text("abc"), {0x07, 0x61, 0x62, 0x63}},
        {"literals then a pair of 6 at 4078", text("abcabcabc"), {0x07, 0x61, 0x62, 0x63, 0xEE, 0xF3}},
        {"a pair overlapping its own output", Bytes(40, 0x61), {0x01, 0x61, 0xEE, 0xFF, 0x00, 0x0F, 0x04, 0x00}},
        {"a pair into the initial fill", Bytes(20, 0x20), {0x06, 0xDC, 0xFF, 0x20, 0x20}},
        {"a full group, then a group of one", text("abcdefghi"),
            {0xFF, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x01, 0x69}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        BYTE *record = recordWithPixels(c.pixels);
        ASSERT_NE(record, nullptr);
        setContents({});
        EXPECT_EQ(vekSaveObject(file_, record, kHeader | STORE_IMAGE_BITS, 0), kFields + c.stream.size());
        const Bytes file = contents();
        EXPECT_EQ(Bytes(file.begin() + 12 + kFields, file.end()), c.stream);
        rewind();
        BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(Bytes(back + totalOf(back) - c.pixels.size(), back + totalOf(back)), c.pixels);
        release(back);
        release(record);
    }
}

// An object of image bits around a hand-made stream of the given pixel count.
Bytes imageBitsObject(const Bytes &stream, DWORD pixels)
{
    const DWORD offBits = 566;
    Bytes file;
    append32(file, 4 + offBits + pixels);
    append32(file, kFields + static_cast<DWORD>(stream.size()));
    append32(file, STORE_IMAGE_BITS);
    for (DWORD field : {offBits, pixels, DWORD{1}, DWORD{0}, pixels}) append32(file, field);
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

TEST_F(ObjectFile, StreamPairsIntoUnwrittenPositionsGiveTheFill)
{
    // A pair naming position 0 at the start, then a literal (at 4081) and a
    // pair repeating it from there.
    setContents(imageBitsObject({0x02, 0x00, 0x00, 0x7A, 0xF1, 0xF2}, 9));
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Bytes(back + 570, back + 579), text("   zzzzzz"));
    release(back);
    // A pair across the ring's end (4095, 0, 1) before anything reached it.
    setContents(imageBitsObject({0x00, 0xFF, 0xF0}, 3));
    back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Bytes(back + 570, back + 573), text("   "));
    release(back);
}

TEST_F(ObjectFile, StreamWithAPairCutAfterItsFirstByte)
{
    // The cut pair is dropped: the stream gives one byte, and an object of
    // two pixels loads with the second left zero.
    setContents(imageBitsObject({0x01, 0x41, 0xEE}, 2));
    BYTE *back = static_cast<BYTE *>(vekLoadObject(file_, kHeader, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back[570], 0x41);
    EXPECT_EQ(back[571], 0);
    release(back);
}

}  // namespace
