// Every function over the extremes of its arguments: no trap and no undefined
// arithmetic (the sanitizer build stops on either), and results that stay in
// their function's range.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

std::vector<VEKFIXED> extremes()
{
    std::vector<VEKFIXED> v = {0, 1, -1, 2, -2, 0x8000, -0x8000, 0x10000, -0x10000, 102944, -102944, 205887,
                               411775, 0xF0000, -0xF0000, 0x1000000, -0x1000000};
    for (VEKFIXED x : {INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, 0x7FFF8000, -0x7FFF8000, 0x40000000, -0x40000000})
        v.push_back(x);
    return v;
}

constexpr VEKFIXED kPiPlus = 205887 + 8;

}  // namespace

TEST(FixExtremes, UnaryFunctions)
{
    for (VEKFIXED x : extremes()) {
        const VEKFIXED s = vekFixSin(x), c = vekFixCos(x);
        EXPECT_TRUE(s >= -0x10010 && s <= 0x10010) << x;
        EXPECT_TRUE(c >= -0x10010 && c <= 0x10010) << x;
        vekFixTan(x);
        const VEKFIXED a = vekFixATan(x);
        EXPECT_TRUE(a >= -102952 && a <= 102952) << x;
        const VEKFIXED as = vekFixASin(x), ac = vekFixACos(x);
        EXPECT_TRUE(as >= -kPiPlus && as <= kPiPlus) << x;
        EXPECT_TRUE(ac >= -kPiPlus && ac <= kPiPlus) << x;
        EXPECT_GE(vekFixSqrt(x), 0) << x;
        EXPECT_TRUE(vekLongSqrt(x) <= 46341) << x;
        vekFixLog(x);
        vekFixLog10(x);
        EXPECT_GE(vekFixExp(x), 0) << x;
        EXPECT_GE(vekFixExp10(x), 0) << x;
        const LONG r = vekFixRound(x);
        EXPECT_TRUE(r >= -32768 && r <= 32768) << x;
        vekIntRand(x);
        vekFixRand(x);
    }
}

TEST(FixExtremes, BinaryFunctions)
{
    for (VEKFIXED a : extremes()) {
        for (VEKFIXED b : extremes()) {
            vekFixMul(a, b);
            const VEKFIXED q = vekFixDiv(a, b);
            if (b == 0) {
                EXPECT_EQ(q, a > 0 ? INT_MAX : a < 0 ? INT_MIN : 0) << a;
            }
            const VEKFIXED angle = vekFixATan2(a, b);
            EXPECT_TRUE(angle >= -kPiPlus && angle <= kPiPlus) << a << ", " << b;
            vekFixPow(a, b);
        }
    }
}
