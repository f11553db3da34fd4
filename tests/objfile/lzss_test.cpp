// LZSS codec, internally: round trips at every boundary, identity with the
// classic encoder, and bounded decoding of damaged and truncated streams.
// The exact streams of known inputs are tested through object files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/lzss_classic.h"
#include "objfile/lzss.h"

namespace {

using Bytes = std::vector<BYTE>;

struct Encoded {
    Bytes stream;
    DWORD result = 0;
    int writes = 0;
};

Encoded encode(const Bytes &input)
{
    Encoded e;
    e.result = vek::LzssEncode(input.data(), static_cast<DWORD>(input.size()),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto *out = static_cast<Encoded *>(context);
            out->stream.insert(out->stream.end(), bytes, bytes + length);
            out->writes++;
        },
        &e);
    return e;
}

// Decodes into a buffer of exactly destLength bytes followed by guard bytes
// that must stay untouched; returns what was written.
Bytes decode(const Bytes &stream, size_t destLength)
{
    constexpr size_t kGuard = 64;
    Bytes buffer(destLength + kGuard, 0xCC);
    const DWORD n = vek::LzssDecode(stream.data(), static_cast<DWORD>(stream.size()), buffer.data(),
        static_cast<DWORD>(destLength));
    EXPECT_LE(n, destLength);
    for (size_t i = n; i < buffer.size(); i++) {
        if (buffer[i] != 0xCC) {
            ADD_FAILURE() << "byte " << i << " written past the " << n << " decoded bytes";
            break;
        }
    }
    buffer.resize(n);
    return buffer;
}

Bytes text(size_t length, unsigned seed)
{
    static const char *const words[] = {"sprite", "the", "palette", "of", "window", "a", "frame", "context",
        "dirty", "rectangle", "and", "image", "tile", "scroll", "to", "blit", "mirror", "cel"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < length) {
        const std::string w = words[rng() % std::size(words)];
        out.insert(out.end(), w.begin(), w.end());
        out.push_back(rng() % 9 == 0 ? '\n' : ' ');
    }
    out.resize(length);
    return out;
}

Bytes noise(size_t length, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out(length);
    for (auto &b : out) b = static_cast<BYTE>(rng());
    return out;
}

// Runs of a few colours with lengths from 1 to 300: sprite rows.
Bytes runs(size_t length, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < length) out.insert(out.end(), 1 + rng() % 300, static_cast<BYTE>(rng() % 4));
    out.resize(length);
    return out;
}

// Round trip, exact decoded length, and identity with the classic encoder.
void expectRoundTrip(const Bytes &input, const char *what)
{
    SCOPED_TRACE(testing::Message() << what << ", " << input.size() << " bytes");
    const Encoded e = encode(input);
    ASSERT_EQ(e.result, e.stream.size());
    classic::LzssEncoder reference;
    ASSERT_EQ(e.stream, reference.encode(input.data(), input.size())) << "differs from the classic encoder";
    ASSERT_EQ(decode(e.stream, input.size()), input);
}

TEST(LzssEncode, EmptyInputWritesNothing)
{
    const Encoded e = encode({});
    EXPECT_EQ(e.result, 0u);
    EXPECT_EQ(e.writes, 0);
}

TEST(LzssEncode, LongInputArrivesInWholeGroupsAcrossSeveralWrites)
{
    const Bytes input = noise(64 * 1024, 1);
    const Encoded e = encode(input);
    EXPECT_GT(e.writes, 1);
    EXPECT_EQ(e.result, e.stream.size());
    // Nearly incompressible: a flag byte for about every eight literals.
    EXPECT_LE(e.stream.size(), input.size() + input.size() / 8);
    EXPECT_GT(e.stream.size(), input.size() + input.size() / 9);
    EXPECT_EQ(decode(e.stream, input.size()), input);
}

TEST(LzssRoundTrip, EveryLengthAroundGroupAndRingBoundaries)
{
    const Bytes source = text(3 * 4096 + 64, 7);
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 80; n++) lengths.push_back(n);
    for (size_t edge : {4078u, 4096u, 4096u + 4078u, 8192u, 3u * 4096u})
        for (size_t n = edge - 20; n <= edge + 20; n++) lengths.push_back(n);
    for (size_t n : lengths) expectRoundTrip(Bytes(source.begin(), source.begin() + n), "text prefix");
}

TEST(LzssRoundTrip, TextRunsNoiseAndMixturesUpToSeveralRings)
{
    std::mt19937 rng(42);
    for (int round = 0; round < 24; round++) {
        const size_t n = rng() % (5 * 4096);
        expectRoundTrip(text(n, round), "text");
        expectRoundTrip(runs(n, round), "runs");
        expectRoundTrip(noise(n, round), "noise");
        Bytes mixed = text(n / 3, round);
        const Bytes r = runs(n / 3, round), z = noise(n / 3, round);
        mixed.insert(mixed.end(), r.begin(), r.end());
        mixed.insert(mixed.end(), z.begin(), z.end());
        expectRoundTrip(mixed, "text, runs, noise");
    }
    expectRoundTrip(Bytes(5 * 4096, 0x00), "zeros");
    expectRoundTrip(Bytes(5 * 4096, 0x20), "the fill byte");
    Bytes ramp(4 * 4096 + 100);
    for (size_t i = 0; i < ramp.size(); i++) ramp[i] = static_cast<BYTE>(i);
    expectRoundTrip(ramp, "a repeating ramp");
}

TEST(LzssRoundTrip, PeriodicRowsAndSmallAlphabetsMatchTheClassicEncoder)
{
    // Rows repeated with a period, some with a byte changed: long runs of
    // strings equal to earlier ones, as in sprite images.
    std::mt19937 rng(17);
    for (size_t period : {1u, 2u, 7u, 17u, 18u, 19u, 64u, 333u, 4095u, 4096u, 4097u}) {
        const Bytes row = text(period, static_cast<unsigned>(period));
        Bytes image;
        while (image.size() < 3 * 4096 + 500) {
            image.insert(image.end(), row.begin(), row.end());
            if (rng() % 4 == 0) image[rng() % image.size()] ^= 1;
        }
        expectRoundTrip(image, "periodic rows");
    }
    // Two or three symbols: deep trees, many equal strings, every deletion
    // case.
    for (int round = 0; round < 60; round++) {
        Bytes input(rng() % 6000);
        const unsigned symbols = 2 + round % 2;
        for (auto &b : input) b = static_cast<BYTE>('a' + rng() % symbols);
        expectRoundTrip(input, "small alphabet");
    }
}

TEST(LzssDecode, StopsAtTheEndOfTheDestination)
{
    const Bytes input = text(10000, 3);
    const Encoded e = encode(input);
    for (size_t limit : {0u, 1u, 2u, 17u, 18u, 143u, 144u, 145u, 4095u, 9999u}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(decode(e.stream, limit), Bytes(input.begin(), input.begin() + limit));
    }
    // A destination larger than the data gets the data and nothing else.
    EXPECT_EQ(decode(e.stream, input.size() + 1000), input);
}

TEST(LzssDecode, TruncatedStreamsDecodeWhatTheyHold)
{
    const Bytes input = runs(3000, 5);
    const Encoded e = encode(input);
    for (size_t cut = 0; cut <= e.stream.size(); cut++) {
        const Bytes part = decode(Bytes(e.stream.begin(), e.stream.begin() + cut), input.size());
        ASSERT_LE(part.size(), input.size());
        ASSERT_TRUE(std::equal(part.begin(), part.end(), input.begin())) << "cut at " << cut;
    }
}

TEST(LzssDecode, DamagedStreamsStayInsideTheirDestination)
{
    std::mt19937 rng(9);
    const Bytes input = text(6000, 11);
    const Encoded e = encode(input);
    for (int round = 0; round < 300; round++) {
        Bytes damaged = e.stream;
        for (int k = 0; k < 1 + round % 8; k++) damaged[rng() % damaged.size()] = static_cast<BYTE>(rng());
        const size_t limit = rng() % (input.size() + 500);
        decode(damaged, limit);  // checks the guard bytes
    }
    // Nothing but pairs of 18: the most output a stream can ask for.
    Bytes pairs(1 + 9 * 2000, 0xFF);
    for (size_t i = 0; i < pairs.size(); i += 17) pairs[i] = 0x00;
    EXPECT_EQ(decode(pairs, 5000).size(), 5000u);
}

}  // namespace
