// Making DI sprite image records: a new raw record, and the identity index
// table that records made or loaded by the library are shown through.
#pragma once

#include <vekkit/records.h>

namespace vek {

// A new raw DI record (zero pixels, identity index table) in the short
// (256 words, pixels at byte 572) or long (256 RGBQUADs, pixels at byte
// 1084, one spare byte per row) table layout. Null for sizes outside
// 1..32767 or when memory runs out.
HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable);

// Writes the identity index table, the u16 values 0 to 255 shown with
// DIB_PAL_COLORS through the DC's palette, into the first 512 bytes of the
// colour table at byte 58 of a DI record; the rest is left as it is.
void writeIndexTable(BYTE *record);

}  // namespace vek
