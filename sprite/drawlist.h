// The draw list of a sprite context: its sort and the release of deleted
// sprites' slots, shared by the sprite operations and the frame update.
#pragma once

#include <vekkit/records.h>

namespace vek {

// Rebuilds the first sprite-count entries of the draw list from the slots in
// use, by ascending priority (signed), equal priorities in slot order, and
// clears sort pending. When the number of slots in use differs from the
// sprite count the list and the flag are left as they are; with no sprites
// only sort pending is cleared. The sort marks are its scratch space.
void sortDrawList(LPVEKCONTEXT ctx);

// Frees the slot of every deleted sprite of the draw list (in use := 0), in
// draw-list order, and calls visit(sprite) for each right after freeing it;
// the sprite's fields other than in use are left as they were, and it stays
// in the list until the sort below. Then, if any slot was freed or a sort is
// pending, lowers the sprite count by the number freed and sorts the draw
// list. Returns the number freed.
template <typename Visit>
LONG releaseDeletedSprites(LPVEKCONTEXT ctx, Visit visit)
{
    LONG released = 0;
    for (LONG i = 0; i < ctx->spriteCount; i++) {
        LPVEKSPRITE s = ctx->drawList[i];
        if (!(s->stateFlags & VEK_SPRITE_DELETED)) continue;
        s->inUse = 0;
        released++;
        visit(s);
    }
    if (released || (ctx->updateFlags & VEK_UPDATE_SORT)) {
        ctx->spriteCount -= released;
        sortDrawList(ctx);
    }
    return released;
}

inline LONG releaseDeletedSprites(LPVEKCONTEXT ctx)
{
    return releaseDeletedSprites(ctx, [](LPVEKSPRITE) {});
}

}  // namespace vek
