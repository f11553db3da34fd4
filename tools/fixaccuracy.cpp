// fixaccuracy: measures the fixed-point functions against the C library.
//
// For every function and input domain it evaluates the fixed-point function
// on evenly spaced raw inputs (every input where the domain is small), and
// compares each result with the double-precision function of the same input
// value. Errors are printed in raw units (1/65536); the last column is the
// largest relative error among results whose reference is at least 1.0 in
// size, which is the meaningful measure for exponentials and powers.
//
//   fixaccuracy            the table
#include <vekkit.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr double kOne = 65536.0;

double toDouble(VEKFIXED v)
{
    return v / kOne;
}

struct Stats {
    int64_t samples = 0;
    double maxError = 0;     // raw units
    double sumError = 0;     // raw units
    double maxRelative = -1;  // among |reference| >= 1.0; -1 while there is none
    double worstInput = 0;
};

void add(Stats &s, double input, double got, double want)
{
    const double e = std::fabs(got - want) * kOne;
    s.samples++;
    s.sumError += e;
    if (e > s.maxError) {
        s.maxError = e;
        s.worstInput = input;
    }
    if (std::fabs(want) >= 1.0) s.maxRelative = std::fmax(s.maxRelative, std::fabs(got - want) / std::fabs(want));
}

void print(const char *name, const std::string &domain, const Stats &s)
{
    char relative[16] = "-";
    if (s.maxRelative >= 0) std::snprintf(relative, sizeof relative, "%.2e", s.maxRelative);
    std::printf("%-12s %-30s %10lld %12.2f %10.3f %10s   %.6f\n", name, domain.c_str(),
                static_cast<long long>(s.samples), s.maxError, s.sumError / s.samples, relative, s.worstInput);
}

// Raw inputs from lo to hi inclusive in steps of step.
void unary(const char *name, double lo, double hi, int64_t step, const std::function<VEKFIXED(VEKFIXED)> &f,
           double (*reference)(double))
{
    Stats s;
    const int64_t first = static_cast<int64_t>(std::ceil(lo * kOne));
    const int64_t last = static_cast<int64_t>(std::floor(hi * kOne));
    for (int64_t raw = first; raw <= last; raw += step) {
        const double x = raw / kOne;
        add(s, x, toDouble(f(static_cast<VEKFIXED>(raw))), reference(x));
    }
    char domain[64];
    std::snprintf(domain, sizeof domain, "[%.6g, %.6g]", lo, hi);
    print(name, domain, s);
}

// Points (x, y) on a grid over [-range, range]^2 without the origin.
void atan2Grid(double range, int steps)
{
    Stats s;
    for (int i = -steps; i <= steps; i++) {
        for (int j = -steps; j <= steps; j++) {
            if (i == 0 && j == 0) continue;
            const auto y = static_cast<VEKFIXED>(std::lround(range * i / steps * kOne));
            const auto x = static_cast<VEKFIXED>(std::lround(range * j / steps * kOne));
            add(s, std::atan2(toDouble(y), toDouble(x)), toDouble(vekFixATan2(y, x)),
                std::atan2(toDouble(y), toDouble(x)));
        }
    }
    char domain[64];
    std::snprintf(domain, sizeof domain, "(x,y) in [-%g, %g]^2", range, range);
    print("vekFixATan2", domain, s);
}

// Bases on a geometric grid over [lo, hi], exponents with the given step over
// [elo, ehi], where the true power lies in [1/65536, 32767].
void powGrid(const char *label, double lo, double hi, double elo, double ehi, double estep)
{
    Stats s;
    for (double b = lo; b <= hi; b *= 1.0137) {
        const auto rb = static_cast<VEKFIXED>(std::lround(b * kOne));
        for (double e = elo; e <= ehi + 1e-9; e += estep) {
            const auto re = static_cast<VEKFIXED>(std::lround(e * kOne));
            const double want = std::pow(toDouble(rb), toDouble(re));
            if (want < 1 / kOne || want > 32767) continue;
            add(s, toDouble(rb), toDouble(vekFixPow(rb, re)), want);
        }
    }
    char domain[64];
    std::snprintf(domain, sizeof domain, "b %g..%g, e %s", lo, hi, label);
    print("vekFixPow", domain, s);
}

}  // namespace

int main()
{
    const double pi = 3.14159265358979323846;
    std::printf("Errors in units of 1/65536 against the C library's double functions.\n\n");
    std::printf("%-12s %-30s %10s %12s %10s %10s   %s\n", "function", "domain", "samples", "max error", "mean",
                "max rel", "worst input");

    unary("vekFixMul", -181, 181, 97, [](VEKFIXED x) { return vekFixMul(x, x); }, [](double x) { return x * x; });
    unary("vekFixDiv", 1, 32767, 97, [](VEKFIXED x) { return vekFixDiv(0x10000, x); },
          [](double x) { return 1 / x; });
    unary("vekFixSqrt", 0, 32767.99, 61, vekFixSqrt, std::sqrt);
    unary("vekFixSqrt", 0, 1, 1, vekFixSqrt, std::sqrt);
    unary("vekFixSin", -2 * pi, 2 * pi, 1, vekFixSin, std::sin);
    unary("vekFixSin", -32768, 32767, 4099, vekFixSin, std::sin);
    unary("vekFixCos", -2 * pi, 2 * pi, 1, vekFixCos, std::cos);
    unary("vekFixTan", -pi / 4, pi / 4, 1, vekFixTan, std::tan);
    unary("vekFixTan", -1.5, 1.5, 1, vekFixTan, std::tan);
    unary("vekFixATan", -64, 64, 1, vekFixATan, std::atan);
    unary("vekFixATan", -32768, 32767, 4099, vekFixATan, std::atan);
    atan2Grid(4, 400);
    atan2Grid(30000, 400);
    unary("vekFixASin", -1, 1, 1, vekFixASin, std::asin);
    unary("vekFixACos", -1, 1, 1, vekFixACos, std::acos);
    unary("vekFixLog", 1.0 / 65536, 1, 1, vekFixLog, std::log);
    unary("vekFixLog", 1, 32767.99, 61, vekFixLog, std::log);
    unary("vekFixLog10", 1.0 / 65536, 32767.99, 61, vekFixLog10, std::log10);
    unary("vekFixExp", -11, 0, 1, vekFixExp, std::exp);
    unary("vekFixExp", 0, 5, 1, vekFixExp, std::exp);
    unary("vekFixExp", 5, std::log(32767.0), 1, vekFixExp, std::exp);
    unary("vekFixExp10", -4.8, 0, 1, vekFixExp10, [](double x) { return std::pow(10.0, x); });
    unary("vekFixExp10", 0, std::log10(32767.0), 1, vekFixExp10, [](double x) { return std::pow(10.0, x); });
    powGrid("0..8 whole", 0.05, 100, 0, 8, 1);
    powGrid("-4..8 by 1/8", 0.05, 100, -4, 8, 0.125);

    // The integer square root is exact or it is wrong: count the misses.
    int64_t misses = 0, samples = 0;
    for (int64_t n = 2; n <= 0x7FFFFFFF; n += 7, samples++) {
        const auto want = static_cast<LONG>(std::sqrt(static_cast<double>(n)));
        if (vekLongSqrt(static_cast<LONG>(n)) != want) misses++;
    }
    std::printf("\nvekLongSqrt: %lld of %lld inputs in [2, 2^31) differ from floor(sqrt(n))\n",
                static_cast<long long>(misses), static_cast<long long>(samples));
    return 0;
}
