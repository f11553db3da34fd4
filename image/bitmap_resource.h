// The decoder of compressed bitmap resources (internal).
#pragma once

#include <windows.h>

namespace vek {

// The resource type of compressed bitmaps.
constexpr char kBitmapResourceType[] = "VORTLBMP";

// Expands the data of a compressed bitmap resource, size bytes at data, into
// a new movable global block (unlocked) that holds the decoded bitmap file
// image from its first byte on; the caller owns the block. Null when the
// resource is damaged (a header that claims more bytes than there are, a
// stream that ends before it has given the decoded size) or memory runs out.
HGLOBAL expandBitmapResource(const BYTE *data, DWORD size);

}  // namespace vek
