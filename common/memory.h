// Locked global blocks, the storage of every record the library makes.
#pragma once

#include <windows.h>

namespace vek {

// A zero-filled movable block of the given size, locked; null when out of
// memory. The block stays locked for its whole life: its pointer is the
// record's handle.
inline void *allocLocked(SIZE_T bytes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!mem) return nullptr;
    void *p = GlobalLock(mem);
    if (!p) GlobalFree(mem);
    return p;
}

// Releases a block made by allocLocked: recovers its memory handle from the
// pointer, unlocks it and frees it.
inline void freeLocked(const void *p)
{
    HGLOBAL mem = GlobalHandle(p);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

}  // namespace vek
