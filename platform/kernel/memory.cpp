// Global memory blocks with Win32 semantics.
//
// A fixed block's handle is its data pointer. A movable block's handle is a
// small tagged integer naming an entry of the handle table; the entry holds
// the data pointer, the size and the lock count (0..255). Data pointers of
// both kinds are indexed so that GlobalHandle can map any pointer returned by
// GlobalLock back to its handle, and so that a stray pointer fails cleanly
// instead of being dereferenced.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "kernel/error.h"

namespace {

// Largest block we hand out: 32-bit Windows could never give more, and it
// keeps absurd sizes from reaching the C allocator.
constexpr SIZE_T kMaxBlock = 0x7FFFFFFF;

// Movable handles are kHandleBase + 8 * index + 4: never a heap address,
// never 8-aligned (like Windows' movable handles), always below 2^32.
constexpr uintptr_t kHandleBase = 0x100000;
constexpr uintptr_t kHandleTag = 4;

struct Block {
    void *data = nullptr;  // null for a free entry or a zero-size block
    SIZE_T size = 0;
    UINT locks = 0;
    bool used = false;
    bool movable = false;
};

struct Heap {
    std::mutex lock;
    std::vector<Block> movable;                  // entries of movable handles
    std::vector<size_t> freeSlots;
    std::unordered_map<const void *, uintptr_t> owner;  // data -> handle value
    std::unordered_map<const void *, Block> fixed;     // data -> fixed block
};

Heap &heap()
{
    static Heap *h = new Heap;  // never destroyed: blocks may outlive statics
    return *h;
}

HGLOBAL handleOf(size_t index)
{
    return reinterpret_cast<HGLOBAL>(kHandleBase + 8 * index + kHandleTag);
}

// The block that a handle names, or null; caller holds the lock.
Block *find(Heap &h, HGLOBAL mem)
{
    auto value = reinterpret_cast<uintptr_t>(mem);
    if (value >= kHandleBase && (value & 7) == kHandleTag) {
        size_t index = (value - kHandleBase) / 8;
        if (index < h.movable.size() && h.movable[index].used) return &h.movable[index];
        return nullptr;
    }
    auto it = h.fixed.find(mem);
    return it == h.fixed.end() ? nullptr : &it->second;
}

void *allocate(SIZE_T bytes, UINT flags)
{
    void *p = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    return p;
}

HGLOBAL fail(DWORD error, vek::debug::CallSite where = vek::debug::CallSite::here())
{
    vek::host::setError(error, nullptr, where);
    return nullptr;
}

// Runs use(heap, block) under the heap's lock for the block that mem names;
// for a bad handle sets ERROR_INVALID_HANDLE and gives bad instead.
template <typename R, typename Use>
R withBlock(HGLOBAL mem, R bad, Use use)
{
    Heap &h = heap();
    std::lock_guard<std::mutex> guard(h.lock);
    Block *b = find(h, mem);
    if (!b) {
        vek::host::setError(ERROR_INVALID_HANDLE);
        return bad;
    }
    return use(h, *b);
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (bytes > kMaxBlock) return fail(ERROR_NOT_ENOUGH_MEMORY);
    Heap &h = heap();
    if (!(flags & GMEM_MOVEABLE)) {
        void *data = allocate(bytes, flags);
        if (!data) return fail(ERROR_NOT_ENOUGH_MEMORY);
        std::lock_guard<std::mutex> guard(h.lock);
        h.fixed[data] = Block{data, bytes, 0, true, false};
        h.owner[data] = reinterpret_cast<uintptr_t>(data);
        return data;
    }
    // A zero-size movable block is allocated as discarded: it has a handle but
    // no memory, and GlobalLock gives null until it is reallocated.
    void *data = nullptr;
    if (bytes) {
        data = allocate(bytes, flags);
        if (!data) return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::lock_guard<std::mutex> guard(h.lock);
    size_t index;
    if (!h.freeSlots.empty()) {
        index = h.freeSlots.back();
        h.freeSlots.pop_back();
    } else {
        index = h.movable.size();
        h.movable.emplace_back();
    }
    h.movable[index] = Block{data, bytes, 0, true, true};
    HGLOBAL handle = handleOf(index);
    if (data) h.owner[data] = reinterpret_cast<uintptr_t>(handle);
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL mem)
{
    return withBlock(mem, LPVOID{}, [](Heap &, Block &b) {
        if (b.movable && b.data && b.locks < GMEM_LOCKCOUNT) b.locks++;
        return b.data;
    });
}

BOOL WINAPI GlobalUnlock(HGLOBAL mem)
{
    return withBlock(mem, BOOL{FALSE}, [](Heap &, Block &b) -> BOOL {
        if (!b.movable) return TRUE;
        if (b.locks == 0) {
            vek::host::setError(ERROR_NOT_LOCKED);
            return FALSE;
        }
        if (--b.locks == 0) {
            SetLastError(NO_ERROR);
            return FALSE;
        }
        return TRUE;
    });
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pointer)
{
    Heap &h = heap();
    std::lock_guard<std::mutex> guard(h.lock);
    auto it = h.owner.find(pointer);
    if (it == h.owner.end()) {
        // A movable handle given instead of a pointer names itself.
        if (find(h, const_cast<LPVOID>(pointer))) return const_cast<LPVOID>(pointer);
        return fail(ERROR_INVALID_HANDLE);
    }
    return reinterpret_cast<HGLOBAL>(it->second);
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem)
{
    return withBlock(mem, SIZE_T{0}, [](Heap &, Block &b) { return b.size; });
}

UINT WINAPI GlobalFlags(HGLOBAL mem)
{
    return withBlock(mem, UINT{GMEM_INVALID_HANDLE}, [](Heap &, Block &b) { return b.locks; });
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem)
{
    if (!mem) return nullptr;
    return withBlock(mem, mem, [mem](Heap &h, Block &b) -> HGLOBAL {
        void *data = b.data;
        if (data) h.owner.erase(data);
        if (b.movable) {
            size_t index = (reinterpret_cast<uintptr_t>(mem) - kHandleBase) / 8;
            b = Block{};
            h.freeSlots.push_back(index);
        } else {
            h.fixed.erase(data);
        }
        std::free(data);
        return nullptr;
    });
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags)
{
    if (bytes > kMaxBlock) return fail(ERROR_NOT_ENOUGH_MEMORY);
    return withBlock(mem, HGLOBAL{}, [=](Heap &h, Block &b) -> HGLOBAL {
        if (flags & GMEM_MODIFY) return mem;

        // A fixed block, or a locked movable one, may move only when the
        // caller allows it with GMEM_MOVEABLE; a fixed block then gets a new
        // handle.
        bool mayMove = (b.movable && b.locks == 0) || (flags & GMEM_MOVEABLE);
        if (!mayMove) {
            if (bytes > b.size) return fail(ERROR_NOT_ENOUGH_MEMORY);
            b.size = bytes;  // shrinking in place keeps the allocation
            return mem;
        }
        // A movable block reallocated to 0 bytes becomes discarded.
        bool discard = b.movable && !bytes;
        void *data = discard ? nullptr : std::malloc(bytes ? bytes : 1);
        if (!discard && !data) return fail(ERROR_NOT_ENOUGH_MEMORY);
        if (data) {
            SIZE_T keep = bytes < b.size ? bytes : b.size;
            if (keep) std::memcpy(data, b.data, keep);
            if (bytes > keep && (flags & GMEM_ZEROINIT))
                std::memset(static_cast<BYTE *>(data) + keep, 0, bytes - keep);
        }
        void *old = b.data;
        if (old) h.owner.erase(old);
        std::free(old);
        if (b.movable) {
            b.data = data;
            b.size = bytes;
            if (data) h.owner[data] = reinterpret_cast<uintptr_t>(mem);
            return mem;
        }
        h.fixed.erase(old);  // b is gone from here on
        h.fixed[data] = Block{data, bytes, 0, true, false};
        h.owner[data] = reinterpret_cast<uintptr_t>(data);
        return data;
    });
}
