// A table of objects named by small integer handles.
//
// A handle value is Tag | (generation << 16) | slot, with slot in 1..65535
// and generation in 1..0x3FFF: never 0, always below 2^31, so it fits the
// 32-bit handle fields of records (as handles do on 64-bit Windows). A
// slot's generation changes each time its object is removed, so a stale
// handle of a deleted object never names the object that reuses the slot.
// Tables of different kinds of handle use different tags (0 or 0x40000000),
// so that a handle of one kind never names an object of another.
//
// The table does no locking: its owner serialises access.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vek {

template <class T, uint32_t Tag = 0>
class HandleTable {
    static_assert(Tag == 0 || Tag == 0x40000000);

public:
    // Stores obj and returns its handle, or 0 when all slots are in use.
    uint32_t add(std::unique_ptr<T> obj)
    {
        uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= kSlots) return 0;
            if (slots_.empty()) slots_.emplace_back();  // slot 0 is never used
            slot = static_cast<uint32_t>(slots_.size());
            slots_.emplace_back();
        }
        Slot &s = slots_[slot];
        s.object = std::move(obj);
        return Tag | (uint32_t{s.generation} << 16) | slot;
    }

    // The object that handle names, or null.
    T *get(uintptr_t handle) const
    {
        const Slot *s = find(handle);
        return s ? s->object.get() : nullptr;
    }

    // Takes the object out of the table; its handle becomes invalid.
    std::unique_ptr<T> remove(uintptr_t handle)
    {
        Slot *s = const_cast<Slot *>(find(handle));
        if (!s) return nullptr;
        std::unique_ptr<T> obj = std::move(s->object);
        s->generation = static_cast<uint16_t>(s->generation % kMaxGeneration + 1);
        free_.push_back(static_cast<uint32_t>(handle & 0xFFFF));
        return obj;
    }

    // Calls f(handle, object) for every object, in slot order.
    template <class F>
    void forEach(F f) const
    {
        for (size_t i = 1; i < slots_.size(); i++)
            if (slots_[i].object) f(Tag | (uint32_t{slots_[i].generation} << 16) | uint32_t(i), *slots_[i].object);
    }

private:
    static constexpr size_t kSlots = 0x10000;
    static constexpr uint16_t kMaxGeneration = 0x3FFF;

    struct Slot {
        std::unique_ptr<T> object;
        uint16_t generation = 1;
    };

    const Slot *find(uintptr_t handle) const
    {
        if (handle > 0xFFFFFFFFu || (handle & 0xC0000000u) != Tag) return nullptr;
        size_t slot = handle & 0xFFFF;
        if (slot == 0 || slot >= slots_.size()) return nullptr;
        const Slot &s = slots_[slot];
        if (!s.object || s.generation != ((handle >> 16) & 0x3FFF)) return nullptr;
        return &s;
    }

    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
};

}  // namespace vek
