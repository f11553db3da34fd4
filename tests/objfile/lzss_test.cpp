// The LZSS decoder, internally: bounded by its destination whatever the
// stream holds. Round trips identical to the classic encoder are checked by
// the lzss_encode fuzz target, whose corpus replays run with the tests; the
// exact streams of known inputs through object files.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "objfile/lzss.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes encode(const Bytes &input)
{
    Bytes stream;
    vek::LzssEncode(
        input.data(), static_cast<DWORD>(input.size()),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto *out = static_cast<Bytes *>(context);
            out->insert(out->end(), bytes, bytes + length);
        },
        &stream);
    return stream;
}

// Decodes into exactly destLength bytes followed by guard bytes that must
// stay untouched; returns what was written.
Bytes decode(const Bytes &stream, size_t destLength)
{
    Bytes buffer(destLength + 64, 0xCC);
    const DWORD n = vek::LzssDecode(stream.data(), static_cast<DWORD>(stream.size()), buffer.data(),
                                    static_cast<DWORD>(destLength));
    EXPECT_LE(n, destLength);
    for (size_t i = n; i < buffer.size(); i++)
        if (buffer[i] != 0xCC) {
            ADD_FAILURE() << "byte " << i << " written past the " << n << " decoded bytes";
            break;
        }
    buffer.resize(n);
    return buffer;
}

}  // namespace

TEST(Lzss, DecodingIsBoundedByTheDestinationAndTheStream)
{
    // Words of text over several rings, and runs of a few colours.
    static const char *const words[] = {"sprite", "the", "palette", "of", "window", "a", "frame", "blit", "cel"};
    std::mt19937 rng(3);
    Bytes text, runs;
    while (text.size() < 10000) {
        const std::string w = words[rng() % std::size(words)];
        text.insert(text.end(), w.begin(), w.end());
        text.push_back(' ');
    }
    while (runs.size() < 3000) runs.insert(runs.end(), 1 + rng() % 300, static_cast<BYTE>(rng() % 4));
    const Bytes stream = encode(text);
    for (size_t limit : {0u, 1u, 2u, 17u, 18u, 143u, 144u, 145u, 4095u, 9999u})
        EXPECT_EQ(decode(stream, limit), Bytes(text.begin(), text.begin() + limit)) << limit;
    EXPECT_EQ(decode(stream, text.size() + 1000), text) << "a larger destination gets the data and no more";

    // A cut stream decodes a prefix of what the whole one holds.
    const Bytes runStream = encode(runs);
    for (size_t cut = 0; cut <= runStream.size(); cut += 7) {
        const Bytes part = decode(Bytes(runStream.begin(), runStream.begin() + cut), runs.size());
        ASSERT_TRUE(std::equal(part.begin(), part.end(), runs.begin())) << "cut at " << cut;
    }
}
