// File transfers of any length through handles of the _lread family, and
// the small reads and writes of little-endian header words: the bounded file
// helpers of every subsystem that reads or writes files.
#pragma once

#include <windows.h>

namespace vek {

// Reads or writes count bytes in pieces that the handle-level calls accept;
// returns the number of bytes actually moved, which is less than count only
// when the file ended or failed.
DWORD readBytes(HFILE file, void *buffer, DWORD count);
DWORD writeBytes(HFILE file, const void *buffer, DWORD count);

// One little-endian u32 field; false when the file could not supply or take
// all four bytes.
bool readWord(HFILE file, DWORD &value);
bool writeWord(HFILE file, DWORD value);

// The number of bytes from the current position to the end of the file; the
// position is left where it was. -1 when the handle cannot seek.
LONG bytesLeft(HFILE file);

}  // namespace vek
