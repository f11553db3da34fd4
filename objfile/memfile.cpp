// The memory file: a growable file in memory for writers that produce a
// library object as if into a file.
//
// A memory file is a control record in its own global block:
//
//   data      the locked data block; its first 4 bytes are kept for the size
//             field, the file's byte at position p lives at data + 4 + p
//   capacity  how far the data block may be used: the block's size as made
//             by _mcreat, 4 less than its size after every growth
//   length    the highest position ever written to or sought to
//   position  the current position
//
// The handle is the control record's address. The data block grows to
// exactly what a write or seek needs, with no reserve, and takes its final
// size, length + 4, when the file is closed into a size-prefixed block.
#include <vekkit/objfile.h>

#include <cstdint>
#include <cstring>

#include "common/le.h"
#include "common/memory.h"

namespace {

struct MemFile {
    BYTE *data;
    DWORD capacity;
    DWORD length;
    DWORD position;
};

// Positions and lengths are results of type LONG; the data block adds 4.
constexpr uint64_t kMaxPosition = 0x7FFFFFFF - 8;

MemFile *fileOf(LONG_PTR handle)
{
    return reinterpret_cast<MemFile *>(handle);
}

// Reallocates the data block to n + 4 bytes, zero-filling what is new, so
// that bytes skipped by a seek read as 0. On failure the block stays as it
// was and locked.
bool grow(MemFile &f, uint64_t n)
{
    if (n > kMaxPosition) return false;
    HGLOBAL mem = GlobalHandle(f.data);
    GlobalUnlock(mem);
    HGLOBAL grown = GlobalReAlloc(mem, static_cast<SIZE_T>(n + 4), GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!grown) {
        GlobalLock(mem);
        return false;
    }
    f.data = static_cast<BYTE *>(GlobalLock(grown));
    f.capacity = static_cast<DWORD>(n);
    return true;
}

}  // namespace

LONG_PTR VEKAPI _mcreat(DWORD initialSize)
{
    // The block holds at least the size field, so that it always has an
    // address (a zero-size movable block has none).
    const DWORD size = initialSize < 4 ? 4 : initialSize;
    if (size > kMaxPosition) return 0;
    HGLOBAL control = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(MemFile));
    if (!control) return 0;
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!data) {
        GlobalFree(control);
        return 0;
    }
    auto *f = static_cast<MemFile *>(GlobalLock(control));
    f->data = static_cast<BYTE *>(GlobalLock(data));
    f->capacity = size;
    return reinterpret_cast<LONG_PTR>(f);
}

WORD VEKAPI _mwrite(LONG_PTR handle, LPCVOID buffer, WORD count)
{
    MemFile *f = fileOf(handle);
    if (!f || (!buffer && count)) return 0;
    const uint64_t end = uint64_t{f->position} + count;
    if (end > kMaxPosition) return 0;
    // The length covers the write even when the room cannot be made.
    if (f->length < end) f->length = static_cast<DWORD>(end);
    if (f->capacity < end + 4 && !grow(*f, end + 4)) return 0;
    if (count) std::memcpy(f->data + 4 + f->position, buffer, count);
    f->position = static_cast<DWORD>(end);
    return count;
}

LONG VEKAPI _mlseek(LONG_PTR handle, LONG offset, SHORT origin)
{
    MemFile *f = fileOf(handle);
    if (!f) return -1;
    int64_t base;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = f->position; break;
    case 2: base = f->length; break;
    default: return -1;
    }
    const int64_t target = base + offset;
    if (target < 0 || static_cast<uint64_t>(target) > kMaxPosition) return -1;
    const auto to = static_cast<DWORD>(target);
    if (f->capacity < to && !grow(*f, to)) return -1;
    if (f->length < to) f->length = to;
    f->position = to;
    return static_cast<LONG>(to);
}

LONG VEKAPI _mfilelength(LONG_PTR handle)
{
    MemFile *f = fileOf(handle);
    return f ? static_cast<LONG>(f->length) : -1;
}

SHORT VEKAPI _mcommit(LONG_PTR)
{
    return 0;
}

LPVOID VEKAPI _mclose(LONG_PTR handle)
{
    MemFile *f = fileOf(handle);
    if (!f) return nullptr;
    BYTE *data = f->data;
    const DWORD length = f->length;
    vek::freeLocked(f);
    if (length == 0) {
        vek::freeLocked(data);
        return nullptr;
    }
    // The block takes its final size; bytes it gains (a file that ends in a
    // seek past the end) are zero.
    HGLOBAL mem = GlobalHandle(data);
    GlobalUnlock(mem);
    HGLOBAL sized = GlobalReAlloc(mem, SIZE_T{length} + 4, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!sized) {
        // A block that cannot shrink still serves; one that cannot grow to
        // hold the file is given up.
        if (GlobalSize(mem) < SIZE_T{length} + 4) {
            GlobalFree(mem);
            return nullptr;
        }
        sized = mem;
    }
    auto *block = static_cast<BYTE *>(GlobalLock(sized));
    vek::put32(block, 0, length);
    return block;
}
