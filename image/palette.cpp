// Palette helpers: the display's colour capabilities and palette animation.
#include <vekkit/image.h>

namespace {

// Colour counts beyond 24 bits per pixel: a 32-bit pixel shows 2^24 colours,
// its fourth byte carrying no colour, and 2^32 would not fit the result.
constexpr DWORD kMaxColors = DWORD{1} << 24;

}  // namespace

void VEKAPI vekGetColorInfo(HDC dc, DWORD *colors, WORD *paletteSize)
{
    if (paletteSize)
        *paletteSize = GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE ? static_cast<WORD>(GetDeviceCaps(dc, SIZEPALETTE))
                                                                  : 0;
    if (colors) {
        const WORD bits = static_cast<WORD>(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES));
        *colors = bits >= 24 ? kMaxColors : DWORD{1} << bits;
    }
}

BOOL VEKAPI vekAnimatePalette(HPALETTE palette, WORD first, WORD count, const PALETTEENTRY *entries)
{
    return AnimatePalette(palette, first, count, entries);
}
