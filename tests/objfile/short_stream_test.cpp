// Stored images whose LZSS stream ends before the pixels (or the four-bit
// block) do: the stream decodes what it holds and the image loads, the rest
// as the block was (zero in a new block, the caller's bytes in its own).
#include "object_files.h"

#include "objfile/lzss.h"

namespace {

using namespace objtest;

// The library's LZSS stream of n bytes: it expands to exactly them.
Bytes streamOf(const BYTE *bytes, size_t n)
{
    Bytes s;
    const auto append = [](void *out, const BYTE *piece, DWORD length) {
        auto *stream = static_cast<Bytes *>(out);
        stream->insert(stream->end(), piece, piece + length);
    };
    vek::LzssEncode(bytes, static_cast<DWORD>(n), append, &s);
    return s;
}

class ShortStream : public ObjectFile {
protected:
    // A 4 x 2 image (stride 4) whose stream holds only its first `given` pixel bytes.
    void writeImageBits(DWORD method, size_t given)
    {
        const DWORD offBits = 568, total = 4 + offBits + 8;
        Bytes fields;
        for (DWORD v : {offBits, 4u, 2u, 0u, 0u}) append32(fields, v);
        if (method == STORE_IMAGE_BITS_FLAGS) append32(fields, VEK_IMAGE_MIRRORABLE);
        const Bytes stream = streamOf(kPixels, given);
        Bytes file;
        for (DWORD v : {total, static_cast<DWORD>(fields.size() + stream.size()), method}) append32(file, v);
        file.insert(file.end(), fields.begin(), fields.end());
        file.insert(file.end(), stream.begin(), stream.end());
        setContents(file);
    }
    static constexpr BYTE kPixels[8] = {11, 12, 13, 14, 21, 22, 23, 24};
};

TEST_F(ShortStream, ImageBitsLoadWhatTheStreamHolds)
{
    for (DWORD method : {STORE_IMAGE_BITS, STORE_IMAGE_BITS_FLAGS}) {
        for (size_t given : {size_t{0}, size_t{3}, size_t{7}}) {
            SCOPED_TRACE(testing::Message() << "method " << method << " given " << given);
            writeImageBits(method, given);
            BYTE *r = static_cast<BYTE *>(vekLoadObject(file_, STORE_WITH_HEADER, 0));
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(position(), static_cast<LONG>(contents().size()));
            EXPECT_EQ(totalOf(r), 4u + 568 + 8);
            for (size_t i = 0; i < 8; i++) EXPECT_EQ(pixel(r, i % 4, i / 4), i < given ? kPixels[i] : 0) << i;
            release(r);

            rewind();
            Bytes dest(4 + 568 + 8, 0xAB);
            ASSERT_EQ(vekLoadObjectInto(file_, STORE_WITH_HEADER, 0, dest.data()), dest.data());
            for (size_t i = 0; i < 8; i++)
                EXPECT_EQ(pixel(dest.data(), i % 4, i / 4), i < given ? kPixels[i] : 0xAB) << i;
        }
    }
}

TEST_F(ShortStream, FourBitBlockEndingEarlyLoads)
{
    // A 3 x 2 four-bit block of two colours whose stream stops inside its
    // second row: that row reads as nibbles 0, colour list entry 0.
    Bytes d(122 + 8, 0);
    put32(d.data(), 0, static_cast<DWORD>(d.size() - 4));
    put32(d.data(), kPixelOffset, 118);
    put32(d.data(), kWidth, 3);
    put32(d.data(), kHeight, 2);
    d[122] = 0x01, d[123] = 0x10;
    d[126] = 0x11;
    Bytes payload(22, 0);
    put16(payload.data(), 0, 22);
    payload[2] = 9, payload[3] = 200;
    put32(payload.data(), 18, static_cast<DWORD>(d.size()));
    const Bytes stream = streamOf(d.data(), 126);
    payload.insert(payload.end(), stream.begin(), stream.end());
    const DWORD total = 572 + 8;
    Bytes file;
    for (DWORD v : {total, static_cast<DWORD>(payload.size()), DWORD{STORE_IMAGE_4BIT}}) append32(file, v);
    file.insert(file.end(), payload.begin(), payload.end());
    setContents(file);

    BYTE *r = static_cast<BYTE *>(vekLoadObject(file_, STORE_WITH_HEADER, 0));
    ASSERT_NE(r, nullptr);
    const BYTE expected[2][3] = {{9, 200, 200}, {9, 9, 9}};
    for (LONG y = 0; y < 2; y++)
        for (LONG x = 0; x < 3; x++) EXPECT_EQ(pixel(r, x, y), expected[y][x]) << x << "," << y;
    release(r);
}

}  // namespace
