// Working storage of the image operations: locked global blocks that are
// released on every path out of the call.
#pragma once

#include <windows.h>

#include <memory>

#include "common/memory.h"

namespace vek {

struct FreeLockedBlock {
    void operator()(BYTE *p) const { freeLocked(p); }
};
using WorkBlock = std::unique_ptr<BYTE, FreeLockedBlock>;

// A zero-filled working block; empty when out of memory.
inline WorkBlock workBlock(SIZE_T bytes)
{
    return WorkBlock(static_cast<BYTE *>(allocLocked(bytes)));
}

}  // namespace vek
