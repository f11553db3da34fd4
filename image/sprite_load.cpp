// vekLoadSpriteData: DI sprite image records from bitmap files and from
// compressed bitmap resources.
//
// The record is the bitmap file image as it is, behind the record's leading
// length word; nothing in it is converted or checked here (the drawing calls
// check what they read). The two sources give different length words for
// the same image: a file's record counts two bytes more than the image.
#include <vekkit/image.h>
#include <vekkit/objfile.h>

#include "common/file_io.h"
#include "common/le.h"
#include "common/memory.h"

namespace vek {
namespace {

constexpr DWORD kFromFile = 0x0001;

// Bytes that the record's block has beyond the image.
constexpr DWORD kBlockExtra = 6;

// Largest image whose block size still fits 32 bits.
constexpr DWORD kMaxImage = 0xFFFFFFFFu - kBlockExtra;

HSPRITEDATA loadFromFile(LPCSTR path)
{
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return nullptr;
    const LONG length = bytesLeft(file);
    BYTE *record = nullptr;
    if (length >= 0 && static_cast<DWORD>(length) <= kMaxImage) {
        const DWORD n = static_cast<DWORD>(length);
        record = static_cast<BYTE *>(allocLocked(n + kBlockExtra));
        if (record) {
            put32(record, 0, n + 2);
            readBytes(file, record + 4, n);
        }
    }
    _lclose(file);
    return record;
}

HSPRITEDATA loadFromResource(HINSTANCE module, LPCSTR resource)
{
    HGLOBAL decoded = static_cast<HGLOBAL>(vekLoadBitmap(module, resource, 2, nullptr));
    if (!decoded) return nullptr;
    const SIZE_T n = GlobalSize(decoded);
    BYTE *record = nullptr;
    const BYTE *image = static_cast<const BYTE *>(GlobalLock(decoded));
    if (image && n <= kMaxImage) {
        record = static_cast<BYTE *>(allocLocked(n + kBlockExtra));
        if (record) {
            put32(record, 0, static_cast<DWORD>(n));
            _hmemcpy(record + 4, image, static_cast<DWORD>(n));
        }
    }
    if (image) GlobalUnlock(decoded);
    GlobalFree(decoded);
    return record;
}

}  // namespace
}  // namespace vek

HSPRITEDATA VEKAPI vekLoadSpriteData(HINSTANCE module, LPCSTR name, DWORD flags)
{
    return flags & vek::kFromFile ? vek::loadFromFile(name) : vek::loadFromResource(module, name);
}
