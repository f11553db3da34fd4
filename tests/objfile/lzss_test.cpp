// The LZSS codec, internally: round trips identical to the classic encoder
// at group and ring boundaries and on many kinds of input, and decoding
// bounded by its destination whatever the stream holds. The exact streams
// of known inputs are checked through object files.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bench/lzss_classic.h"
#include "objfile/lzss.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes encode(const Bytes &input, int *writes = nullptr)
{
    struct Out {
        Bytes stream;
        int writes = 0;
    } out;
    const DWORD result = vek::LzssEncode(
        input.data(), static_cast<DWORD>(input.size()),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto *o = static_cast<Out *>(context);
            o->stream.insert(o->stream.end(), bytes, bytes + length);
            o->writes++;
        },
        &out);
    EXPECT_EQ(result, out.stream.size());
    if (writes) *writes = out.writes;
    return out.stream;
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

// Inputs: words of text, runs of a few colours up to 300 long (sprite
// rows), noise, and small alphabets (deep trees, many equal strings).
Bytes make(int kind, size_t length, unsigned seed)
{
    static const char *const words[] = {"sprite", "the", "palette", "of", "window", "a", "frame", "blit", "cel"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < length) {
        if (kind == 0) {
            const std::string w = words[rng() % std::size(words)];
            out.insert(out.end(), w.begin(), w.end());
            out.push_back(rng() % 9 == 0 ? '\n' : ' ');
        } else if (kind == 1) {
            out.insert(out.end(), 1 + rng() % 300, static_cast<BYTE>(rng() % 4));
        } else {
            out.push_back(static_cast<BYTE>(kind == 2 ? rng() : 'a' + rng() % (kind - 1)));
        }
    }
    out.resize(length);
    return out;
}

void expectRoundTrip(const Bytes &input, const std::string &what)
{
    SCOPED_TRACE(what + ", " + std::to_string(input.size()) + " bytes");
    const Bytes stream = encode(input);
    classic::LzssEncoder reference;
    ASSERT_EQ(stream, reference.encode(input.data(), input.size())) << "differs from the classic encoder";
    ASSERT_EQ(decode(stream, input.size()), input);
}

}  // namespace

TEST(Lzss, RoundTripsLikeTheClassicEncoder)
{
    int writes = 0;
    EXPECT_TRUE(encode({}, &writes).empty());
    EXPECT_EQ(writes, 0) << "nothing to write";
    const Bytes noise = make(2, 64 * 1024, 1);
    const Bytes stream = encode(noise, &writes);
    EXPECT_GT(writes, 1) << "long input arrives in whole groups across several writes";
    EXPECT_LE(stream.size(), noise.size() + noise.size() / 8) << "a flag byte for about every eight literals";

    // Every length around the group and ring boundaries.
    const Bytes text = make(0, 3 * 4096 + 64, 7);
    for (size_t n = 0; n <= 80; n++) expectRoundTrip(Bytes(text.begin(), text.begin() + n), "text prefix");
    for (size_t edge : {4078u, 4096u, 4096u + 4078u, 8192u, 3u * 4096u})
        for (size_t n = edge - 20; n <= edge + 20; n += 3) expectRoundTrip(Bytes(text.begin(), text.begin() + n), "text prefix");

    std::mt19937 rng(42);
    for (int round = 0; round < 24; round++) {
        const size_t n = rng() % (5 * 4096);
        for (int kind : {0, 1, 2, 3, 4}) expectRoundTrip(make(kind, n, round), "kind " + std::to_string(kind));
    }
    expectRoundTrip(Bytes(5 * 4096, 0x20), "the fill byte");
    // Rows repeated with a period, some with a byte changed: long runs of
    // strings equal to earlier ones, as in sprite images.
    for (size_t period : {1u, 2u, 17u, 18u, 19u, 333u, 4095u, 4096u, 4097u}) {
        const Bytes row = make(0, period, static_cast<unsigned>(period));
        Bytes image;
        while (image.size() < 3 * 4096 + 500) {
            image.insert(image.end(), row.begin(), row.end());
            if (rng() % 4 == 0) image[rng() % image.size()] ^= 1;
        }
        expectRoundTrip(image, "periodic rows");
    }
}

TEST(Lzss, DecodingIsBoundedByTheDestinationAndTheStream)
{
    const Bytes input = make(0, 10000, 3), stream = encode(input);
    for (size_t limit : {0u, 1u, 2u, 17u, 18u, 143u, 144u, 145u, 4095u, 9999u})
        EXPECT_EQ(decode(stream, limit), Bytes(input.begin(), input.begin() + limit)) << limit;
    EXPECT_EQ(decode(stream, input.size() + 1000), input) << "a larger destination gets the data and no more";

    // A cut stream decodes a prefix of what the whole one holds.
    const Bytes runs = make(1, 3000, 5), runStream = encode(runs);
    for (size_t cut = 0; cut <= runStream.size(); cut += 7) {
        const Bytes part = decode(Bytes(runStream.begin(), runStream.begin() + cut), runs.size());
        ASSERT_TRUE(std::equal(part.begin(), part.end(), runs.begin())) << "cut at " << cut;
    }
    // Damaged streams stay inside their destination (decode checks the guard).
    std::mt19937 rng(9);
    for (int round = 0; round < 300; round++) {
        Bytes damaged = stream;
        for (int k = 0; k < 1 + round % 8; k++) damaged[rng() % damaged.size()] = static_cast<BYTE>(rng());
        decode(damaged, rng() % (input.size() + 500));
    }
    // Nothing but pairs of 18: the most output a stream can ask for.
    Bytes pairs(1 + 9 * 2000, 0xFF);
    for (size_t i = 0; i < pairs.size(); i += 17) pairs[i] = 0x00;
    EXPECT_EQ(decode(pairs, 5000).size(), 5000u);
}
