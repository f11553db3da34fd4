// Animation: the four forms that move a sprite and change its image.
//
// Relative forms move by (dx, dy), absolute forms place at (x, y); the Ex
// forms also keep, replace or remove the sprite's transform. All of them
// record the new target rectangle and image and mark the sprite changed;
// the shown rectangle keeps saying where the sprite is on screen until the
// frame update moves it there. A call that would change nothing leaves even
// the changed bit alone.
#include <vekkit/sprite.h>

#include "common/saturate.h"
#include "sprite/placement.h"

namespace {

// VEK_TRANSFORM_KEEP arrives as 0xFFFFFFFF or, from 64-bit callers that
// write -1, with all bits set; its low 32 bits name it either way, and no
// matrix of 32-bit numbers lives at such an odd address.
bool keepsTransform(const VEKMATRIX *transform)
{
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(transform)) == VEK_TRANSFORM_KEEP;
}

// The move to (x, y); unmoved says that the position stays as it is. A
// transform that is not kept replaces the sprite's (null removes it).
void animate(LPVEKSPRITE s, HSPRITEDATA image, LONG x, LONG y, bool unmoved, LONG anchor, bool keepTransform,
             LPVEKMATRIX transform = nullptr)
{
    HSPRITEDATA use = image ? image : s->image;
    if (unmoved && use == s->image && static_cast<SHORT>(s->anchorFlags) == anchor && keepTransform) return;

    if (!keepTransform) s->transform = transform;
    s->x = x;
    s->y = y;
    s->target = vek::spritePlacement(use, s->transform, x, y, anchor);
    s->anchorFlags = static_cast<WORD>(anchor);
    // The image shown until the next update is the one the sprite had.
    if (use) {
        s->shownImage = s->image;
        s->image = use;
    }
    s->stateFlags |= VEK_SPRITE_CHANGED;
}

// Positions are not checked: a move beyond the 32-bit range stops at its end.
LONG moved(LONG from, LONG by)
{
    return vek::addSat(from, by);
}

}  // namespace

void VEKAPI vekAnimateSprite(LPVEKCONTEXT, LPVEKSPRITE s, HSPRITEDATA image, LONG dx, LONG dy, LONG anchor)
{
    animate(s, image, moved(s->x, dx), moved(s->y, dy), !dx && !dy, anchor, true);
}

void VEKAPI vekAnimateSpriteEx(LPVEKCONTEXT, LPVEKSPRITE s, HSPRITEDATA image, LONG dx, LONG dy, LONG anchor,
                               LPVEKMATRIX transform)
{
    animate(s, image, moved(s->x, dx), moved(s->y, dy), !dx && !dy, anchor, keepsTransform(transform), transform);
}

void VEKAPI vekAnimateSpriteAbs(LPVEKCONTEXT, LPVEKSPRITE s, HSPRITEDATA image, LONG x, LONG y, LONG anchor)
{
    animate(s, image, x, y, x == s->x && y == s->y, anchor, true);
}

void VEKAPI vekAnimateSpriteAbsEx(LPVEKCONTEXT, LPVEKSPRITE s, HSPRITEDATA image, LONG x, LONG y, LONG anchor,
                                  LPVEKMATRIX transform)
{
    animate(s, image, x, y, x == s->x && y == s->y, anchor, keepsTransform(transform),
            transform);
}
