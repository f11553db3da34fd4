// Measuring fixed-point functions against the C library's double functions.
#pragma once

#include <vekkit.h>

#include <cmath>
#include <cstdint>

namespace fixtest {

constexpr double kOne = 65536.0;

inline double toDouble(VEKFIXED v)
{
    return v / kOne;
}

// The largest error seen and the input where it was seen.
struct Worst {
    double error = 0;
    double input = 0;
};

// Largest absolute error, in raw units, of f against ref over the raw inputs
// from lo to hi inclusive in steps of step.
template <typename F, typename R>
Worst worstAbsolute(int64_t lo, int64_t hi, int64_t step, F f, R ref)
{
    Worst w;
    for (int64_t raw = lo; raw <= hi; raw += step) {
        const double x = raw / kOne;
        const double e = std::fabs(toDouble(f(static_cast<VEKFIXED>(raw))) - ref(x)) * kOne;
        if (e > w.error) w = {e, x};
    }
    return w;
}

// Largest relative error of f against ref over the same inputs, among those
// where the reference is at least 1.0 in size (below, the absolute error is
// the measure that counts).
template <typename F, typename R>
Worst worstRelative(int64_t lo, int64_t hi, int64_t step, F f, R ref)
{
    Worst w;
    for (int64_t raw = lo; raw <= hi; raw += step) {
        const double x = raw / kOne;
        const double want = ref(x);
        if (std::fabs(want) < 1.0) continue;
        const double e = std::fabs(toDouble(f(static_cast<VEKFIXED>(raw))) - want) / std::fabs(want);
        if (e > w.error) w = {e, x};
    }
    return w;
}

// Raw value of a double, rounded to nearest.
inline int64_t raw(double x)
{
    return std::llround(x * kOne);
}

}  // namespace fixtest
