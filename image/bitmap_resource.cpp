// Compressed bitmap resources and vekLoadBitmap.
//
// A resource of type "VORTLBMP" holds a bitmap file image compressed with
// the library's LZSS codec:
//
//   0   u32   decoded size: bytes of the bitmap file image
//   4   u32   resource size: bytes of the resource, these 8 included
//   8   ...   LZSS stream of resource size - 8 bytes
//
// The stream must expand to exactly the decoded size: one that ends early is
// damaged, and a decoded size beyond what any stream of that length can give
// is refused before memory is taken for it.
#include <vekkit/image.h>

#include "common/le.h"
#include "image/bitmap_file_image.h"
#include "image/bitmap_resource.h"
#include "objfile/lzss.h"

namespace vek {
namespace {

constexpr DWORD kHeader = 8;

// The most bytes a stream byte can expand to: a group of one flag byte and
// eight pairs (17 bytes) gives at most 8 x 18 = 144 bytes.
constexpr uint64_t kMaxExpansion = 9;

// Bitmap modes of vekLoadBitmap; any other value gives the memory block.
constexpr WORD kModeBitmap = 1;

}  // namespace

HGLOBAL expandBitmapResource(const BYTE *data, DWORD size)
{
    if (!data || size < kHeader) return nullptr;
    const DWORD decodedSize = u32(data, 0);
    const DWORD resourceSize = u32(data, 4);
    if (resourceSize < kHeader || resourceSize > size) return nullptr;
    const DWORD streamLength = resourceSize - kHeader;
    if (!decodedSize || decodedSize > uint64_t{streamLength} * kMaxExpansion) return nullptr;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, decodedSize);
    if (!block) return nullptr;
    BYTE *out = static_cast<BYTE *>(GlobalLock(block));
    if (!out) {
        GlobalFree(block);
        return nullptr;
    }
    const DWORD written = LzssDecode(data + kHeader, streamLength, out, decodedSize);
    GlobalUnlock(block);
    if (written != decodedSize) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

}  // namespace vek

using namespace vek;

HANDLE VEKAPI vekLoadBitmap(HINSTANCE module, LPCSTR resource, WORD mode, HDC dc)
{
    // Only the low 16 bits name the resource, whatever the argument holds.
    const WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(resource));
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kBitmapResourceType);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    const BYTE *data = static_cast<const BYTE *>(LockResource(loaded));
    // The resource's real size bounds what its header may claim.
    HGLOBAL block = data ? expandBitmapResource(data, SizeofResource(module, found)) : nullptr;
    FreeResource(loaded);
    if (!block || mode != kModeBitmap) return block;

    HBITMAP bitmap = nullptr;
    if (const BYTE *image = static_cast<const BYTE *>(GlobalLock(block))) {
        // The headers sit at byte 14: reached through casts, never members.
        BitmapFileImage parts;
        if (readBitmapFileImage(image, GlobalSize(block), parts))
            bitmap = CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER *>(parts.info), CBM_INIT,
                                    parts.pixels, parts.info, DIB_RGB_COLORS);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return bitmap;
}
