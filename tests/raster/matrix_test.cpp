// Transform matrices: exact entries where they must be exact, the inverse
// and the bounding boxes against plain arithmetic, and arguments that must
// not trap.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr VEKFIXED kOne = 0x10000;
using Entries = std::array<VEKFIXED, 8>;

Entries build(VEKFIXED sx, VEKFIXED sy, VEKFIXED degrees, VEKFIXED shear = 0)
{
    VEKMATRIX m;
    std::fill(std::begin(m.m), std::end(m.m), 0x5A5A5A5A);
    vekBuildMatrix(&m, sx, sy, degrees, shear);
    Entries a;
    std::copy(std::begin(m.m), std::end(m.m), a.begin());
    return a;
}

// Width and height after vekGetTransformedDimensions; its result must pack them.
std::pair<LONG, LONG> transformed(const Entries &entries, LONG width, LONG height)
{
    VEKMATRIX m;
    std::copy(entries.begin(), entries.end(), m.m);
    const DWORD packed = vekGetTransformedDimensions(&width, &height, &m);
    EXPECT_EQ(packed, static_cast<DWORD>(height) << 16 | static_cast<WORD>(width));
    return {width, height};
}

}  // namespace

TEST(BuildMatrix, ExactEntries)
{
    // Forward (x, y) -> (m0 x + m2 y, m1 x + m3 y), y downwards, then the
    // inverse: at 90 degrees the image's x axis points up the screen.
    struct Case {
        VEKFIXED sx, sy, degrees;
        Entries m;
    } cases[] = {
        {kOne, kOne, 0, {kOne, 0, 0, kOne, kOne, 0, 0, kOne}},
        {kOne, kOne, 720 * kOne, {kOne, 0, 0, kOne, kOne, 0, 0, kOne}},
        {kOne, kOne, -360 * kOne, {kOne, 0, 0, kOne, kOne, 0, 0, kOne}},
        {kOne, kOne, 90 * kOne, {0, -kOne, kOne, 0, 0, kOne, -kOne, 0}},
        {kOne, kOne, 450 * kOne, {0, -kOne, kOne, 0, 0, kOne, -kOne, 0}},
        {kOne, kOne, 180 * kOne, {-kOne, 0, 0, -kOne, -kOne, 0, 0, -kOne}},
        {kOne, kOne, 270 * kOne, {0, kOne, -kOne, 0, 0, -kOne, kOne, 0}},
        {2 * kOne, kOne / 2, 0, {2 * kOne, 0, 0, kOne / 2, kOne / 2, 0, 0, 2 * kOne}},
        {2 * kOne, 3 * kOne, 90 * kOne, {0, -2 * kOne, 3 * kOne, 0, 0, 21845, -kOne / 2, 0}},
    };
    for (const Case &c : cases) EXPECT_EQ(build(c.sx, c.sy, c.degrees), c.m) << c.sx << " " << c.sy << " " << c.degrees;

    // Negative right angles take the general path, keeping their sign.
    EXPECT_NE(build(kOne, kOne, -90 * kOne), build(kOne, kOne, 270 * kOne));
    EXPECT_NEAR(build(kOne, kOne, -90 * kOne)[1], kOne, 8);
    EXPECT_NEAR(build(kOne, kOne, 45 * kOne)[1], -46341, 8);

    // The shear is clamped to 70 degrees: x moves right by tan 70 per row down.
    EXPECT_EQ(build(kOne, kOne, 0, -80 * kOne), build(kOne, kOne, 0, -70 * kOne));
    EXPECT_EQ(build(kOne, kOne, 30 * kOne, INT32_MAX), build(kOne, kOne, 30 * kOne, 70 * kOne));
    const Entries sheared = build(kOne, kOne, 0, 70 * kOne);
    EXPECT_NEAR(sheared[2] / 65536.0, std::tan(70 * 3.14159265358979 / 180), 3e-4);
    EXPECT_EQ(sheared[6], -sheared[2]);
}

TEST(BuildMatrix, BoundingBoxes)
{
    struct Case {
        Entries m;
        LONG width, height, wantWidth, wantHeight;
    } cases[] = {
        {build(kOne, kOne, 0), 640, 480, 640, 480},
        {build(kOne, kOne, 90 * kOne), 40, 20, 20, 40},
        {build(kOne, kOne, -90 * kOne), 40, 20, 20, 40},
        {build(kOne, kOne, 180 * kOne), 40, 20, 40, 20},
        {build(2 * kOne, kOne / 2, 0), 4, 3, 8, 2},  // 1.5 rows round up
        {build(kOne, kOne, 45 * kOne), 4, 3, 5, 5},
        {build(kOne, kOne, 0, 70 * kOne), 4, 4, 15, 4},  // 4 + 4 x 2.7475 = 14.99
    };
    for (const Case &c : cases)
        EXPECT_EQ(transformed(c.m, c.width, c.height), std::make_pair(c.wantWidth, c.wantHeight));

    // Random matrices and sizes against the corners computed in 64 bits and
    // rounded to whole pixels with halves up.
    std::mt19937 gen(5);
    std::uniform_int_distribution<VEKFIXED> scale(kOne / 4, 3 * kOne), angle(-400 * kOne, 400 * kOne),
        shear(-75 * kOne, 75 * kOne);
    std::uniform_int_distribution<LONG> size(0, 300);
    for (int i = 0; i < 5000; i++) {
        const Entries m = build(scale(gen), scale(gen), angle(gen), shear(gen));
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
        ASSERT_EQ(transformed(m, w, h), std::make_pair(width, height)) << i;
    }
}

// Entries 4..7 undo entries 0..3 for any scale, rotation and shear.
TEST(BuildMatrix, InverseUndoesTheForwardMatrix)
{
    std::mt19937 gen(11);
    std::uniform_int_distribution<VEKFIXED> scale(kOne / 4, 4 * kOne), angle(-720 * kOne, 720 * kOne),
        shear(-70 * kOne, 70 * kOne);
    for (int i = 0; i < 2000; i++) {
        const VEKFIXED sx = (gen() & 1) ? scale(gen) : -scale(gen), sy = scale(gen);
        const Entries m = build(sx, sy, angle(gen), shear(gen));
        double f[4], v[4];
        for (int k = 0; k < 4; k++) f[k] = m[k] / 65536.0, v[k] = m[4 + k] / 65536.0;
        ASSERT_NEAR(v[0] * f[0] + v[2] * f[1], 1, 2e-3) << i;
        ASSERT_NEAR(v[1] * f[0] + v[3] * f[1], 0, 2e-3) << i;
        ASSERT_NEAR(v[0] * f[2] + v[2] * f[3], 0, 2e-3) << i;
        ASSERT_NEAR(v[1] * f[2] + v[3] * f[3], 1, 2e-3) << i;
    }
}

// Zero or extreme scales, angles and sizes divide by zero or overflow
// inside; the results are meaningless but the calls do not trap (the
// sanitizer build stops on undefined arithmetic).
TEST(BuildMatrix, ExtremeArgumentsDoNotTrap)
{
    const VEKFIXED values[] = {0, 1, -1, kOne, -kOne, INT32_MAX, INT32_MIN, 90 * kOne, -360 * kOne};
    for (VEKFIXED sx : values)
        for (VEKFIXED sy : values)
            for (VEKFIXED r : values) {
                const Entries m = build(sx, sy, r, r);
                for (LONG size : {0, 1, 32767, INT32_MAX, INT32_MIN}) transformed(m, size, size);
            }
    const Entries zero = build(0, 0, 0);
    EXPECT_EQ(zero[4], INT32_MAX) << "1.0 / 0 saturates";
    EXPECT_EQ(zero[5], 0) << "0 / 0 gives 0";
}
