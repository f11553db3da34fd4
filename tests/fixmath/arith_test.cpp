// Fixed-point multiplication, division and rounding: exact results, the
// rounding direction, wrapping products and saturating quotients.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

// Values where carries, signs and the 16-bit split go wrong.
const VEKFIXED kEdges[] = {0,          1,           -1,          2,          0x7FFF,     0x8000,
                           0xFFFF,     0x10000,     0x10001,     -0x10000,   -0xFFFF,    0x18000,
                           -0x18000,   0x7FFF0000,  0x12345678,  -0x12345678, 46341 << 8, 0x7FFFFFFF,
                           INT_MIN,    INT_MIN + 1, -0x7FFF0000, 3,          -3,         0x30000};

// floor(a b / 65536) wrapped to 32 bits, through long double (whose 64-bit
// significand holds every product exactly).
VEKFIXED referenceMul(VEKFIXED a, VEKFIXED b)
{
    const long double exact = std::floor(static_cast<long double>(a) * b / 65536.0L);
    return static_cast<VEKFIXED>(static_cast<uint32_t>(static_cast<int64_t>(exact)));
}

}  // namespace

TEST(FixMul, KnownValues)
{
    EXPECT_EQ(vekFixMul(-1, 1), -1) << "rounds toward minus infinity";
    EXPECT_EQ(vekFixMul(1, 1), 0);
    EXPECT_EQ(vekFixMul(0x18000, 0x18000), 0x24000) << "1.5 x 1.5";
    EXPECT_EQ(vekFixMul(-0x18000, 0x18000), -0x24000);
    EXPECT_EQ(vekFixMul(0x8000, -3), -2) << "-1.5 raw rounds down to -2";
    for (VEKFIXED x : kEdges) {
        EXPECT_EQ(vekFixMul(0x10000, x), x);
        EXPECT_EQ(vekFixMul(x, 0x10000), x);
    }
}

TEST(FixMul, MatchesExactProductOnEdgePairs)
{
    for (VEKFIXED a : kEdges)
        for (VEKFIXED b : kEdges) EXPECT_EQ(vekFixMul(a, b), referenceMul(a, b)) << a << " x " << b;
}

TEST(FixMul, WrapsWhenTheProductDoesNotFit)
{
    EXPECT_EQ(vekFixMul(0x1000000, 0x1000000), 0) << "256 x 256 = 2^32 raw wraps to 0";
    EXPECT_EQ(vekFixMul(0x800000, 0x1000000), INT_MIN) << "128 x 256 = 2^31 raw";
    EXPECT_EQ(vekFixMul(INT_MIN, INT_MIN), 0);
}

TEST(FixDiv, KnownValues)
{
    EXPECT_EQ(vekFixDiv(0x10000, 0x30000), 21845);
    EXPECT_EQ(vekFixDiv(-0x10000, 0x30000), -21845) << "truncates toward zero";
    EXPECT_EQ(vekFixDiv(0x10000, -0x30000), -21845);
    EXPECT_EQ(vekFixDiv(-0x10000, -0x30000), 21845);
    EXPECT_EQ(vekFixDiv(0x30000, 0x20000), 0x18000);
    EXPECT_EQ(vekFixDiv(1, 0x20000), 0) << "half a raw unit truncates to 0";
    EXPECT_EQ(vekFixDiv(-1, 0x20000), 0);
    EXPECT_EQ(vekFixDiv(0x7FFF, 1), 0x7FFF0000);
    EXPECT_EQ(vekFixDiv(-0x8000, 1), INT_MIN) << "the most negative quotient still fits";
}

// q is the quotient of a x 65536 by b truncated toward zero when the
// remainder a x 65536 - q b is smaller than b and has the sign of a.
TEST(FixDiv, TruncatesRandomQuotients)
{
    std::mt19937 gen(7);
    std::uniform_int_distribution<int32_t> any(INT_MIN, INT_MAX);
    int checked = 0;
    while (checked < 100000) {
        const VEKFIXED a = any(gen) >> (gen() % 31), b = any(gen) >> (gen() % 31);
        if (b == 0) continue;
        const int64_t num = int64_t{a} * 65536;
        if (std::llabs(num / b) > INT_MAX) continue;
        const VEKFIXED q = vekFixDiv(a, b);
        const int64_t rest = num - int64_t{q} * b;
        ASSERT_LT(std::llabs(rest), std::llabs(int64_t{b})) << a << " / " << b;
        ASSERT_TRUE(rest == 0 || (rest < 0) == (a < 0)) << a << " / " << b;
        checked++;
    }
}

TEST(FixDiv, SaturatesInsteadOfTrapping)
{
    EXPECT_EQ(vekFixDiv(1, 0), INT_MAX);
    EXPECT_EQ(vekFixDiv(0x7FFFFFFF, 0), INT_MAX);
    EXPECT_EQ(vekFixDiv(-1, 0), INT_MIN);
    EXPECT_EQ(vekFixDiv(INT_MIN, 0), INT_MIN);
    EXPECT_EQ(vekFixDiv(0, 0), 0);
    EXPECT_EQ(vekFixDiv(0x8000, 1), INT_MAX) << "2^31 raw is one too many";
    EXPECT_EQ(vekFixDiv(0x7FFFFFFF, 1), INT_MAX);
    EXPECT_EQ(vekFixDiv(0x7FFFFFFF, -1), INT_MIN);
    EXPECT_EQ(vekFixDiv(INT_MIN, 1), INT_MIN);
    EXPECT_EQ(vekFixDiv(INT_MIN, -1), INT_MAX);
    EXPECT_EQ(vekFixDiv(-0x8001, 1), INT_MIN);
    EXPECT_EQ(vekFixDiv(0x10000, 1), INT_MAX) << "1.0 / (1/65536)";
}

TEST(FixRound, HalvesRoundUp)
{
    EXPECT_EQ(vekFixRound(0x18000), 2);
    EXPECT_EQ(vekFixRound(0x17FFF), 1);
    EXPECT_EQ(vekFixRound(-0x18000), -1);
    EXPECT_EQ(vekFixRound(0x28000), 3) << "2.5";
    EXPECT_EQ(vekFixRound(-0x28000), -2) << "-2.5";
    EXPECT_EQ(vekFixRound(-0x28001), -3);
    EXPECT_EQ(vekFixRound(0), 0);
    EXPECT_EQ(vekFixRound(-1), 0);
    EXPECT_EQ(vekFixRound(-0x8001), -1);
    EXPECT_EQ(vekFixRound(INT_MIN), -32768);
    EXPECT_EQ(vekFixRound(0x7FFF7FFF), 32767);
    EXPECT_EQ(vekFixRound(0x7FFF8000), 32768) << "no wrap at the top";
    EXPECT_EQ(vekFixRound(INT_MAX), 32768);
}
