// Internal helpers of the sprite image records.
#pragma once

#include <vekkit/records.h>

namespace vek {

// A new raw DI record (zero pixels, identity colour table) in the short
// (256 words) or long (256 RGBQUADs, one spare byte per row) table layout.
// Null for sizes outside 1..32767 or when memory runs out.
HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable);

// Writes the identity colour table (the 16-bit words 0..255, shown through
// the DC's palette with DIB_PAL_COLORS) at byte 58 of a DI record.
void writeIndexTable(BYTE *record);

// The bitmap handle stored as a 32-bit field at offset of a DD record.
HBITMAP bitmapAt(const BYTE *record, size_t offset);

// Width and height of a record of any kind (a DD record's image bitmap cut to
// 16 bits, a composite's bounds, a DI record's header), stored through the
// non-null pointers and returned packed: height high, width low.
DWORD spriteDimensions(HSPRITEDATA image, LONG *width, LONG *height);

}  // namespace vek
