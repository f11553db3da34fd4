// The axis clipper of the hosted GDI's copies against a plain reference that
// samples every destination pixel of the bitmap one by one in 64 bits, with
// positions and extents from small ones up to the ends of the int range.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "gdi/stretch.h"

using vek::gdi::Axis;
using vek::gdi::Span;

namespace {

struct Sample {
    int64_t at, source;
};

// Destination pixels inside [0, dstLimit) of span d, each with the source
// pixel under its centre, kept where that lies inside [0, srcLimit).
std::vector<Sample> reference(const Span &d, const Span &s, bool flip, int dstLimit, int srcLimit)
{
    std::vector<Sample> out;
    for (int64_t x = std::max<int64_t>(0, d.start); x < std::min<int64_t>(dstLimit, d.start + d.extent); x++) {
        const int64_t i = x - d.start;
        int64_t k = (2 * i + 1) * s.extent / (2 * d.extent);
        if (flip) k = s.extent - 1 - k;
        const int64_t source = s.start + k;
        if (source >= 0 && source < srcLimit) out.push_back(Sample{x, source});
    }
    return out;
}

int pick(std::mt19937 &rng, bool extent)
{
    static const int extremes[] = {INT_MAX, INT_MIN + 1, INT_MAX - 7, -INT_MAX + 9, 32768, -32768, 1 << 30};
    const unsigned r = rng() % 8;
    if (r == 0) return extremes[rng() % std::size(extremes)];
    if (r == 1 && !extent) return INT_MIN;
    int v = static_cast<int>(rng() % 81) - 40;
    if (extent && v == 0) v = 1;
    return v;
}

}  // namespace

TEST(StretchAxis, ClipsAsThePixelByPixelReference)
{
    std::mt19937 rng(20240);
    for (int n = 0; n < 200000; n++) {
        const Span d = vek::gdi::spanOf(pick(rng, false), pick(rng, true));
        const Span s = vek::gdi::spanOf(pick(rng, false), rng() % 4 ? static_cast<int>(d.extent) : pick(rng, true));
        const bool flip = rng() % 4 == 0;
        const int dstLimit = static_cast<int>(rng() % 40), srcLimit = 1 + static_cast<int>(rng() % 40);
        const std::vector<Sample> want = reference(d, s, flip, dstLimit, srcLimit);
        Axis a;
        const bool clipped = vek::gdi::clipAxis(d, s, flip, dstLimit, srcLimit, a);
        ASSERT_EQ(clipped, !want.empty()) << "span " << d.start << " + " << d.extent << " from " << s.start << " + "
                                         << s.extent << (flip ? " mirrored" : "");
        if (!clipped) continue;
        ASSERT_EQ(a.first, want.front().at);
        ASSERT_EQ(a.count, static_cast<int>(want.size())) << "the samples inside form one run";
        std::vector<int> sources(want.size());
        a.sources(0, a.count, sources.data());
        for (int j = 0; j < a.count; j++) {
            ASSERT_EQ(want[j].at, a.first + j) << "the samples inside form one run";
            ASSERT_EQ(a.at(j), want[j].source) << j;
            ASSERT_EQ(sources[j], want[j].source) << j;
        }
        if (a.unit()) {
            ASSERT_EQ(a.start(), want.front().source);
        }
    }
}
