// Making and deleting DCs.
#pragma once

#include "gdi/objects.h"

namespace vek::gdi {

// Makes a DC with the default objects selected (for a memory DC the shared
// 1 x 1 monochrome bitmap, else drawing into surface); 0 when the table is full.
uint32_t newDC(DCKind kind, uintptr_t window, std::shared_ptr<Surface> surface);

// Lets go of a DC's selected objects and removes it.
void deleteDC(uint32_t handle, DC &dc);

}  // namespace vek::gdi
