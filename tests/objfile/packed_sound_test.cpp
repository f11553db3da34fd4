// Packed sound: the codes, the step table, and decoding bounded by both the
// packed data and the output.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "objfile/packed_sound.h"

namespace {

using Bytes = std::vector<BYTE>;
constexpr BYTE kUntouched = 0xCC;

// Decodes count samples into a buffer with guard bytes behind it; returns the
// whole buffer but the guard, so that samples never written show kUntouched.
Bytes decode(const Bytes &packed, DWORD count, DWORD *written = nullptr)
{
    constexpr size_t kGuard = 32;
    Bytes out(count + kGuard, kUntouched);
    const DWORD n = vek::DecodePackedSound(packed.data(), static_cast<DWORD>(packed.size()), out.data(), count);
    EXPECT_LE(n, count);
    for (size_t i = count; i < out.size(); i++) EXPECT_EQ(out[i], kUntouched) << "written past the end at " << i;
    for (size_t i = n; i < count; i++) EXPECT_EQ(out[i], kUntouched) << "sample " << i << " beyond the result";
    out.resize(count);
    if (written) *written = n;
    return out;
}

TEST(PackedSound, FirstSampleAlone)
{
    EXPECT_EQ(decode({8, 77}, 1), Bytes{77});
    EXPECT_EQ(decode({8, 77, 0xFF, 0xFF}, 1), Bytes{77}) << "codes after the count are not read";
}

TEST(PackedSound, AbsoluteSamplesAndRuns)
{
    // 0xFF sets 254, 0x81 sets 2; 0x43 repeats the sample 3 times; 0x40
    // outputs and counts nothing.
    EXPECT_EQ(decode({8, 10, 0xFF, 0x40, 0x81, 0x43, 0x80}, 7), (Bytes{10, 254, 2, 2, 2, 2, 0}));
}

TEST(PackedSound, FourBitStepsOfTheLastRowAreLimited)
{
    // K = 2: one data byte of two 4-bit codes, row 15: -127 then +127.
    EXPECT_EQ(decode({2, 100, 0x3F, 0x0F}, 3), (Bytes{100, 0, 127}));
    EXPECT_EQ(decode({2, 200, 0x3F, 0xF0}, 3), (Bytes{200, 255, 128}));
}

TEST(PackedSound, OneBitStepsOfTheFirstRow)
{
    EXPECT_EQ(decode({8, 10, 0x10, 0xF0}, 9), (Bytes{10, 11, 12, 13, 14, 13, 12, 11, 10}));
}

TEST(PackedSound, TwoBitStepsTakeTheMiddleOfTheRow)
{
    // Row 1 steps by 2: codes 0..3 add -4, -2, +2, +4.
    EXPECT_EQ(decode({4, 100, 0x21, 0x1B}, 5), (Bytes{100, 96, 94, 96, 100}));
}

TEST(PackedSound, BlocksCountKButOutputWholeCodesOnly)
{
    // K = 10 with 1-bit codes: one data byte, 8 samples, but 10 counted. The
    // absolute code after it is the 10th sample written; two samples of the
    // count are never written.
    DWORD n = 0;
    const Bytes got = decode({10, 50, 0x10, 0x00, 0x90}, 12, &n);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(got, (Bytes{50, 49, 48, 47, 46, 45, 44, 43, 42, 32, kUntouched, kUntouched}));
    // A block of mode 0 counts K and outputs nothing.
    EXPECT_EQ(decode({3, 9, 0x05, 0x82}, 5, &n), (Bytes{9, 4, kUntouched, kUntouched, kUntouched}));
    EXPECT_EQ(n, 2u);
}

TEST(PackedSound, CodesPastTheCountEndTheStreamInsideTheOutput)
{
    DWORD n = 0;
    // A run of 63 where 4 samples remain.
    EXPECT_EQ(decode({8, 5, 0x7F, 0x81}, 5, &n), (Bytes{5, 5, 5, 5, 5}));
    EXPECT_EQ(n, 5u);
    // A block of 16 4-bit steps where 3 samples remain.
    EXPECT_EQ(decode({16, 5, 0x30, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}, 4, &n), (Bytes{5, 7, 9, 11}));
    EXPECT_EQ(n, 4u);
}

TEST(PackedSound, DecodingEndsWithThePackedData)
{
    DWORD n = 0;
    // Too short to hold K and the first sample.
    EXPECT_EQ(decode({8}, 4, &n), Bytes(4, kUntouched));
    EXPECT_EQ(n, 0u);
    // A block whose data bytes are cut: the codes that are there.
    EXPECT_EQ(decode({16, 20, 0x10, 0x0F}, 20, &n),
        (Bytes{20, 19, 18, 17, 16, 17, 18, 19, 20, kUntouched, kUntouched, kUntouched, kUntouched, kUntouched,
            kUntouched, kUntouched, kUntouched, kUntouched, kUntouched, kUntouched}));
    EXPECT_EQ(n, 9u);
}

TEST(PackedSound, RandomCodesStayInsideTheOutput)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 2000; round++) {
        Bytes packed(rng() % 80);
        for (auto &b : packed) b = static_cast<BYTE>(rng());
        decode(packed, rng() % 300);  // checks the guard bytes
    }
}

TEST(PackedSound, PackerEntryPointsDoNothing)
{
    EXPECT_EQ(vekPackSound(1, 2, 3, 4), 0u);
    EXPECT_EQ(vekUnpackSound(1, 2), 0u);
}

}  // namespace
