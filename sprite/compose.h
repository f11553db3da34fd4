// Composing playfield rectangles in the off-screen image and showing them.
#pragma once

#include <vekkit/records.h>

namespace vek {

// Selectors of the rectangle composer besides a draw-list index i (sprite i
// at its new place, the others where they are shown now) and -1 - i (sprites
// 0 to i at their new places, the later ones where they are shown now).
constexpr LONG kComposeAllAtTarget = -32767;  // every sprite at its new place
constexpr LONG kComposeAllShown = -1100;      // every sprite where it is shown now

// Restores the background of the playfield rectangle r into the off-screen
// image at (0, 0), draws every sprite that reaches into it as the selector
// says (the selected sprite at (x, y), width x height relative to r) and
// copies the result to the window through dc at r plus the origin. A
// rectangle larger than the off-screen image is composed in pieces of its
// size.
void composeRect(LPVEKCONTEXT ctx, LONG selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width,
                 LONG height);

// Shows the width x height pixels at (srcX, srcY) (rows counted from the
// top) of a DI or DD record at (x, y) of dc.
void showImage(HDC dc, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA image, LONG srcX, LONG srcY);

}  // namespace vek
