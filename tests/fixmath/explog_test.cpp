// Logarithms, exponentials and powers: sentinels, saturation, the exact
// integer power path, and the error against libm. The error bounds sit just
// above the largest errors measured over the same inputs.
#include "accuracy.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace fixtest;

TEST(FixLog, KnownValues)
{
    EXPECT_EQ(vekFixLog(0x10000), 0);
    EXPECT_EQ(vekFixLog10(0x10000), 0);
    EXPECT_NEAR(toDouble(vekFixLog(0x20000)), std::log(2.0), 3 / kOne);
    EXPECT_NEAR(toDouble(vekFixLog10(0xA0000)), 1.0, 3 / kOne);
    EXPECT_LT(vekFixLog(0x8000), 0);
}

// x <= 0 has the base-2 logarithm 0x80000000, divided by log2 of the base.
TEST(FixLog, NonPositiveGivesTheScaledSentinel)
{
    EXPECT_EQ(vekFixLog(0), -1488529512);
    EXPECT_EQ(vekFixLog(-5), -1488529512);
    EXPECT_EQ(vekFixLog(INT_MIN), -1488529512);
    EXPECT_EQ(vekFixLog10(0), -646456635);
}

TEST(FixLog, CloseToLibm)
{
    auto ln = [](double x) { return std::log(x); };
    Worst small = worstAbsolute(1, 0x10000, 1, vekFixLog, ln);
    EXPECT_LE(small.error, 5.5) << "at " << small.input;
    Worst large = worstAbsolute(0x10000, INT_MAX, 997, vekFixLog, ln);
    EXPECT_LE(large.error, 5.5) << "at " << large.input;
    Worst ten = worstAbsolute(1, INT_MAX, 997, vekFixLog10, [](double x) { return std::log10(x); });
    EXPECT_LE(ten.error, 3) << "at " << ten.input;
}

TEST(FixExp, KnownValues)
{
    EXPECT_EQ(vekFixExp(0), 0x10000);
    EXPECT_EQ(vekFixExp10(0), 0x10000);
    EXPECT_NEAR(toDouble(vekFixExp(0x10000)), 2.71825, 0.00001);
    EXPECT_NEAR(toDouble(vekFixExp10(0x20000)), 100.0003, 0.0001);
}

// Powers of two from 2^15 on saturate; their reciprocals are 2 raw.
TEST(FixExp, SaturatesBeyondTheRange)
{
    EXPECT_EQ(vekFixExp(11 << 16), INT_MAX) << "e^11 = 2^15.9";
    EXPECT_EQ(vekFixExp(-(11 << 16)), 2);
    EXPECT_EQ(vekFixExp(16 << 16), INT_MAX);
    EXPECT_EQ(vekFixExp10(5 << 16), INT_MAX);
    EXPECT_EQ(vekFixPow(0x20000, 15 << 16 | 0x8000), INT_MAX) << "2^15.5";
    EXPECT_EQ(vekFixPow(0x20000, -(15 << 16)), 2) << "2^-15";
    EXPECT_EQ(vekFixPow(0x20000, -(14 << 16)), 4) << "2^-14";
    EXPECT_EQ(vekFixPow(0x20000, INT_MIN), 2) << "the most negative exponent";
}

TEST(FixExp, CloseToLibm)
{
    // Below 1.0 the absolute error counts, above it the relative one.
    auto e = [](double x) { return std::exp(x); };
    Worst neg = worstAbsolute(-raw(11), 0, 1, vekFixExp, e);
    EXPECT_LE(neg.error, 1.6) << "at " << neg.input;
    Worst pos = worstRelative(0, raw(std::log(32767.0)), 1, vekFixExp, e);
    EXPECT_LE(pos.error, 6.5e-5) << "at " << pos.input;

    auto ten = [](double x) { return std::pow(10.0, x); };
    Worst neg10 = worstAbsolute(-raw(4.8), 0, 1, vekFixExp10, ten);
    EXPECT_LE(neg10.error, 1.6) << "at " << neg10.input;
    Worst pos10 = worstRelative(0, raw(std::log10(32767.0)), 1, vekFixExp10, ten);
    EXPECT_LE(pos10.error, 4e-5) << "at " << pos10.input;
}

TEST(FixPow, WholeExponentsMultiply)
{
    EXPECT_EQ(vekFixPow(0x20000, 0x30000), 0x80000);
    EXPECT_EQ(vekFixPow(-0x20000, 0x30000), -0x80000) << "negative bases work on this path";
    EXPECT_EQ(vekFixPow(0x18000, 0x20000), 0x24000) << "1.5^2";
    EXPECT_EQ(vekFixPow(0x12345, 0x10000), 0x12345);
    EXPECT_EQ(vekFixPow(0x12345, 0), 0x10000);
    EXPECT_EQ(vekFixPow(0x10000, 0x1000000), 0x10000) << "1^256";
    EXPECT_EQ(vekFixPow(0x20000, 14 << 16), 0x40000000);
    EXPECT_EQ(vekFixPow(0x20000, 15 << 16), INT_MIN) << "2^15 wraps like the multiplication";
}

TEST(FixPow, ZeroBaseGivesZero)
{
    EXPECT_EQ(vekFixPow(0, 0), 0);
    EXPECT_EQ(vekFixPow(0, 0x20000), 0);
    EXPECT_EQ(vekFixPow(0, 0x8000), 0);
    EXPECT_EQ(vekFixPow(0, -0x10000), 0);
}

TEST(FixPow, OtherExponentsGoThroughTheLogarithm)
{
    EXPECT_NEAR(vekFixPow(0x40000, 0x8000), 0x20000, 4) << "4^0.5";
    EXPECT_NEAR(toDouble(vekFixPow(0x20000, -0x10000)), 0.5, 2 / kOne) << "negative whole exponent";
    EXPECT_EQ(vekFixPow(0x20000, 0x1010000), INT_MAX) << "2^257 is past the whole-number path and saturates";
}

TEST(FixPow, CloseToLibm)
{
    // Bases from 0.05 to 100, exponents from -4 to 8 in eighths, where the
    // power lies between 1/65536 and 32767.
    double wholeRel = 0, fracRel = 0, fracAbs = 0;
    for (double b = 0.05; b <= 100; b *= 1.0137) {
        const auto rb = static_cast<VEKFIXED>(raw(b));
        for (int eighths = -32; eighths <= 64; eighths++) {
            const VEKFIXED re = eighths << 13;
            const double want = std::pow(toDouble(rb), toDouble(re));
            if (want < 1 / kOne || want > 32767) continue;
            const double got = toDouble(vekFixPow(rb, re));
            const bool whole = eighths >= 0 && eighths % 8 == 0;
            if (want >= 1) {
                double &rel = whole ? wholeRel : fracRel;
                rel = std::fmax(rel, std::fabs(got - want) / want);
            } else if (!whole) {
                fracAbs = std::fmax(fracAbs, std::fabs(got - want) * kOne);
            }
        }
    }
    EXPECT_LE(wholeRel, 8e-5);
    // The logarithm's error, multiplied by the exponent, becomes a relative
    // error of the power.
    EXPECT_LE(fracRel, 4e-4);
    EXPECT_LE(fracAbs, 14);
}
