// Nearest palette colour: vekGetNearestColor and the search it shares with
// the fix-ups, dithering and the cel makers.
//
// The distance of entry i from the query is dr*dr + dg*dg + db*db over the
// absolute channel differences. The answer is the lowest index at the
// smallest distance, which is also what a scan that stops at the first exact
// match returns. On SSE2 hosts four entries are measured at once; the
// running minimum is kept per lane with a strict comparison, so each lane
// holds its lowest index at its smallest distance, and the lanes are merged
// under the same rule.
#include "image/nearest_color.h"

#include <vekkit/image.h>

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vek {

constexpr int kPaletteSize = 256;

#if defined(__SSE2__)

BYTE nearestColor(const PALETTEENTRY *palette, BYTE red, BYTE green, BYTE blue, Transparent transparent)
{
    // Entries and query as r | g << 8 | b << 16 per 32-bit lane, flags cleared.
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    const __m128i query = _mm_set1_epi32(red | green << 8 | blue << 16);
    const __m128i zero = _mm_setzero_si128();
    const __m128i four = _mm_set1_epi32(4);
    // Added to the distance of index 8 (lane 0 of the third group) when it
    // is excluded: larger than any real distance (at most 3 * 255 * 255).
    const __m128i excluded =
        transparent == Transparent::Excluded ? _mm_setr_epi32(0x40000000, 0, 0, 0) : zero;
    const auto *entries = reinterpret_cast<const __m128i *>(palette);

    __m128i bestDistance = _mm_set1_epi32(INT32_MAX);
    __m128i bestIndex = zero;
    __m128i index = _mm_setr_epi32(0, 1, 2, 3);
    for (int group = 0; group < kPaletteSize / 4; group++) {
        const __m128i e = _mm_and_si128(_mm_loadu_si128(entries + group), colourBytes);
        const __m128i diff = _mm_or_si128(_mm_subs_epu8(e, query), _mm_subs_epu8(query, e));
        // Squares summed in pairs: [r0²+g0², b0², r1²+g1², b1²] and the same
        // for entries 2 and 3; then the halves of each entry added.
        const __m128i lo = _mm_unpacklo_epi8(diff, zero);
        const __m128i hi = _mm_unpackhi_epi8(diff, zero);
        const __m128 pairsLo = _mm_castsi128_ps(_mm_madd_epi16(lo, lo));
        const __m128 pairsHi = _mm_castsi128_ps(_mm_madd_epi16(hi, hi));
        const __m128i rg = _mm_castps_si128(_mm_shuffle_ps(pairsLo, pairsHi, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m128i b = _mm_castps_si128(_mm_shuffle_ps(pairsLo, pairsHi, _MM_SHUFFLE(3, 1, 3, 1)));
        __m128i distance = _mm_add_epi32(rg, b);
        if (group == kTransparentIndex / 4) distance = _mm_add_epi32(distance, excluded);

        const __m128i better = _mm_cmplt_epi32(distance, bestDistance);
        bestDistance = _mm_or_si128(_mm_and_si128(better, distance), _mm_andnot_si128(better, bestDistance));
        bestIndex = _mm_or_si128(_mm_and_si128(better, index), _mm_andnot_si128(better, bestIndex));
        index = _mm_add_epi32(index, four);
    }

    alignas(16) int32_t distances[4], indices[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(distances), bestDistance);
    _mm_store_si128(reinterpret_cast<__m128i *>(indices), bestIndex);
    int best = 0;
    for (int lane = 1; lane < 4; lane++) {
        if (distances[lane] < distances[best] ||
            (distances[lane] == distances[best] && indices[lane] < indices[best]))
            best = lane;
    }
    return static_cast<BYTE>(indices[best]);
}

#else

BYTE nearestColor(const PALETTEENTRY *palette, BYTE red, BYTE green, BYTE blue, Transparent transparent)
{
    uint32_t bestDistance = UINT32_MAX;
    int best = 0;
    for (int i = 0; i < kPaletteSize; i++) {
        if (i == kTransparentIndex && transparent == Transparent::Excluded) continue;
        const int dr = palette[i].peRed - red;
        const int dg = palette[i].peGreen - green;
        const int db = palette[i].peBlue - blue;
        const auto distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance == 0) return static_cast<BYTE>(i);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

#endif

}  // namespace vek

DWORD VEKAPI vekGetNearestColor(LPVEKCONTEXT context, const RGBQUAD *color)
{
    if (!context || !context->paletteEntries || !color) return 0;
    return vek::nearestColor(context->paletteEntries, color->rgbRed, color->rgbGreen, color->rgbBlue,
                             vek::Transparent::Excluded);
}
