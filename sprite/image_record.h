// Internal helpers of the sprite image records.
#pragma once

#include <vekkit/records.h>

namespace vek {

// A new raw DI record (zero pixels, identity colour table) in the short
// (256 words) or long (256 RGBQUADs, one spare byte per row) table layout.
// Null for sizes outside 1..32767 or when memory runs out.
HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable);

}  // namespace vek
