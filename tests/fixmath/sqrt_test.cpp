// Square roots: exact values, the domain limits and the error against libm.
#include "accuracy.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace fixtest;

TEST(FixSqrt, KnownValues)
{
    EXPECT_EQ(vekFixSqrt(0x10000), 0x10000);
    EXPECT_EQ(vekFixSqrt(0x40000), 0x20000);
    EXPECT_EQ(vekFixSqrt(0x90000), 0x30000);
    EXPECT_EQ(vekFixSqrt(0x4000), 0x8000) << "sqrt 0.25";
    EXPECT_EQ(vekFixSqrt(0x20000), 92681) << "sqrt 2 = 92681.9 raw";
    EXPECT_EQ(vekFixSqrt(1), 256) << "sqrt of 1/65536 is 1/256";
}

TEST(FixSqrt, NonPositiveGivesZero)
{
    EXPECT_EQ(vekFixSqrt(0), 0);
    EXPECT_EQ(vekFixSqrt(-5), 0);
    EXPECT_EQ(vekFixSqrt(INT_MIN), 0);
}

// Newton's iteration stops within one raw unit of the root everywhere.
TEST(FixSqrt, WithinOneRawUnitOfLibm)
{
    auto ref = [](double x) { return std::sqrt(x); };
    Worst below = worstAbsolute(1, 0x10000, 1, vekFixSqrt, ref);
    EXPECT_LE(below.error, 1.0) << "at " << below.input;
    Worst all = worstAbsolute(1, INT_MAX, 997, vekFixSqrt, ref);
    EXPECT_LE(all.error, 1.0) << "at " << all.input;
    EXPECT_LE(std::fabs(toDouble(vekFixSqrt(INT_MAX)) - std::sqrt(INT_MAX / kOne)) * kOne, 1.0);
}

TEST(LongSqrt, KnownValues)
{
    EXPECT_EQ(vekLongSqrt(2), 1);
    EXPECT_EQ(vekLongSqrt(4), 2);
    EXPECT_EQ(vekLongSqrt(99), 9);
    EXPECT_EQ(vekLongSqrt(100), 10);
    EXPECT_EQ(vekLongSqrt(INT_MAX), 46340);
}

TEST(LongSqrt, BelowTwoComesBackUnchanged)
{
    EXPECT_EQ(vekLongSqrt(1), 1);
    EXPECT_EQ(vekLongSqrt(0), 0);
    EXPECT_EQ(vekLongSqrt(-7), -7);
    EXPECT_EQ(vekLongSqrt(INT_MIN), INT_MIN);
}

// The floor is exact on both sides of every perfect square in range.
TEST(LongSqrt, FloorAroundEveryPerfectSquare)
{
    for (LONG k = 2; k <= 46340; k++) {
        const LONG sq = k * k;
        ASSERT_EQ(vekLongSqrt(sq - 1), k - 1) << sq - 1;
        ASSERT_EQ(vekLongSqrt(sq), k) << sq;
        ASSERT_EQ(vekLongSqrt(sq + 1), k) << sq + 1;
        const LONG belowNext = sq < INT_MAX - 2 * k ? sq + 2 * k : INT_MAX;  // (k + 1)^2 - 1
        ASSERT_EQ(vekLongSqrt(belowNext), k) << belowNext;
    }
}
