// The repeat-run cel encoder: turns a raw 8-bit DI record whose pixel values
// are final palette indices into a cel (behind vekPalDIBToCel, and the
// encoder of composite sprites).
#pragma once

#include <vekkit/records.h>

#include <cstddef>

namespace vek {

// Encodes record, horizontally mirrored when mirror is set, into a new cel
// that the caller owns (a locked block of exactly its size). The record is
// not changed. Returns the cel's address, or VEK_CEL_BAD_FORMAT when the
// record is not a raw 8-bit, one-plane DI record whose headers and bits lie
// inside its block, or VEK_CEL_NO_MEMORY.
LONG_PTR encodeRepeatRunCel(const BYTE *record, bool mirror);

// Encodes one row of n pixels (already in traversal order) whose transparent
// pixels have the value key; returns the bytes written to out, which must
// hold repeatRunRowBound(n) bytes.
size_t encodeRepeatRunRow(const BYTE *pixels, size_t n, BYTE key, BYTE *out);

// The most bytes a row of n pixels can take: alternating transparent and
// opaque pixels cost 3 bytes each, plus the leading skip and the end of row.
constexpr size_t repeatRunRowBound(size_t n) { return 3 * n + 6; }

}  // namespace vek
