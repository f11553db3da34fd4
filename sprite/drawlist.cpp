// The draw-list sort.
//
// The draw list orders the sprites in use by ascending signed 16-bit
// priority, equal priorities in slot order, so that the frame update draws
// later entries over earlier ones. The result is that of a stable sort of the
// slots by priority. The list is rebuilt from the slots on every sort (it
// may hold sprites appended unsorted, or released ones), as two stable
// counting passes over the priority's low and high bytes: linear in the
// number of slots. Creating n sprites one after the other sorts n times, so
// a quadratic sort would make filling a context cubic: with 1000 sprites one
// sort takes about 5 us, a selection sort over the slots about 1.3 ms
// (bench/sprites.cpp).
#include "sprite/drawlist.h"

namespace vek {

namespace {

// The priority as an unsigned key of the same order: the sign bit flipped.
unsigned sortKey(const VEKSPRITE &s)
{
    return static_cast<WORD>(s.priority) ^ 0x8000u;
}

// Turns 256 bucket counts, stored from index 1 on, into bucket starts.
void bucketStarts(DWORD (&buckets)[257])
{
    for (int i = 1; i <= 256; i++) buckets[i] += buckets[i - 1];
}

}  // namespace

void sortDrawList(LPVEKCONTEXT ctx)
{
    VEKSPRITE *const slots = ctx->spriteSlots;
    LPVEKSPRITE *const list = ctx->drawList;
    DWORD *const order = ctx->sortMarks;  // slot numbers while sorting

    // The slots in use, in slot order: the order that ties keep.
    LONG n = 0;
    for (LONG i = 0; i < ctx->maxSprites; i++)
        if (slots[i].inUse) order[n++] = static_cast<DWORD>(i);
    if (n != ctx->spriteCount) return;

    DWORD low[257] = {}, high[257] = {};
    for (LONG i = 0; i < n; i++) {
        const unsigned key = sortKey(slots[order[i]]);
        low[(key & 0xFF) + 1]++;
        high[(key >> 8) + 1]++;
    }
    bucketStarts(low);
    bucketStarts(high);
    // Low byte: slot numbers into the list as pointers; high byte: back into
    // slot numbers; then the final pointers.
    for (LONG i = 0; i < n; i++) {
        LPVEKSPRITE s = &slots[order[i]];
        list[low[sortKey(*s) & 0xFF]++] = s;
    }
    for (LONG i = 0; i < n; i++) order[high[sortKey(*list[i]) >> 8]++] = static_cast<DWORD>(list[i] - slots);
    for (LONG i = 0; i < n; i++) list[i] = &slots[order[i]];
    ctx->updateFlags &= ~VEK_UPDATE_SORT;
}

}  // namespace vek
