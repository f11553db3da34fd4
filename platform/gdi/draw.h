// Helpers shared by the drawing calls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "debug/channel.h"
#include "gdi/color.h"
#include "gdi/objects.h"
#include "present/presentation.h"

namespace vek::gdi {

// The raw value that the DC's brush paints on its surface; false for a null
// brush, which paints nothing.
inline bool brushPattern(const DC &dc, uint32_t &raw)
{
    const Brush *b = findValue<Brush>(dc.brush);
    if (!b || b->style == BS_NULL) return false;
    raw = solidRaw(sideOf(dc, *dc.surface), b->color);
    return true;
}

// The rectangle left..right-1 by top..bottom-1 cut to the surface; may come
// out empty. Coordinates are 64-bit so that sums of 32-bit arguments fit, and
// every edge is brought inside the surface before it becomes a LONG.
inline RECT clipTo(int64_t left, int64_t top, int64_t right, int64_t bottom, const Surface &s)
{
    return RECT{static_cast<LONG>(std::clamp<int64_t>(left, 0, s.width)),
                static_cast<LONG>(std::clamp<int64_t>(top, 0, s.height)),
                static_cast<LONG>(std::clamp<int64_t>(right, 0, s.width)),
                static_cast<LONG>(std::clamp<int64_t>(bottom, 0, s.height))};
}

inline bool isEmpty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }

// Tells the presentation that drawing through dc changed rect of its
// surface: a window's client pixels are shown anew. While the user channel
// traces, the surface remembers that it was drawn into.
inline void noteDrawn(const DC &dc, const RECT &rect)
{
    if (dc.kind != DCKind::Window || isEmpty(rect)) return;
    present::windowDrawn(reinterpret_cast<HWND>(dc.window), rect);
    if (debug::on(debug::Channel::user)) dc.surface->drawn.store(true, std::memory_order_relaxed);
}

}  // namespace vek::gdi
