// Nearest palette colour: vekGetNearestColor and the search it shares with
// the fix-ups, dithering and the cel makers.
//
// The distance of entry i from the query is dr*dr + dg*dg + db*db over the
// absolute channel differences. The answer is the lowest index at the
// smallest distance, which is also what a scan that stops at the first exact
// match returns.
//
// The full search measures all 256 entries; on SSE2 hosts four at once. The
// running minimum is kept per lane with a strict comparison, so each lane
// holds its lowest index at its smallest distance, and the lanes are merged
// under the same rule.
//
// Queries go through a cache of the last palette searched, which measures a
// few entries instead of all 256. RGB space is cut into cells, 8 x 8 x 8
// coarse ones and 16 x 16 x 16 fine ones. A colour c of a cell C is nearest
// to entry e only if the smallest distance from e to C is at most the
// largest distance from C to any entry f other than 8 (then |c - e| <=
// |c - f| <= that largest distance), so a cell's candidates are the entries
// whose smallest distance is at most the least of those largest distances:
// they include every entry that is nearest to some colour of the cell,
// index 8 admitted or not, with its ties. A coarse cell's candidates (about
// sixteen for a random palette) are chosen among all entries the second time
// a query falls into it (the first time it is searched in full, so that a
// palette used for a handful of queries costs no more than before); a fine
// cell's (about five) among those of its coarse cell. Scanning candidates in
// index order under the full search's rules gives the full search's answer.
// The cache keeps a copy of the palette and starts afresh whenever the
// palette differs from it, so that palettes changed in place are seen. Each
// thread has a cache of its own.
#include "image/nearest_color.h"

#include <vekkit/image.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vek {

namespace {

constexpr int kPaletteSize = 256;

#if defined(__SSE2__)

BYTE searchAll(const PALETTEENTRY *palette, BYTE red, BYTE green, BYTE blue, Transparent transparent)
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

BYTE searchAll(const PALETTEENTRY *palette, BYTE red, BYTE green, BYTE blue, Transparent transparent)
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

// Cells: channel values from a cell's low corner to its low corner + span.
constexpr int kCoarseShift = 5, kFineShift = 4;
constexpr int kCoarseCells = 1 << 3 * (8 - kCoarseShift);
constexpr int kFineCells = 1 << 3 * (8 - kFineShift);

template <int Shift>
constexpr unsigned cellOf(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<unsigned>((red >> Shift) << 2 * (8 - Shift) | (green >> Shift) << (8 - Shift) | blue >> Shift);
}

// A cell's low corner per channel and its span (its size less one).
struct Cell {
    int red, green, blue, span;
};

template <int Shift>
constexpr Cell cellCorner(unsigned cell)
{
    constexpr unsigned mask = (1u << (8 - Shift)) - 1;
    return Cell{static_cast<int>(cell >> 2 * (8 - Shift)) << Shift,
                static_cast<int>(cell >> (8 - Shift) & mask) << Shift, static_cast<int>(cell & mask) << Shift,
                (1 << Shift) - 1};
}

// Distances along one channel from v to the nearest and the farthest value
// of [low, low + span].
inline int nearGap(int v, int low, int span) { return std::max(std::max(low - v, v - low - span), 0); }
inline int farGap(int v, int low, int span) { return std::max(v - low, low + span - v); }

// Coarse cell states besides a list.
enum class Coarse : uint8_t {
    SeenOnce,  // one query was searched in full
    Listed,    // its candidates are listed
    TooMany,   // more candidates than a fine cell can name: searched in full
};

// The most candidates a coarse cell lists: a fine cell names its own among
// them by the bits of a 64-bit mask.
constexpr int kMaxCandidates = 64;

}  // namespace

struct NearestColors::Cache {
    // The palette searched last, and its channels apart for the cell tests.
    PALETTEENTRY colours[kPaletteSize];
    BYTE red[kPaletteSize], green[kPaletteSize], blue[kPaletteSize];
    // Tags cells of the palette held now; 0 before the first palette.
    uint16_t generation;

    struct CoarseCell {
        uint16_t generation;
        Coarse state;
        uint8_t count;
        BYTE candidates[kMaxCandidates];  // palette indices, ascending
    };
    CoarseCell coarse[kCoarseCells];
    uint16_t fineGeneration[kFineCells];
    uint64_t fineCandidates[kFineCells];  // bits of the coarse cell's list

    void use(const PALETTEENTRY *palette)
    {
        if (generation && std::memcmp(colours, palette, sizeof colours) == 0) return;
        std::memcpy(colours, palette, sizeof colours);
        for (int i = 0; i < kPaletteSize; i++) {
            red[i] = palette[i].peRed;
            green[i] = palette[i].peGreen;
            blue[i] = palette[i].peBlue;
        }
        if (++generation == 0) {
            for (CoarseCell &c : coarse) c.generation = 0;
            std::fill(std::begin(fineGeneration), std::end(fineGeneration), uint16_t{0});
            generation = 1;
        }
    }

    // Lists the candidates of a coarse cell among all entries.
    void listCoarse(CoarseCell &c, unsigned cell)
    {
        const Cell box = cellCorner<kCoarseShift>(cell);
        uint32_t nearest[kPaletteSize], farthest[kPaletteSize];
        for (int i = 0; i < kPaletteSize; i++) {
            const int nr = nearGap(red[i], box.red, box.span), ng = nearGap(green[i], box.green, box.span),
                      nb = nearGap(blue[i], box.blue, box.span);
            const int fr = farGap(red[i], box.red, box.span), fg = farGap(green[i], box.green, box.span),
                      fb = farGap(blue[i], box.blue, box.span);
            nearest[i] = static_cast<uint32_t>(nr * nr + ng * ng + nb * nb);
            farthest[i] = static_cast<uint32_t>(fr * fr + fg * fg + fb * fb);
        }
        farthest[kTransparentIndex] = UINT32_MAX;
        const uint32_t bound = *std::min_element(std::begin(farthest), std::end(farthest));
        int count = 0;
        for (int i = 0; i < kPaletteSize; i++) {
            if (nearest[i] > bound) continue;
            if (count == kMaxCandidates) {
                c.state = Coarse::TooMany;
                return;
            }
            c.candidates[count++] = static_cast<BYTE>(i);
        }
        c.count = static_cast<uint8_t>(count);
        c.state = Coarse::Listed;
    }

    // The candidates of a fine cell among those of its coarse cell, as bits
    // of the coarse cell's list.
    uint64_t listFine(const CoarseCell &c, unsigned cell) const
    {
        const Cell box = cellCorner<kFineShift>(cell);
        uint32_t nearest[kMaxCandidates];
        uint32_t bound = UINT32_MAX;
        for (int k = 0; k < c.count; k++) {
            const int i = c.candidates[k];
            const int nr = nearGap(red[i], box.red, box.span), ng = nearGap(green[i], box.green, box.span),
                      nb = nearGap(blue[i], box.blue, box.span);
            const int fr = farGap(red[i], box.red, box.span), fg = farGap(green[i], box.green, box.span),
                      fb = farGap(blue[i], box.blue, box.span);
            nearest[k] = static_cast<uint32_t>(nr * nr + ng * ng + nb * nb);
            if (i != kTransparentIndex) bound = std::min(bound, static_cast<uint32_t>(fr * fr + fg * fg + fb * fb));
        }
        uint64_t bits = 0;
        for (int k = 0; k < c.count; k++)
            if (nearest[k] <= bound) bits |= uint64_t{1} << k;
        return bits;
    }
};

NearestColors::NearestColors(const PALETTEENTRY *palette) : cache_([]() -> Cache & {
    thread_local Cache cache;  // zero-filled: no palette yet
    return cache;
}())
{
    cache_.use(palette);
}

BYTE NearestColors::find(BYTE red, BYTE green, BYTE blue, Transparent transparent)
{
    Cache &c = cache_;
    const unsigned coarseCell = cellOf<kCoarseShift>(red, green, blue);
    Cache::CoarseCell &coarse = c.coarse[coarseCell];
    if (coarse.generation != c.generation) {
        coarse.generation = c.generation;
        coarse.state = Coarse::SeenOnce;
        return searchAll(c.colours, red, green, blue, transparent);
    }
    if (coarse.state == Coarse::SeenOnce) c.listCoarse(coarse, coarseCell);
    if (coarse.state == Coarse::TooMany) return searchAll(c.colours, red, green, blue, transparent);

    const unsigned fineCell = cellOf<kFineShift>(red, green, blue);
    if (c.fineGeneration[fineCell] != c.generation) {
        c.fineCandidates[fineCell] = c.listFine(coarse, fineCell);
        c.fineGeneration[fineCell] = c.generation;
    }
    uint32_t bestDistance = UINT32_MAX;
    BYTE best = 0;
    for (uint64_t bits = c.fineCandidates[fineCell]; bits; bits &= bits - 1) {
        const BYTE i = coarse.candidates[__builtin_ctzll(bits)];
        if (i == kTransparentIndex && transparent == Transparent::Excluded) continue;
        const int dr = c.red[i] - red, dg = c.green[i] - green, db = c.blue[i] - blue;
        const auto distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace vek

DWORD VEKAPI vekGetNearestColor(LPVEKCONTEXT context, const RGBQUAD *color)
{
    if (!context || !context->paletteEntries || !color) return 0;
    return vek::NearestColors(context->paletteEntries)
        .find(color->rgbRed, color->rgbGreen, color->rgbBlue, vek::Transparent::Excluded);
}
