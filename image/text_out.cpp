// Text into raw 8-bit DI records: glyphs of a raster font stamped in one
// palette colour, clipped at all four edges of the image.
//
// The record and the vertical clip are checked once per call; each glyph is
// then cut to the columns that lie inside the image and drawn strip by
// strip. A strip whose eight columns are all drawn merges each row byte into
// the image as one eight-pixel word (a table spreads the bits into byte
// masks); a strip cut by an edge has its byte masked to the wanted columns
// and its set bits written one by one. A zero byte costs one test.
#include <vekkit/image.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "image/font_file.h"
#include "record/record_view.h"

namespace {

// kSpread[b] has byte k all ones where b has bit 0x80 >> k (the pixel order
// of a strip byte in memory on a little-endian machine).
constexpr std::array<uint64_t, 256> makeSpread()
{
    std::array<uint64_t, 256> table{};
    for (unsigned b = 0; b < 256; b++)
        for (unsigned k = 0; k < 8; k++)
            if (b & (0x80u >> k)) table[b] |= uint64_t{0xFF} << (8 * k);
    return table;
}
constexpr std::array<uint64_t, 256> kSpread = makeSpread();

// Where the glyphs go: the image row of the text's first drawn glyph row
// and the rows that lie inside the image.
struct TextTarget {
    BYTE *top;         // first pixel of the topmost drawn row
    ptrdiff_t stride;  // bytes from one image row to the next one down (rows are stored bottom-up)
    LONG rows;         // glyph rows drawn, at least 1
    LONG skip;         // glyph rows above the image that are left out
    uint32_t glyphHeight;
    BYTE colour;
    uint64_t colourWord;  // the colour in all eight bytes
};

// Draws the glyph's columns first .. first + count - 1 at image column x.
void drawGlyphPart(const TextTarget &t, const vek::Glyph &g, uint32_t first, uint32_t count, LONG x)
{
    const uint32_t end = first + count;
    for (uint32_t strip = first / 8; strip * 8 < end; strip++) {
        // Bytes of this strip that are left to read inside the file; the
        // strips behind it lie further on, so a strip cut short ends the glyph.
        const uint64_t start = uint64_t{strip} * t.glyphHeight + static_cast<uint64_t>(t.skip);
        if (start >= g.available) return;
        const uint64_t left = g.available - start;
        const LONG rows = left < static_cast<uint64_t>(t.rows) ? static_cast<LONG>(left) : t.rows;

        // The strip's bit for glyph column strip * 8 + k is 0x80 >> k; keep
        // the columns first .. end - 1.
        const uint32_t lo = first > strip * 8 ? first - strip * 8 : 0;
        const uint32_t hi = end - strip * 8 < 8 ? end - strip * 8 : 8;
        const unsigned mask = (0xFFu >> lo) & (0xFF00u >> hi);
        // Image column of the strip's bit k; k >= lo keeps it at x or right of it.
        const ptrdiff_t column =
            static_cast<ptrdiff_t>(x) + static_cast<ptrdiff_t>(strip * 8) - static_cast<ptrdiff_t>(first);

        const BYTE *src = g.bits + start;
        BYTE *row = t.top;
        if (mask == 0xFF) {
            // All eight columns are drawn, so they all lie inside the image.
            for (LONG r = 0; r < rows; r++, row -= t.stride) {
                if (!src[r]) continue;
                const uint64_t ink = kSpread[src[r]];
                uint64_t pixels;
                std::memcpy(&pixels, row + column, 8);
                pixels = (pixels & ~ink) | (t.colourWord & ink);
                std::memcpy(row + column, &pixels, 8);
            }
            continue;
        }
        for (LONG r = 0; r < rows; r++, row -= t.stride) {
            unsigned bits = src[r] & mask;
            while (bits) {
                const int k = std::countl_zero(static_cast<uint8_t>(bits));
                row[column + k] = t.colour;
                bits &= ~(0x80u >> k);
            }
        }
    }
}

}  // namespace

LONG VEKAPI gfxTextOutToDIB(HSPRITEDATA dest, HGLOBAL font, DWORD colour, DWORD, LONG x, LONG y, LPCSTR text,
                            LONG length)
{
    if (!dest || !font || !text) return 0;
    // Only raw 8-bit DI records are drawn into; DD and composite records
    // are refused before their short blocks are read as DI headers.
    const vek::RecordView image = vek::viewRecord(dest);
    if (!image.isRaw8()) return 0;
    const LONG width = image.width;
    const LONG height = image.height;
    if (y >= height || x >= width) return 0;
    const LONG n = vek::textLength(text, length);
    if (n <= 0) return 0;
    const vek::LockedFont f(font);
    if (!f) return 0;

    // Vertical clip: rows of the glyphs above the image are skipped.
    const LONG glyphHeight = static_cast<LONG>(f.pixelHeight());
    LONG rows = glyphHeight;
    LONG skip = 0;
    if (y < 0) {
        if (static_cast<int64_t>(glyphHeight) + y < 1) return 0;
        rows = glyphHeight + y;
        skip = -y;
        y = 0;
    }
    if (rows < 1) return 0;
    if (rows > height - y) rows = height - y;

    const TextTarget target{image.pixels + static_cast<size_t>(height - 1 - y) * image.stride(),
                            static_cast<ptrdiff_t>(image.stride()), rows, skip, f.pixelHeight(),
                            static_cast<BYTE>(colour), (colour & 0xFF) * 0x0101010101010101u};
    const auto *s = reinterpret_cast<const BYTE *>(text);
    const BYTE *const end = s + n;

    // Glyphs left of the image move x on; the one that crosses the left
    // edge has its right-hand columns drawn from column 0 (cut at the right
    // edge too, should it span the whole image).
    while (x < 0 && s < end) {
        const vek::Glyph g = f.glyph(*s++);
        if (!g.width) continue;
        x += static_cast<LONG>(g.width);
        if (x > 0) {
            const uint32_t shown = static_cast<uint32_t>(x < width ? x : width);
            drawGlyphPart(target, g, g.width - static_cast<uint32_t>(x), shown, 0);
        }
    }
    // The rest go left to right until the right edge, which cuts the last.
    while (s < end && x < width) {
        const vek::Glyph g = f.glyph(*s++);
        if (!g.width) continue;
        const LONG at = x;
        x += static_cast<LONG>(g.width);
        const uint32_t shown = x > width ? static_cast<uint32_t>(width - at) : g.width;
        drawGlyphPart(target, g, 0, shown, at);
    }
    return x > 0 ? 1 : 0;
}
