// Random numbers: the generator's recurrence, its seeding from the tick
// count, and the ranges of both functions.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace {

// vekIntRand(0x8000) reads n as -32768 and so returns -r: the generator's raw
// 15-bit output.
LONG rawDraw()
{
    return -vekIntRand(0x8000);
}

// The first draws of the process, taken before any test runs, with the tick
// counts around the first one.
struct FirstDraws {
    DWORD ticksBefore, ticksAfter;
    std::vector<LONG> values;
};

FirstDraws takeFirstDraws()
{
    FirstDraws d;
    d.ticksBefore = GetTickCount();
    d.values.push_back(rawDraw());
    d.ticksAfter = GetTickCount();
    for (int i = 0; i < 7; i++) d.values.push_back(rawDraw());
    return d;
}

const FirstDraws firstDraws = takeFirstDraws();

uint32_t advance(uint32_t state)
{
    return state * 214013u + 2531011u;
}

LONG output(uint32_t state)
{
    return static_cast<LONG>((state >> 16) & 0x7FFF);
}

// The low 31 bits of the generator state after the first of the draws, found
// by trying every value of the 16 bits the first output does not show (bit
// 31 never reaches bits 16..30). Empty unless exactly one state fits.
std::optional<uint32_t> recoverState(const std::vector<LONG> &draws)
{
    std::optional<uint32_t> found;
    for (uint32_t low = 0; low < 0x10000; low++) {
        uint32_t s = static_cast<uint32_t>(draws[0]) << 16 | low;
        bool fits = true;
        for (size_t i = 1; i < draws.size() && fits; i++) {
            s = advance(s);
            fits = output(s) == draws[i];
        }
        if (!fits) continue;
        if (found) return std::nullopt;
        found = static_cast<uint32_t>(draws[0]) << 16 | low;
    }
    return found;
}

}  // namespace

TEST(Random, FollowsTheLinearCongruentialRecurrence)
{
    std::vector<LONG> draws;
    for (int i = 0; i < 8; i++) draws.push_back(rawDraw());
    for (LONG v : draws) ASSERT_TRUE(v >= 0 && v <= 0x7FFF) << v;
    EXPECT_TRUE(recoverState(draws).has_value()) << "no single state of the recurrence produces these draws";
}

TEST(Random, SeededFromTheTickCountOfTheFirstDraw)
{
    const std::optional<uint32_t> state = recoverState(firstDraws.values);
    ASSERT_TRUE(state.has_value());
    // Step back once: seed = (state - 2531011) / 214013 mod 2^32.
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; i++) inverse *= 2u - 214013u * inverse;  // Newton's iteration mod 2^32
    const uint32_t seed = ((*state - 2531011u) * inverse) & 0x7FFFFFFF;
    const uint32_t sinceBefore = (seed - firstDraws.ticksBefore) & 0x7FFFFFFF;
    EXPECT_LE(sinceBefore, firstDraws.ticksAfter - firstDraws.ticksBefore)
        << "seed " << seed << " not within ticks " << firstDraws.ticksBefore << ".." << firstDraws.ticksAfter;
}

TEST(Random, IntRandStaysInRange)
{
    std::set<LONG> seen;
    for (int i = 0; i < 2000; i++) {
        const LONG v = vekIntRand(6);
        ASSERT_TRUE(v >= 0 && v < 6) << v;
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 6u) << "every value from 0 to 5 turns up";
    for (int i = 0; i < 2000; i++) {
        ASSERT_EQ(vekIntRand(1), 0);
        const LONG big = vekIntRand(32767);
        ASSERT_TRUE(big >= 0 && big < 32767) << big;
    }
}

TEST(Random, IntRandUsesTheLowSixteenBitsOfN)
{
    for (int i = 0; i < 1000; i++) {
        const LONG v = vekIntRand(0x70006);
        ASSERT_TRUE(v >= 0 && v < 6) << v;
        const LONG negative = vekIntRand(0xFFFA);  // -6
        ASSERT_TRUE(negative >= -6 && negative <= 0) << negative;
    }
}

TEST(Random, FixRandStaysInRange)
{
    VEKFIXED smallest = INT32_MAX, largest = 0;
    for (int i = 0; i < 5000; i++) {
        const VEKFIXED v = vekFixRand(0x28000);
        ASSERT_TRUE(v >= 0 && v < 0x28000) << v;
        smallest = std::min(smallest, v);
        largest = std::max(largest, v);
    }
    EXPECT_LT(smallest, 0x1000) << "draws reach near 0";
    EXPECT_GT(largest, 0x27000) << "and near 2.5";
}
