// Sprites: creation, deletion and priorities.
//
// A sprite is a VEKSPRITE slot of its context's sprite memory; the slot's
// pointer is its handle. A slot is free (in use 0), live, or deleted (in use
// 1 with VEK_SPRITE_DELETED): a deleted sprite keeps its slot and its place
// in the draw list until the frame update has repainted where it was and
// released it. None of these operations draws; they record what the next
// update repaints.
#include <vekkit/sprite.h>

#include "sprite/drawlist.h"
#include "sprite/placement.h"

namespace {

bool sortPending(const VEKCONTEXT *ctx)
{
    return ctx->updateFlags & VEK_UPDATE_SORT;
}

bool deleted(const VEKSPRITE *s)
{
    return s->stateFlags & VEK_SPRITE_DELETED;
}

}  // namespace

LPVEKSPRITE VEKAPI vekCreateSprite(LPVEKCONTEXT ctx, HSPRITEDATA image, LONG x, LONG y, LONG anchor,
                                   LONG priority, DWORD flags)
{
    if (!ctx || !ctx->drawList || ctx->maxSprites < 1 || ctx->spriteCount >= ctx->maxSprites) return nullptr;
    LPVEKSPRITE s = nullptr;
    for (LONG i = 0; i < ctx->maxSprites && !s; i++)
        if (!ctx->spriteSlots[i].inUse) s = &ctx->spriteSlots[i];
    if (!s) return nullptr;

    const WORD creation = static_cast<WORD>(flags);
    s->inUse = 1;
    s->image = s->shownImage = image;
    s->x = x;
    s->y = y;
    s->target = s->shown = vek::spritePlacement(image, nullptr, x, y, anchor);
    s->priority = static_cast<SHORT>(priority);
    s->anchorFlags = static_cast<WORD>(anchor);
    s->stateFlags = static_cast<WORD>(creation | VEK_SPRITE_CHANGED);
    s->transform = nullptr;

    ctx->drawList[ctx->spriteCount++] = s;
    // Any creation flag defers the sort: the new sprite is drawn last until
    // the next sorting operation.
    if (creation)
        ctx->updateFlags |= VEK_UPDATE_SORT;
    else
        vek::sortDrawList(ctx);
    return s;
}

LONG VEKAPI vekDeleteSprite(LPVEKCONTEXT, LPVEKSPRITE s)
{
    // The update repaints the shown rectangle without the sprite, then frees
    // the slot.
    s->target = s->shown;
    s->image = s->shownImage = nullptr;
    s->stateFlags |= VEK_SPRITE_DELETED;
    return 0;
}

void VEKAPI vekSetSpritePriority(LPVEKCONTEXT ctx, LPVEKSPRITE s, LONG priority)
{
    if (deleted(s)) {
        if (sortPending(ctx)) vek::sortDrawList(ctx);
        return;
    }
    if (s->priority == priority && !sortPending(ctx)) return;
    s->priority = static_cast<SHORT>(priority);
    s->stateFlags |= VEK_SPRITE_CHANGED;
    vek::sortDrawList(ctx);
}

void VEKAPI vekSetSpritePriorityNosort(LPVEKCONTEXT ctx, LPVEKSPRITE s, LONG priority)
{
    if (deleted(s) || s->priority == priority) return;
    s->priority = static_cast<SHORT>(priority);
    s->stateFlags |= VEK_SPRITE_CHANGED;
    ctx->updateFlags |= VEK_UPDATE_SORT;
}
