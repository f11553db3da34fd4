// Trigonometry: exact points, quadrants, saturation, and the error of the
// polynomials against libm over each function's domain. The error bounds sit
// just above the largest errors measured over the same inputs.
#include "accuracy.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace fixtest;

namespace {

const double kPi = 3.14159265358979323846;
constexpr VEKFIXED kTwoPi = 411775;

}  // namespace

TEST(FixSin, KnownValues)
{
    EXPECT_EQ(vekFixSin(0), 0);
    EXPECT_EQ(vekFixSin(102944), 0x10000) << "pi/2 is exact";
    EXPECT_EQ(vekFixCos(0), 0x10000);
    EXPECT_EQ(vekFixCos(102944), 0);
    EXPECT_NEAR(toDouble(vekFixCos(205887)), -1.00006, 0.00001) << "slightly below -1";
    EXPECT_LT(vekFixCos(205887), -0x10000);
}

// The angle is reduced to a whole number of 1/65536 turns, truncated toward
// zero, so two angles a full turn apart may reduce one step (6.3 raw of the
// sine at most) apart.
TEST(FixSin, FullTurnsGiveNearlyTheSameValue)
{
    for (int64_t a = -3 * kTwoPi; a <= 3 * kTwoPi; a += 7) {
        const auto angle = static_cast<VEKFIXED>(a);
        ASSERT_NEAR(vekFixSin(angle + kTwoPi), vekFixSin(angle), 7) << a;
    }
}

TEST(FixSin, CloseToLibmOverTwoTurns)
{
    Worst sin = worstAbsolute(-raw(2 * kPi), raw(2 * kPi), 1, vekFixSin, [](double x) { return std::sin(x); });
    EXPECT_LE(sin.error, 10.5) << "at " << sin.input;
    Worst cos = worstAbsolute(-raw(2 * kPi), raw(2 * kPi), 1, vekFixCos, [](double x) { return std::cos(x); });
    EXPECT_LE(cos.error, 10.5) << "at " << cos.input;
}

// The full-turn constant is 0.19 raw above 2 pi, so far from 0 the error grows
// with the number of turns (about 0.03 raw per radian).
TEST(FixSin, ErrorGrowsSlowlyWithLargeAngles)
{
    Worst distant = worstAbsolute(-0x7FFF0000LL, 0x7FFF0000LL, 4099, vekFixSin, [](double x) { return std::sin(x); });
    EXPECT_LE(distant.error, 890) << "at " << distant.input;
}

TEST(FixTan, CloseToLibm)
{
    Worst w = worstAbsolute(-raw(kPi / 4), raw(kPi / 4), 1, vekFixTan, [](double x) { return std::tan(x); });
    EXPECT_LE(w.error, 17) << "at " << w.input;
    Worst r = worstRelative(-raw(1.5), raw(1.5), 1, vekFixTan, [](double x) { return std::tan(x); });
    EXPECT_LE(r.error, 1.5e-3) << "at " << r.input << ", where the tangent is at least 1 in size";
}

TEST(FixTan, SaturatesWhereTheCosineIsZero)
{
    EXPECT_EQ(vekFixTan(102944), INT_MAX);
    EXPECT_EQ(vekFixTan(-102944), INT_MIN);
}

TEST(FixATan2, KnownValues)
{
    EXPECT_EQ(vekFixATan2(0x10000, -0x10000), 154416) << "3 pi / 4";
    EXPECT_EQ(vekFixATan2(-0x10000, -0x10000), -154416);
    EXPECT_EQ(vekFixATan(0x10000), 51471) << "pi / 4";
    EXPECT_EQ(vekFixATan2(0, -0x10000), 205886) << "pi";
    EXPECT_EQ(vekFixATan2(0, 0), 1) << "the origin gives the polynomial's value at the octant's edge";
}

// The most negative value has a magnitude too.
TEST(FixATan2, ExtremeCoordinates)
{
    auto close = [](VEKFIXED got, double want) { return std::fabs(toDouble(got) - want) * kOne <= 7; };
    EXPECT_TRUE(close(vekFixATan2(INT_MIN, INT_MIN), -3 * kPi / 4));
    EXPECT_TRUE(close(vekFixATan2(INT_MIN, 0), -kPi / 2));
    EXPECT_TRUE(close(vekFixATan2(1, INT_MIN), kPi));
    EXPECT_TRUE(close(vekFixATan2(INT_MAX, INT_MIN), 3 * kPi / 4));
}

TEST(FixATan2, CloseToLibmOverAGrid)
{
    // Points of a 161 x 161 grid at two scales: the angle depends only on the
    // ratio, so small and large coordinates must agree.
    for (double scale : {1.0 / 16, 4.0, 30000.0}) {
        double worst = 0;
        for (int i = -80; i <= 80; i++) {
            for (int j = -80; j <= 80; j++) {
                if (i == 0 && j == 0) continue;
                const auto y = static_cast<VEKFIXED>(raw(scale * i / 80)), x = static_cast<VEKFIXED>(raw(scale * j / 80));
                const double e = std::fabs(toDouble(vekFixATan2(y, x)) - std::atan2(toDouble(y), toDouble(x))) * kOne;
                worst = std::fmax(worst, e);
            }
        }
        EXPECT_LE(worst, 6.5) << "scale " << scale;
    }
}

TEST(FixATan, CloseToLibm)
{
    auto ref = [](double x) { return std::atan(x); };
    Worst w = worstAbsolute(-raw(64), raw(64), 1, vekFixATan, ref);
    EXPECT_LE(w.error, 6.5) << "at " << w.input;
    Worst distant = worstAbsolute(INT_MIN, INT_MAX, 4099, vekFixATan, ref);
    EXPECT_LE(distant.error, 6.5) << "at " << distant.input;
}

TEST(FixASinACos, EachNameGivesItsFunction)
{
    EXPECT_NEAR(vekFixASin(0x8000), 34315, 7) << "asin 0.5 = pi / 6";
    EXPECT_NEAR(vekFixACos(0x8000), 68629, 7) << "acos 0.5 = pi / 3";
    EXPECT_NEAR(vekFixASin(0x10000), 102944, 2);
    EXPECT_NEAR(vekFixASin(-0x10000), -102944, 2);
    EXPECT_NEAR(vekFixACos(0x10000), 0, 2);
    EXPECT_NEAR(vekFixACos(-0x10000), 205887, 2);
}

TEST(FixASinACos, CloseToLibm)
{
    Worst s = worstAbsolute(-0x10000, 0x10000, 1, vekFixASin, [](double x) { return std::asin(x); });
    EXPECT_LE(s.error, 6.5) << "at " << s.input;
    Worst c = worstAbsolute(-0x10000, 0x10000, 1, vekFixACos, [](double x) { return std::acos(x); });
    EXPECT_LE(c.error, 7) << "at " << c.input;
}
