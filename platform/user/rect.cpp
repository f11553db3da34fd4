// Rectangle helpers. Rectangles include their left and top edges and
// exclude their right and bottom ones; a rectangle is empty when it has no
// width or no height. Null pointers give FALSE.
#include <windows.h>

#include <algorithm>

namespace {

// Sums wrap around as 32-bit Windows arithmetic does, without overflow.
LONG add(LONG a, int b) { return static_cast<LONG>(static_cast<DWORD>(a) + static_cast<DWORD>(b)); }

}  // namespace

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT dst, const RECT *src)
{
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT *rect)
{
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT *a, const RECT *b)
{
    if (!dst || !a || !b) return FALSE;
    const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                 std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT *a, const RECT *b)
{
    if (!dst || !a || !b) return FALSE;
    // An empty rectangle adds nothing to the union.
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            SetRectEmpty(dst);
            return FALSE;
        }
        *dst = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left = add(rect->left, dx);
    rect->right = add(rect->right, dx);
    rect->top = add(rect->top, dy);
    rect->bottom = add(rect->bottom, dy);
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left = add(rect->left, -dx);
    rect->right = add(rect->right, dx);
    rect->top = add(rect->top, -dy);
    rect->bottom = add(rect->bottom, dy);
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT *rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL WINAPI EqualRect(const RECT *a, const RECT *b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
