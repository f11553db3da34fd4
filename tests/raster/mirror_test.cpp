// In-place mirroring of RLE images: the exact bytes a mirrored stream holds
// (its pixels are checked against the reference decoder by the differential
// test), and the streams that must be left exactly as they were.
#include <gtest/gtest.h>

#include "support/rle_reference.h"

using namespace support;

namespace {

struct Mirrored {
    const char *what;
    LONG width, height;
    Bytes stream, expected;  // expected empty: refused, nothing changes
};

// Streams, bottom row first, as token lists.
Bytes tokens(std::initializer_list<Bytes> parts)
{
    Bytes s;
    for (const Bytes &p : parts) s.insert(s.end(), p.begin(), p.end());
    return s;
}
const Bytes kRow = {0, 0}, kEnd = {0, 1};
Bytes sk(BYTE n) { return {0, 2, n, 0}; }
Bytes longRow()
{
    Bytes s;
    for (int i = 0; i < 2100; i++) skip(s, 0);
    run(s, 1, 1);
    return tokens({s, kRow, kEnd});
}

const Mirrored kCases[] = {
    // The pixels left uncovered at the right come first as a skip, the
    // absolute run reversed (its pad written as 0), the old end of row.
    {"one row", 10, 1, tokens({sk(0), {3, 7}, sk(2), {0, 3, 0xA, 0xB, 0xC, 0xEE}, kRow, kEnd}),
     tokens({sk(2), {0, 3, 0xC, 0xB, 0xA, 0}, sk(2), {3, 7}, kRow, kEnd})},
    // Only biHeight rows are mirrored.
    {"more rows than biHeight", 3, 2, tokens({sk(0), {1, 1}, kRow, sk(0), {1, 2}, kRow, sk(0), {1, 3}, kRow, kEnd}),
     tokens({sk(2), {1, 1}, kRow, sk(2), {1, 2}, kRow, sk(0), {1, 3}, kRow, kEnd})},
    // Width 400: a row leaving 355 pixels uncovered takes two skips in the
    // place of its skips before the first pixel; one of repeat-run style
    // leaves none; one without pixels stays.
    {"wider than 255", 400, 3,
     tokens({sk(0), {0, 2, 40, 0x55}, {5, 9}, kRow, sk(255), sk(100), {5, 8}, sk(40), kRow, sk(0), kRow, kEnd}),
     tokens({sk(255), sk(100), {5, 9}, kRow, sk(0), sk(40), {5, 8}, sk(100), kRow, sk(0), kRow, kEnd})},
    // A row that would need a second skip and has no room for it: the whole
    // image is refused, its first row included.
    {"row growing beyond its place", 400, 4,
     tokens({sk(0), {0, 2, 40, 0x55}, {5, 9}, kRow, sk(255), sk(100), {5, 8}, sk(40), kRow, sk(0), kRow, sk(0), {5, 9},
             kRow, kEnd}),
     {}},
    {"row starting with an absolute run", 8, 1, tokens({{0, 3, 1, 2, 3, 0}, kRow, kEnd}), {}},
    {"row starting with an encoded run of index 0", 8, 1, tokens({{2, 0}, kRow, kEnd}), {}},
    {"row covering more than the width", 5, 1, tokens({sk(1), {0, 5, 1, 2, 3, 4, 5, 0}, kRow, kEnd}), {}},
    {"stream ending before biHeight rows", 8, 3, tokens({sk(0), {3, 7}, kRow, sk(1), {2, 6}, kRow}), {}},
    {"row longer than the scratch stack", 8, 1, longRow(), {}},
};

}  // namespace

TEST(SpriteMirror, ExactStreams)
{
    for (const Mirrored &c : kCases) {
        SCOPED_TRACE(c.what);
        Record r = makeRle(c.width, c.height, c.stream, VEK_IMAGE_MIRRORABLE);
        const Bytes before = r.bytes();
        vekFlipSprite(r);
        if (c.expected.empty()) {
            EXPECT_TRUE(r.bytes() == before);
            continue;
        }
        EXPECT_EQ(r.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        EXPECT_EQ(Bytes(r.get() + kPixels, r.get() + 4 + get32(r, 0)), c.expected);
        // Twice: the old bytes, pads aside.
        vekFlipSprite(r);
        EXPECT_EQ(r.flags(), VEK_IMAGE_MIRRORABLE);
        EXPECT_TRUE(decodeRecord(r).pixels == decodeRle(c.stream.data(), c.stream.size(), c.width, c.height).pixels);
    }
    // Without the mirror-enable bit nothing changes, raw or RLE.
    Record rle = makeRle(10, 1, kCases[0].stream, VEK_IMAGE_MIRRORED);
    Record raw = rawOf(4, 2, [](LONG x, LONG) { return x; });
    for (Record *r : {&rle, &raw}) {
        r->setFlags(VEK_IMAGE_MIRRORED);
        const Bytes before = r->bytes();
        vekFlipSprite(*r);
        EXPECT_TRUE(r->bytes() == before);
    }
}
