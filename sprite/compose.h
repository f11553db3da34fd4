// Composing playfield rectangles in the off-screen image and showing them.
#pragma once

#include <vekkit/records.h>

#include <cstdint>

namespace vek {

class SpriteGrid;

// Which sprites the rectangle composer draws, and where. The four kinds
// stand for the selector values of the frame update's composer: a draw-list
// index i, its complement -1 - i, -32767 and -1100; placeOf is where those
// values are read.
class ComposeSelector {
public:
    // Sprite i at its new place, placed by the composer's arguments; the
    // others where they are shown now (selector i).
    static constexpr ComposeSelector moved(LONG i) { return {Mode::Moved, i}; }
    // The place sprite i left: sprites 0 to i at their new places, the later
    // ones where they are shown now (selector -1 - i).
    static constexpr ComposeSelector left(LONG i) { return {Mode::Left, i}; }
    // Every sprite at its new place: the whole-area repaint (-32767).
    static constexpr ComposeSelector allAtTarget() { return {Mode::AllAtTarget, 0}; }
    // Every sprite where it is shown now: a deleted sprite's area (-1100).
    static constexpr ComposeSelector allShown() { return {Mode::AllShown, 0}; }

    enum class Place : uint8_t {
        Selected,  // the selected sprite, placed by the composer's arguments
        Target,    // at its target rectangle, with its image
        Shown,     // at its shown rectangle, with its shown image
    };

    // Where sprite k of the draw list is drawn.
    constexpr Place placeOf(LONG k) const
    {
        switch (mode_) {
        case Mode::Moved: return k == index_ ? Place::Selected : Place::Shown;
        case Mode::Left: return k <= index_ ? Place::Target : Place::Shown;
        case Mode::AllAtTarget: return Place::Target;
        case Mode::AllShown: break;
        }
        return Place::Shown;
    }

    // The draw-list index drawn as the selected sprite, or -1.
    constexpr LONG selected() const { return mode_ == Mode::Moved ? index_ : -1; }

private:
    enum class Mode : uint8_t { Moved, Left, AllAtTarget, AllShown };
    constexpr ComposeSelector(Mode mode, LONG index) : mode_(mode), index_(index) {}

    Mode mode_;
    LONG index_;
};

// Restores the background of the playfield rectangle r into the off-screen
// image at (0, 0), draws every sprite that reaches into it as the selector
// says (the selected sprite at (x, y), width x height relative to r) and
// copies the result to the window through dc at r plus the origin. A
// rectangle larger than the off-screen image is composed in pieces of its
// size. With a grid, only the sprites it finds near a piece are looked at:
// it must index every sprite of the draw list that has an image by a box
// covering its shown and target rectangles.
void composeRect(LPVEKCONTEXT ctx, ComposeSelector selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width,
                 LONG height, SpriteGrid *grid = nullptr);

// Shows the width x height pixels at (srcX, srcY) (rows counted from the
// top) of a DI or DD record at (x, y) of dc.
void showImage(HDC dc, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA image, LONG srcX, LONG srcY);

}  // namespace vek
