// 16.16 fixed-point maths against exact integer arithmetic and against the
// C library's double functions, the documented edge results, and every
// function over the extremes of its arguments (the sanitizer build stops
// on undefined arithmetic). Error bounds sit just above the largest errors
// measured over the same inputs.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <set>

namespace {

constexpr double kOne = 65536.0, kPi = 3.14159265358979323846;

double toDouble(VEKFIXED v) { return v / kOne; }
int64_t raw(double x) { return std::llround(x * kOne); }

// Largest error, in raw units, of f against ref over the raw inputs lo..hi
// in steps of step; relative instead where the reference is at least 1.
double worst(int64_t lo, int64_t hi, int64_t step, VEKFIXED (*f)(VEKFIXED), double (*ref)(double),
             bool relative = false)
{
    double w = 0;
    for (int64_t r = lo; r <= hi; r += step) {
        const double want = ref(r / kOne), got = toDouble(f(static_cast<VEKFIXED>(r)));
        if (relative && std::fabs(want) < 1.0) continue;
        w = std::fmax(w, relative ? std::fabs(got - want) / std::fabs(want) : std::fabs(got - want) * kOne);
    }
    return w;
}

// Values where carries, signs and the 16-bit split go wrong.
const VEKFIXED kEdges[] = {0,          1,           -1,          2,           0x7FFF,     0x8000,  0xFFFF,
                           0x10000,    0x10001,     -0x10000,    -0xFFFF,     0x18000,    -0x18000, 0x7FFF0000,
                           0x12345678, -0x12345678, 46341 << 8,  0x7FFFFFFF,  INT_MIN,    INT_MIN + 1, -0x7FFF0000,
                           3,          -3,          0x30000,     102944,      -102944,    205887,  411775};

}  // namespace

TEST(FixArith, MultiplyDivideAndRound)
{
    // floor(a b / 65536) wrapped to 32 bits, through long double (whose
    // 64-bit significand holds every product exactly).
    for (VEKFIXED a : kEdges)
        for (VEKFIXED b : kEdges) {
            const auto exact = static_cast<int64_t>(std::floor(static_cast<long double>(a) * b / 65536.0L));
            ASSERT_EQ(vekFixMul(a, b), static_cast<VEKFIXED>(static_cast<uint32_t>(exact))) << a << " x " << b;
        }
    // The quotient truncates toward zero: the remainder a x 65536 - q b is
    // smaller than b and has the sign of a.
    std::mt19937 gen(7);
    std::uniform_int_distribution<int32_t> any(INT_MIN, INT_MAX);
    for (int checked = 0; checked < 100000;) {
        const VEKFIXED a = any(gen) >> (gen() % 31), b = any(gen) >> (gen() % 31);
        const int64_t num = int64_t{a} * 65536;
        if (b == 0 || std::llabs(num / b) > INT_MAX) continue;
        const int64_t rest = num - int64_t{vekFixDiv(a, b)} * b;
        ASSERT_LT(std::llabs(rest), std::llabs(int64_t{b})) << a << " / " << b;
        ASSERT_TRUE(rest == 0 || (rest < 0) == (a < 0)) << a << " / " << b;
        checked++;
    }
    // Quotients that do not fit saturate; so does division by 0 (0 / 0 is 0).
    const VEKFIXED saturated[][3] = {{1, 0, INT_MAX},       {-1, 0, INT_MIN},         {0, 0, 0},
                                     {0x8000, 1, INT_MAX},  {-0x8001, 1, INT_MIN},    {INT_MIN, -1, INT_MAX},
                                     {0x7FFF, 1, 0x7FFF0000}, {-0x10000, 0x30000, -21845}};
    for (const auto &c : saturated) EXPECT_EQ(vekFixDiv(c[0], c[1]), c[2]) << c[0] << " / " << c[1];

    // Rounding: halves up, no wrap at the top.
    const std::pair<VEKFIXED, LONG> rounds[] = {{0x18000, 2},     {0x17FFF, 1},        {-0x18000, -1},
                                                {-0x28001, -3},   {INT_MIN, -32768},   {INT_MAX, 32768}};
    for (const auto &[x, want] : rounds) EXPECT_EQ(vekFixRound(x), want) << x;
}

TEST(FixRoots, FloorsAndNearestValues)
{
    // vekLongSqrt is the floor on both sides of every perfect square; below
    // 2 the argument comes back unchanged.
    for (LONG k = 2; k <= 46340; k++) {
        const LONG sq = k * k, belowNext = sq < INT_MAX - 2 * k ? sq + 2 * k : INT_MAX;
        ASSERT_EQ(vekLongSqrt(sq - 1), k - 1) << sq - 1;
        ASSERT_EQ(vekLongSqrt(sq), k) << sq;
        ASSERT_EQ(vekLongSqrt(belowNext), k) << belowNext;
    }
    for (LONG n : {1, 0, -7, INT_MIN}) EXPECT_EQ(vekLongSqrt(n), n);
    // vekFixSqrt is within one raw unit of the root; 0 for x <= 0.
    EXPECT_LE(worst(1, 0x10000, 1, vekFixSqrt, std::sqrt), 1.0);
    EXPECT_LE(worst(1, INT_MAX, 997, vekFixSqrt, std::sqrt), 1.0);
    EXPECT_EQ(vekFixSqrt(0x40000), 0x20000);
    EXPECT_EQ(vekFixSqrt(1), 256) << "sqrt of 1/65536 is 1/256";
    for (VEKFIXED x : {0, -5, INT_MIN}) EXPECT_EQ(vekFixSqrt(x), 0);
}

TEST(FixTrig, CloseToLibm)
{
    EXPECT_EQ(vekFixSin(0), 0);
    EXPECT_EQ(vekFixSin(102944), 0x10000) << "pi/2 is exact";
    EXPECT_EQ(vekFixCos(102944), 0);
    EXPECT_EQ(vekFixTan(-102944), INT_MIN) << "saturates where the cosine is 0";
    EXPECT_LE(worst(-raw(2 * kPi), raw(2 * kPi), 1, vekFixSin, std::sin), 10.5);
    EXPECT_LE(worst(-raw(2 * kPi), raw(2 * kPi), 1, vekFixCos, std::cos), 10.5);
    // The angle is reduced in whole turns of 411775 raw, 0.19 raw above 2
    // pi, so far from 0 the error grows with the number of turns.
    EXPECT_LE(worst(-0x7FFF0000LL, 0x7FFF0000LL, 4099, vekFixSin, std::sin), 890);
    for (int64_t a = -3 * 411775; a <= 3 * 411775; a += 7)
        ASSERT_NEAR(vekFixSin(static_cast<VEKFIXED>(a + 411775)), vekFixSin(static_cast<VEKFIXED>(a)), 7) << a;
    EXPECT_LE(worst(-raw(kPi / 4), raw(kPi / 4), 1, vekFixTan, std::tan), 17);
    EXPECT_LE(worst(-raw(1.5), raw(1.5), 1, vekFixTan, std::tan, true), 1.5e-3);
    EXPECT_LE(worst(-raw(64), raw(64), 1, vekFixATan, std::atan), 6.5);
    EXPECT_LE(worst(INT_MIN, INT_MAX, 4099, vekFixATan, std::atan), 6.5);
    EXPECT_LE(worst(-0x10000, 0x10000, 1, vekFixASin, std::asin), 6.5);
    EXPECT_LE(worst(-0x10000, 0x10000, 1, vekFixACos, std::acos), 7);
    // The angle of a point depends only on its direction: small, large and
    // extreme coordinates agree.
    for (double scale : {1.0 / 16, 4.0, 30000.0})
        for (int i = -80; i <= 80; i++)
            for (int j = -80; j <= 80; j++) {
                if (i == 0 && j == 0) continue;
                const auto y = static_cast<VEKFIXED>(raw(scale * i / 80)), x = static_cast<VEKFIXED>(raw(scale * j / 80));
                ASSERT_LE(std::fabs(toDouble(vekFixATan2(y, x)) - std::atan2(toDouble(y), toDouble(x))) * kOne, 6.5)
                    << y << ", " << x;
            }
    EXPECT_NEAR(toDouble(vekFixATan2(INT_MIN, INT_MIN)), -3 * kPi / 4, 7 / kOne);
    EXPECT_NEAR(toDouble(vekFixATan2(1, INT_MIN)), kPi, 7 / kOne);
}

TEST(FixExpLog, CloseToLibm)
{
    EXPECT_EQ(vekFixLog(0x10000), 0);
    EXPECT_EQ(vekFixExp(0), 0x10000);
    // x <= 0 has the base-2 logarithm 0x80000000, divided by log2 of the base.
    for (VEKFIXED x : {0, -5, INT_MIN}) EXPECT_EQ(vekFixLog(x), -1488529512);
    EXPECT_EQ(vekFixLog10(0), -646456635);
    EXPECT_LE(worst(1, 0x10000, 1, vekFixLog, std::log), 5.5);
    EXPECT_LE(worst(0x10000, INT_MAX, 997, vekFixLog, std::log), 5.5);
    EXPECT_LE(worst(1, INT_MAX, 997, vekFixLog10, std::log10), 3);
    // Below 1.0 the absolute error counts, above it the relative one.
    EXPECT_LE(worst(-raw(11), 0, 1, vekFixExp, std::exp), 1.6);
    EXPECT_LE(worst(0, raw(std::log(32767.0)), 1, vekFixExp, std::exp, true), 6.5e-5);
    auto exp10 = [](double x) { return std::pow(10.0, x); };
    EXPECT_LE(worst(-raw(4.8), 0, 1, vekFixExp10, exp10), 1.6);
    EXPECT_LE(worst(0, raw(std::log10(32767.0)), 1, vekFixExp10, exp10, true), 4e-5);
    // Saturation beyond the range; reciprocals of large powers are 2 raw.
    const std::pair<std::function<VEKFIXED()>, VEKFIXED> limits[] = {
        {[] { return vekFixExp(11 << 16); }, INT_MAX},           {[] { return vekFixExp(-(11 << 16)); }, 2},
        {[] { return vekFixExp10(5 << 16); }, INT_MAX},          {[] { return vekFixPow(0x20000, 15 << 16 | 0x8000); }, INT_MAX},
        {[] { return vekFixPow(0x20000, -(15 << 16)); }, 2},
        // Whole exponents multiply (negative bases too), wrapping like the multiplication.
        {[] { return vekFixPow(-0x20000, 0x30000); }, -0x80000}, {[] { return vekFixPow(0x12345, 0); }, 0x10000},
        {[] { return vekFixPow(0x20000, 15 << 16); }, INT_MIN},  {[] { return vekFixPow(0, -0x10000); }, 0},
    };
    for (const auto &[f, want] : limits) EXPECT_EQ(f(), want);
    // Bases from 0.05 to 100, exponents from -4 to 8 in eighths, where the
    // power lies between 1/65536 and 32767: the logarithm's error times the
    // exponent becomes a relative error of the power.
    double wholeRel = 0, fracRel = 0, fracAbs = 0;
    for (double b = 0.05; b <= 100; b *= 1.0137)
        for (int eighths = -32; eighths <= 64; eighths++) {
            const auto rb = static_cast<VEKFIXED>(raw(b));
            const double want = std::pow(toDouble(rb), eighths / 8.0), got = toDouble(vekFixPow(rb, eighths << 13));
            if (want < 1 / kOne || want > 32767) continue;
            const bool whole = eighths >= 0 && eighths % 8 == 0;
            if (want >= 1) (whole ? wholeRel : fracRel) = std::fmax(whole ? wholeRel : fracRel, std::fabs(got - want) / want);
            else if (!whole) fracAbs = std::fmax(fracAbs, std::fabs(got - want) * kOne);
        }
    EXPECT_LE(wholeRel, 8e-5);
    EXPECT_LE(fracRel, 4e-4);
    EXPECT_LE(fracAbs, 14);
}

TEST(FixRandom, Ranges)
{
    // Only the low 16 bits of n count, signed; every value turns up.
    std::set<LONG> seen;
    VEKFIXED largest = 0;
    for (int i = 0; i < 5000; i++) {
        const LONG v = vekIntRand(0x70006), negative = vekIntRand(0xFFFA);
        ASSERT_TRUE(v >= 0 && v < 6) << v;
        ASSERT_TRUE(negative >= -6 && negative <= 0) << negative;
        seen.insert(v);
        const VEKFIXED f = vekFixRand(0x28000);
        ASSERT_TRUE(f >= 0 && f < 0x28000) << f;
        largest = std::max(largest, f);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_GT(largest, 0x27000) << "draws reach near 2.5";
}

TEST(FixExtremes, NoTrapAndResultsInRange)
{
    constexpr VEKFIXED kPiPlus = 205887 + 8;
    for (VEKFIXED x : kEdges) {
        EXPECT_TRUE(std::abs(vekFixSin(x)) <= 0x10010 && std::abs(vekFixCos(x)) <= 0x10010) << x;
        EXPECT_TRUE(std::abs(vekFixATan(x)) <= 102952) << x;
        EXPECT_TRUE(std::abs(vekFixASin(x)) <= kPiPlus && std::abs(vekFixACos(x)) <= kPiPlus) << x;
        EXPECT_GE(vekFixSqrt(x), 0);
        EXPECT_LE(vekLongSqrt(x), 46341);
        EXPECT_TRUE(vekFixExp(x) >= 0 && vekFixExp10(x) >= 0) << x;
        vekFixTan(x);
        vekFixLog(x);
        vekFixLog10(x);
        vekIntRand(x);
        vekFixRand(x);
        for (VEKFIXED y : kEdges) {
            vekFixMul(x, y);
            vekFixDiv(x, y);
            vekFixPow(x, y);
            EXPECT_TRUE(std::abs(vekFixATan2(x, y)) <= kPiPlus) << x << ", " << y;
        }
    }
}
