// The default-palette warning; see palette_warning.h.
#include "gdi/palette_warning.h"

#include <unordered_set>

#include "gdi/display.h"

namespace vek::gdi {

void warnDefaultPalette(const DC &dc, const char *call)
{
    const State &st = state();
    if (dc.kind != DCKind::Window || !paletteDisplay(st.display) || dc.palette != st.stock[DEFAULT_PALETTE]) return;
    static std::unordered_set<uintptr_t> warned;  // windows, under the lock
    if (!warned.insert(dc.window).second) return;
    debug::print(debug::Channel::gdi, "warn",
                 "%s draws palette indices (DIB_PAL_COLORS) into window %p through the default palette: they show "
                 "black or in the wrong colours; select and realise the program's palette in this DC first "
                 "(SelectPalette, RealizePalette)",
                 call, reinterpret_cast<void *>(dc.window));
}

}  // namespace vek::gdi
