// Transform matrices: exact entries at the right angles, the general path for
// everything else, rotation and shear limits, the inverse, and the bounding
// boxes of transformed images.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr VEKFIXED kOne = 0x10000;

VEKFIXED degrees(int d)
{
    return d * kOne;
}

std::array<VEKFIXED, 8> build(VEKFIXED sx, VEKFIXED sy, VEKFIXED rotation, VEKFIXED shear)
{
    VEKMATRIX m;
    std::fill(std::begin(m.m), std::end(m.m), 0x5A5A5A5A);
    vekBuildMatrix(&m, sx, sy, rotation, shear);
    std::array<VEKFIXED, 8> a;
    std::copy(std::begin(m.m), std::end(m.m), a.begin());
    return a;
}

std::array<VEKFIXED, 8> rotation(VEKFIXED r)
{
    return build(kOne, kOne, r, 0);
}

// Width and height after vekGetTransformedDimensions, and its result.
struct Dimensions {
    LONG width, height;
    DWORD packed;
};

Dimensions transformed(const std::array<VEKFIXED, 8> &entries, LONG width, LONG height)
{
    VEKMATRIX m;
    std::copy(entries.begin(), entries.end(), m.m);
    Dimensions d{width, height, 0};
    d.packed = vekGetTransformedDimensions(&d.width, &d.height, &m);
    return d;
}

}  // namespace

TEST(BuildMatrix, IdentityAtZeroRotationAndUnitScale)
{
    const std::array<VEKFIXED, 8> identity = {kOne, 0, 0, kOne, kOne, 0, 0, kOne};
    EXPECT_EQ(rotation(0), identity);
    EXPECT_EQ(rotation(degrees(720)), identity) << "whole turns reduce to 0";
    EXPECT_EQ(rotation(degrees(-360)), identity);
    for (LONG w : {1, 4, 40, 640})
        for (LONG h : {1, 3, 20, 480}) {
            const Dimensions d = transformed(identity, w, h);
            EXPECT_EQ(d.width, w);
            EXPECT_EQ(d.height, h);
            EXPECT_EQ(d.packed, static_cast<DWORD>(h) << 16 | static_cast<DWORD>(w));
        }
}

TEST(BuildMatrix, RightAnglesAreExact)
{
    // Forward (x, y) -> (m0 x + m2 y, m1 x + m3 y), y downwards: at 90 degrees
    // the image's x axis points up the screen (counter-clockwise).
    EXPECT_EQ(rotation(degrees(90)), (std::array<VEKFIXED, 8>{0, -kOne, kOne, 0, 0, kOne, -kOne, 0}));
    EXPECT_EQ(rotation(degrees(180)), (std::array<VEKFIXED, 8>{-kOne, 0, 0, -kOne, -kOne, 0, 0, -kOne}));
    EXPECT_EQ(rotation(degrees(270)), (std::array<VEKFIXED, 8>{0, kOne, -kOne, 0, 0, -kOne, kOne, 0}));
    EXPECT_EQ(rotation(degrees(450)), rotation(degrees(90))) << "450 is 90";
    EXPECT_EQ(rotation(degrees(540)), rotation(degrees(180)));

    const Dimensions d90 = transformed(rotation(degrees(90)), 40, 20);
    EXPECT_EQ(d90.width, 20);
    EXPECT_EQ(d90.height, 40);
    EXPECT_EQ(d90.packed, 0x00280014u);
    const Dimensions d180 = transformed(rotation(degrees(180)), 40, 20);
    EXPECT_EQ(d180.width, 40);
    EXPECT_EQ(d180.height, 20);
    const Dimensions d270 = transformed(rotation(degrees(270)), 40, 20);
    EXPECT_EQ(d270.width, 20);
    EXPECT_EQ(d270.height, 40);
}

// -90 degrees is 102943 raw radians (truncated), whose sine the polynomial
// gives as -65540: the entries show the computed values, not exact ones.
TEST(BuildMatrix, NegativeRightAnglesTakeTheGeneralPath)
{
    const VEKFIXED radians = vekFixMul(degrees(-90), 205887) / 180;
    ASSERT_EQ(radians, -102943);
    const VEKFIXED s = vekFixSin(radians), c = vekFixCos(radians);
    const std::array<VEKFIXED, 8> m = rotation(degrees(-90));
    EXPECT_EQ(m[0], c);
    EXPECT_EQ(m[1], -s);
    EXPECT_EQ(m[2], s);
    EXPECT_EQ(m[3], c);
    EXPECT_EQ(m[4], c);
    EXPECT_EQ(m[5], s);
    EXPECT_EQ(m[6], -s);
    EXPECT_EQ(m[7], c);
    EXPECT_EQ(m[1], 65540) << "not the exact 0x10000 of +270";
    EXPECT_NE(m, rotation(degrees(270)));
    EXPECT_EQ(rotation(degrees(-450)), m) << "-450 reduces to -90, keeping its sign";

    const Dimensions d = transformed(m, 40, 20);
    EXPECT_EQ(d.width, 20);
    EXPECT_EQ(d.height, 40);
    EXPECT_NE(rotation(degrees(-180)), rotation(degrees(180)));
    EXPECT_NE(rotation(degrees(-270)), rotation(degrees(90)));
}

TEST(BuildMatrix, ScaleFactors)
{
    const std::array<VEKFIXED, 8> m = build(2 * kOne, kOne / 2, 0, 0);
    EXPECT_EQ(m, (std::array<VEKFIXED, 8>{2 * kOne, 0, 0, kOne / 2, kOne / 2, 0, 0, 2 * kOne}));
    const Dimensions d = transformed(m, 4, 3);
    EXPECT_EQ(d.width, 8);
    EXPECT_EQ(d.height, 2) << "1.5 rows round up";

    const std::array<VEKFIXED, 8> r = build(2 * kOne, 3 * kOne, degrees(90), 0);
    EXPECT_EQ(r, (std::array<VEKFIXED, 8>{0, -2 * kOne, 3 * kOne, 0, 0, 21845, -kOne / 2, 0}));
}

TEST(BuildMatrix, FortyFiveDegrees)
{
    const std::array<VEKFIXED, 8> m = rotation(degrees(45));
    EXPECT_NEAR(m[0], 46341, 8);
    EXPECT_NEAR(m[1], -46341, 8);
    const Dimensions d = transformed(m, 4, 3);
    EXPECT_EQ(d.width, 5);
    EXPECT_EQ(d.height, 5);
    EXPECT_EQ(d.packed, 0x00050005u);
}

TEST(BuildMatrix, ShearIsClampedToSeventyDegrees)
{
    EXPECT_EQ(build(kOne, kOne, 0, degrees(80)), build(kOne, kOne, 0, degrees(70)));
    EXPECT_EQ(build(kOne, kOne, 0, degrees(-80)), build(kOne, kOne, 0, degrees(-70)));
    EXPECT_EQ(build(kOne, kOne, degrees(30), INT32_MAX), build(kOne, kOne, degrees(30), degrees(70)));
    EXPECT_NE(build(kOne, kOne, 0, degrees(69)), build(kOne, kOne, 0, degrees(70)));

    // tan 70 = 2.7475: x moves right by 2.75 per row down.
    const std::array<VEKFIXED, 8> m = build(kOne, kOne, 0, degrees(70));
    EXPECT_EQ(m[0], kOne);
    EXPECT_EQ(m[1], 0);
    EXPECT_NEAR(m[2] / 65536.0, std::tan(70 * 3.14159265358979 / 180), 3e-4);
    EXPECT_EQ(m[3], kOne);
    EXPECT_EQ(m[6], -m[2]);
    const Dimensions d = transformed(m, 4, 4);
    EXPECT_EQ(d.width, 15) << "4 + 4 x 2.7475 = 14.99";
    EXPECT_EQ(d.height, 4);
}

// Entries 4..7 undo entries 0..3 for any scale, rotation and shear.
TEST(BuildMatrix, InverseUndoesTheForwardMatrix)
{
    std::mt19937 gen(11);
    std::uniform_int_distribution<VEKFIXED> scale(kOne / 4, 4 * kOne), angle(degrees(-720), degrees(720)),
        shear(degrees(-70), degrees(70));
    for (int i = 0; i < 2000; i++) {
        const VEKFIXED sx = (gen() & 1) ? scale(gen) : -scale(gen), sy = scale(gen);
        const std::array<VEKFIXED, 8> m = build(sx, sy, angle(gen), shear(gen));
        double f[4], v[4];
        for (int k = 0; k < 4; k++) f[k] = m[k] / 65536.0, v[k] = m[4 + k] / 65536.0;
        // As column-major 2x2 matrices (p q; r s): inverse times forward.
        const double a = v[0] * f[0] + v[2] * f[1], b = v[1] * f[0] + v[3] * f[1];
        const double c = v[0] * f[2] + v[2] * f[3], d = v[1] * f[2] + v[3] * f[3];
        ASSERT_NEAR(a, 1, 2e-3) << i;
        ASSERT_NEAR(b, 0, 2e-3) << i;
        ASSERT_NEAR(c, 0, 2e-3) << i;
        ASSERT_NEAR(d, 1, 2e-3) << i;
    }
}

// The corners of an image under a matrix, computed in 64 bits, rounded to
// whole pixels with halves up; the box is the extremes of the corners.
TEST(TransformedDimensions, MatchTheCornersOfTheImage)
{
    std::mt19937 gen(5);
    std::uniform_int_distribution<VEKFIXED> scale(kOne / 4, 3 * kOne), angle(degrees(-400), degrees(400)),
        shear(degrees(-75), degrees(75));
    std::uniform_int_distribution<LONG> size(0, 300);
    for (int i = 0; i < 5000; i++) {
        const std::array<VEKFIXED, 8> m = build(scale(gen), scale(gen), angle(gen), shear(gen));
        const LONG w = size(gen), h = size(gen);
        int64_t xs[4], ys[4];
        const LONG cx[4] = {0, w, 0, w}, cy[4] = {0, 0, h, h};
        for (int k = 0; k < 4; k++) {
            xs[k] = int64_t{m[0]} * cx[k] + int64_t{m[2]} * cy[k];
            ys[k] = int64_t{m[1]} * cx[k] + int64_t{m[3]} * cy[k];
        }
        auto round = [](int64_t v) { return static_cast<LONG>(std::floor((v + 32768) / 65536.0)); };
        const LONG width = round(*std::max_element(xs, xs + 4)) - round(*std::min_element(xs, xs + 4));
        const LONG height = round(*std::max_element(ys, ys + 4)) - round(*std::min_element(ys, ys + 4));
        const Dimensions d = transformed(m, w, h);
        ASSERT_EQ(d.width, width) << i;
        ASSERT_EQ(d.height, height) << i;
        ASSERT_EQ(d.packed, static_cast<DWORD>(height) << 16 | static_cast<DWORD>(width)) << i;
    }
}

// Zero or extreme scales, angles and sizes divide by zero or overflow inside;
// the results are meaningless but the calls are defined and do not trap.
TEST(BuildMatrix, ExtremeArgumentsDoNotTrap)
{
    const VEKFIXED values[] = {0, 1, -1, kOne, -kOne, INT32_MAX, INT32_MIN, degrees(90), degrees(-360)};
    for (VEKFIXED sx : values)
        for (VEKFIXED sy : values)
            for (VEKFIXED r : values) {
                const std::array<VEKFIXED, 8> m = build(sx, sy, r, r);
                for (LONG size : {0, 1, 32767, INT32_MAX, INT32_MIN}) transformed(m, size, size);
            }
    const std::array<VEKFIXED, 8> zero = build(0, 0, 0, 0);
    EXPECT_EQ(zero[4], INT32_MAX) << "1.0 / 0 saturates";
    EXPECT_EQ(zero[7], INT32_MAX);
    EXPECT_EQ(zero[5], 0) << "0 / 0 gives 0";
    EXPECT_EQ(zero[6], 0);
}
