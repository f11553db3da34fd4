// Logical palettes and their realisation into the system palette.
//
// Realising a palette gives each of its entries a system palette entry
// (its mapping), in entry order:
//   PC_EXPLICIT    the entry names a system palette index itself (low word)
//   PC_RESERVED    takes a free system entry of its own, which no other
//                  entry will share (it is meant for animation)
//   PC_NOCOLLAPSE  takes a free system entry even if its colour is there
//   no flags       takes an entry that holds exactly its colour, else a
//                  free one
// When no free entry is left, an entry maps to the nearest colour in use.
// A palette selected for the foreground first frees every entry but the 20
// static colours; one selected into the background takes what is left.
// Realising the palette whose realisation is current again maps nothing
// (unless it was realised in the background and is now the foreground one).
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "gdi/color.h"
#include "gdi/display.h"
#include "gdi/objects.h"
#include "present/presentation.h"

namespace vek::gdi {
namespace {

int findExact(const Display &d, const PALETTEENTRY &e)
{
    for (int k = 0; k < 256; k++) {
        const PALETTEENTRY &s = d.system[k];
        if ((s.peFlags & (kSysUsed | kSysReserved)) == kSysUsed && s.peRed == e.peRed && s.peGreen == e.peGreen &&
            s.peBlue == e.peBlue)
            return k;
    }
    return -1;
}

int takeFree(Display &d, const PALETTEENTRY &e, BYTE flags)
{
    for (int k = 10; k < 246; k++) {
        if (d.system[k].peFlags & kSysUsed) continue;
        d.system[k] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, static_cast<BYTE>(kSysUsed | flags)};
        return k;
    }
    return -1;
}

// Maps every entry of p; returns how many entries got a different mapping.
UINT realize(Display &d, Palette &p, bool foreground)
{
    if (foreground)
        for (int k = 10; k < 246; k++) d.system[k].peFlags = 0;
    const size_t n = p.entries.size();
    std::vector<BYTE> mapping(n);
    UINT changed = 0;
    for (size_t i = 0; i < n; i++) {
        const PALETTEENTRY &e = p.entries[i];
        int k = -1;
        if (e.peFlags & PC_EXPLICIT) {
            k = e.peRed | (e.peGreen << 8);
            if (k > 255) k = 0;
        } else {
            if (!(e.peFlags & (PC_NOCOLLAPSE | PC_RESERVED))) k = findExact(d, e);
            if (k < 0) k = takeFree(d, e, (e.peFlags & PC_RESERVED) ? kSysReserved : 0);
            if (k < 0) k = nearestSystemEntry(d, e);
        }
        mapping[i] = static_cast<BYTE>(k);
        if (!p.realized || p.mapping.size() != n || p.mapping[i] != k) changed++;
    }
    p.mapping.swap(mapping);
    p.realized = true;
    p.mappingStamp = ++state().lastMappingStamp;
    return changed;
}

}  // namespace
}  // namespace vek::gdi

using namespace vek::gdi;

HPALETTE WINAPI CreatePalette(const LOGPALETTE *logPalette)
{
    VEKHOST_CALL(Channel::gdi, logPalette);
    Lock lock;
    if (!logPalette) return fail(ERROR_INVALID_PARAMETER, HPALETTE{});
    // Read by offsets: the caller's LOGPALETTE need not be aligned.
    const auto *bytes = reinterpret_cast<const BYTE *>(logPalette);
    WORD count;
    std::memcpy(&count, bytes + offsetof(LOGPALETTE, palNumEntries), sizeof count);
    if (!count) return fail(ERROR_INVALID_PARAMETER, HPALETTE{});
    auto p = std::make_unique<Palette>();
    p->entries.resize(count);
    std::memcpy(p->entries.data(), bytes + offsetof(LOGPALETTE, palPalEntry), count * sizeof(PALETTEENTRY));
    return toHandle<HPALETTE>(addObject(std::move(p)));
}

UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries)
{
    VEKHOST_CALL(Channel::gdi, palette, start, count, entries);
    Lock lock;
    Palette *p = find<Palette>(palette);
    if (!p) return fail(ERROR_INVALID_HANDLE, 0u);
    const UINT size = static_cast<UINT>(p->entries.size());
    if (!entries) return size;
    if (start >= size) return 0;
    count = std::min(count, size - start);
    std::memcpy(entries, p->entries.data() + start, count * sizeof(PALETTEENTRY));
    return count;
}

UINT WINAPI SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY *entries)
{
    VEKHOST_CALL(Channel::gdi, palette, start, count, entries);
    Lock lock;
    Palette *p = find<Palette>(palette);
    if (!p || p->stock) return fail(ERROR_INVALID_HANDLE, 0u);
    if (!entries) return fail(ERROR_INVALID_PARAMETER, 0u);
    const UINT size = static_cast<UINT>(p->entries.size());
    if (start >= size) return 0;
    count = std::min(count, size - start);
    std::memcpy(p->entries.data() + start, entries, count * sizeof(PALETTEENTRY));
    // The mapping stays until the palette is realised again, which now maps anew.
    if (state().display.lastRealized == handleValue(palette)) state().display.lastRealized = 0;
    return count;
}

BOOL WINAPI AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY *entries)
{
    VEKHOST_CALL(Channel::gdi, palette, start, count, entries);
    Lock lock;
    Palette *p = find<Palette>(palette);
    if (!p || p->stock) return fail(ERROR_INVALID_HANDLE, FALSE);
    if (!entries) return fail(ERROR_INVALID_PARAMETER, FALSE);
    const UINT size = static_cast<UINT>(p->entries.size());
    if (start >= size) return FALSE;
    count = std::min(count, size - start);
    // Only entries made for animation change, and with them the system
    // entries they own while their realisation is current: the pixels that
    // show those system entries change colour without being drawn again.
    Display &d = state().display;
    const bool current = paletteDisplay(d) && p->realized && d.lastRealized == handleValue(palette);
    for (UINT i = 0; i < count; i++) {
        PALETTEENTRY &e = p->entries[start + i];
        if (!(e.peFlags & PC_RESERVED)) continue;
        e.peRed = entries[i].peRed;
        e.peGreen = entries[i].peGreen;
        e.peBlue = entries[i].peBlue;
        if (!current || start + i >= p->mapping.size()) continue;
        PALETTEENTRY &sys = d.system[p->mapping[start + i]];
        if (sys.peFlags & kSysReserved) {
            sys.peRed = e.peRed;
            sys.peGreen = e.peGreen;
            sys.peBlue = e.peBlue;
        }
    }
    if (current) vek::present::paletteChanged();
    return TRUE;
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color)
{
    Lock lock;
    Palette *p = find<Palette>(palette);
    if (!p) return fail(ERROR_INVALID_HANDLE, UINT{CLR_INVALID});
    return static_cast<UINT>(nearestColor(colorsOf(*p), color & 0x00FFFFFF));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground)
{
    VEKHOST_CALL(Channel::gdi, hdc, palette, forceBackground);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc || !find<Palette>(palette))
        return fail(ERROR_INVALID_HANDLE, HPALETTE{}, dc ? "no such palette" : "no such DC");
    const uint32_t h = handleValue(palette);
    // Only a window's DC brings a palette to the foreground (the hosted
    // platform treats every window as the foreground one); memory and
    // screen DCs realise in the background, as on Windows.
    if (!forceBackground && dc->kind == DCKind::Window) state().display.foreground = h;
    const uint32_t old = dc->palette;
    retain(h);
    dc->palette = h;
    dc->selectedPalette = find<Palette>(palette);
    release(old);
    return toHandle<HPALETTE>(old);
}

UINT WINAPI RealizePalette(HDC hdc)
{
    VEKHOST_CALL(Channel::gdi, hdc);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, UINT{GDI_ERROR}, "no such DC");
    Display &d = state().display;
    Palette *p = findValue<Palette>(dc->palette);
    if (!paletteDisplay(d) || !p || p->stock) return 0;
    // A realisation that is current stays so, unless a palette realised in
    // the background now comes to the foreground.
    const bool foreground = d.foreground == dc->palette;
    if (d.lastRealized == dc->palette && (d.lastForeground || !foreground)) return 0;
    d.lastRealized = dc->palette;
    d.lastForeground = foreground;
    const UINT changed = realize(d, *p, foreground);
    vek::present::paletteChanged();
    return changed;
}

UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries)
{
    VEKHOST_CALL(Channel::gdi, hdc, start, count, entries);
    Lock lock;
    if (!find<DC>(hdc)) return fail(ERROR_INVALID_HANDLE, 0u);
    const Display &d = state().display;
    if (!paletteDisplay(d)) return 0;
    if (!entries) return 256;
    if (start >= 256) return 0;
    count = std::min(count, 256 - start);
    for (UINT i = 0; i < count; i++) {
        entries[i] = d.system[start + i];
        entries[i].peFlags = 0;
    }
    return count;
}
