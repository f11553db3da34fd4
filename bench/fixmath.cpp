// The fixed-point functions, in time per call, beside the C library's float
// and double functions on the same input values.
//
// Each benchmark cycles through 1024 inputs spread over the function's
// domain, so that neither the compiler nor the branch predictor sees one
// constant argument. The names read Fix/<function>, Float/<function> and
// Double/<function>.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr size_t kInputs = 1024;

// Evenly spread values over [lo, hi], in the three forms.
struct Inputs {
    std::vector<VEKFIXED> fixed;
    std::vector<float> f;
    std::vector<double> d;
};

Inputs spread(double lo, double hi)
{
    Inputs in;
    for (size_t i = 0; i < kInputs; i++) {
        // A stride coprime with the count scatters neighbouring inputs.
        const double x = lo + (hi - lo) * static_cast<double>(i * 389 % kInputs) / (kInputs - 1);
        const auto raw = static_cast<VEKFIXED>(std::lround(x * 65536.0));
        in.fixed.push_back(raw);
        in.f.push_back(static_cast<float>(raw / 65536.0));
        in.d.push_back(raw / 65536.0);
    }
    return in;
}

template <typename T, typename F>
void run(benchmark::State &state, const std::vector<T> &in, F f)
{
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(in[i]));
        i = (i + 1) & (kInputs - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// The second argument of two-argument functions comes from a second spread,
// read backwards.
template <typename T, typename F>
void run2(benchmark::State &state, const std::vector<T> &a, const std::vector<T> &b, F f)
{
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(a[i], b[kInputs - 1 - i]));
        i = (i + 1) & (kInputs - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// Registers the fixed-point function and its float and double counterparts.
template <typename FixF, typename FloatF, typename DoubleF>
void unary(const char *name, double lo, double hi, FixF fix, FloatF flt, DoubleF dbl)
{
    const Inputs in = spread(lo, hi);
    const std::string n = name;
    benchmark::RegisterBenchmark(("Fix/" + n).c_str(), [in, fix](benchmark::State &s) { run(s, in.fixed, fix); });
    benchmark::RegisterBenchmark(("Float/" + n).c_str(), [in, flt](benchmark::State &s) { run(s, in.f, flt); });
    benchmark::RegisterBenchmark(("Double/" + n).c_str(), [in, dbl](benchmark::State &s) { run(s, in.d, dbl); });
}

template <typename FixF, typename FloatF, typename DoubleF>
void binary(const char *name, double lo1, double hi1, double lo2, double hi2, FixF fix, FloatF flt, DoubleF dbl)
{
    const Inputs a = spread(lo1, hi1), b = spread(lo2, hi2);
    const std::string n = name;
    benchmark::RegisterBenchmark(("Fix/" + n).c_str(),
                                 [a, b, fix](benchmark::State &s) { run2(s, a.fixed, b.fixed, fix); });
    benchmark::RegisterBenchmark(("Float/" + n).c_str(), [a, b, flt](benchmark::State &s) { run2(s, a.f, b.f, flt); });
    benchmark::RegisterBenchmark(("Double/" + n).c_str(), [a, b, dbl](benchmark::State &s) { run2(s, a.d, b.d, dbl); });
}

const int registered = [] {
    binary("Mul", -100, 100, -100, 100, vekFixMul, [](float x, float y) { return x * y; },
           [](double x, double y) { return x * y; });
    binary("Div", -100, 100, 0.5, 100, vekFixDiv, [](float x, float y) { return x / y; },
           [](double x, double y) { return x / y; });
    unary("Round", -1000, 1000, vekFixRound, [](float x) { return std::lround(x); },
          [](double x) { return std::lround(x); });
    unary("Sqrt", 0, 32767, vekFixSqrt, [](float x) { return std::sqrt(x); }, [](double x) { return std::sqrt(x); });
    unary("LongSqrt", 2, 2147483647.0 / 65536, [](VEKFIXED n) { return vekLongSqrt(n); },
          [](float x) { return static_cast<long>(std::sqrt(x * 65536.0f)); },
          [](double x) { return static_cast<long>(std::sqrt(x * 65536.0)); });
    unary("Sin", -6.28, 6.28, vekFixSin, [](float x) { return std::sin(x); }, [](double x) { return std::sin(x); });
    unary("Cos", -6.28, 6.28, vekFixCos, [](float x) { return std::cos(x); }, [](double x) { return std::cos(x); });
    unary("Tan", -1.5, 1.5, vekFixTan, [](float x) { return std::tan(x); }, [](double x) { return std::tan(x); });
    binary("ATan2", -100, 100, -100, 100, vekFixATan2, [](float y, float x) { return std::atan2(y, x); },
           [](double y, double x) { return std::atan2(y, x); });
    unary("ATan", -100, 100, vekFixATan, [](float x) { return std::atan(x); }, [](double x) { return std::atan(x); });
    unary("ASin", -1, 1, vekFixASin, [](float x) { return std::asin(x); }, [](double x) { return std::asin(x); });
    unary("ACos", -1, 1, vekFixACos, [](float x) { return std::acos(x); }, [](double x) { return std::acos(x); });
    unary("Log", 0.001, 32767, vekFixLog, [](float x) { return std::log(x); }, [](double x) { return std::log(x); });
    unary("Log10", 0.001, 32767, vekFixLog10, [](float x) { return std::log10(x); },
          [](double x) { return std::log10(x); });
    unary("Exp", -10, 10, vekFixExp, [](float x) { return std::exp(x); }, [](double x) { return std::exp(x); });
    unary("Exp10", -4, 4, vekFixExp10, [](float x) { return std::pow(10.0f, x); },
          [](double x) { return std::pow(10.0, x); });
    binary("Pow", 0.05, 100, -2, 2, vekFixPow, [](float b, float e) { return std::pow(b, e); },
           [](double b, double e) { return std::pow(b, e); });
    binary("PowWhole", 0.05, 3, 0, 8, [](VEKFIXED b, VEKFIXED e) { return vekFixPow(b, e & ~0xFFFF); },
           [](float b, float e) { return std::pow(b, std::floor(e)); },
           [](double b, double e) { return std::pow(b, std::floor(e)); });
    unary("Rand", 1, 1000, vekFixRand, [](float x) { return x * static_cast<float>(std::rand()) / RAND_MAX; },
          [](double x) { return x * std::rand() / RAND_MAX; });
    return 0;
}();

}  // namespace
