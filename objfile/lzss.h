// The library's LZSS codec (internal): object files and compressed bitmap
// resources hold its streams. The stream format is described in lzss.cpp.
#pragma once

#include <windows.h>

namespace vek {

// Receives the stream in pieces, in order, each one or more whole groups.
// context is the value given to LzssEncode.
using LzssWriter = void (*)(void *context, const BYTE *bytes, DWORD length);

// Compresses count bytes at src and hands the stream to write. Returns the
// number of stream bytes handed over: 0 for an empty input, and also 0 when
// the working storage cannot be had (nothing is written then); any other
// input gives a stream of at least 2 bytes.
//
// The stream is the one of the classic tree-searching LZSS encoder, byte for
// byte, with the ring's unset bytes taken as 0x00.
DWORD LzssEncode(const BYTE *src, DWORD count, LzssWriter write, void *context);

// The file form: writes the stream of count bytes at src to file at its
// current position with _lwrite, a few groups at a time. Returns the number
// of stream bytes written (write failures are not looked at); 0 for an empty
// input or when the working storage cannot be had.
DWORD LzssEncode(HFILE file, const BYTE *src, DWORD count);

// Expands length stream bytes at stream into dest and returns the number of
// bytes written. Stops when the stream is used up (a pair cut after its first
// byte is dropped) or when destLength bytes have been written, whatever the
// bytes of the stream; a damaged stream gives wrong bytes, never a write
// outside dest.
DWORD LzssDecode(const BYTE *stream, DWORD length, BYTE *dest, DWORD destLength);

}  // namespace vek
