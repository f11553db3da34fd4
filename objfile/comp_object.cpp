// Stored objects carried between files without expanding them.
//
// vekLoadCompObject takes an object with header as it stands in the file,
// payload and all, into a block of its own:
//
//   0   u32 size field = stored + 12
//   4   the object header (total, stored, storage method) as in the file
//   16  the stored payload bytes as in the file
//
// and vekSaveCompObject writes such a block back, so that an application can
// move compressed objects from one file to another. Both loading calls of
// this family put the file position back at the start of the object.
#include <vekkit/objfile.h>

#include "common/file_io.h"
#include "common/le.h"
#include "common/memory.h"

namespace {

constexpr DWORD kHeader = 12;

// The object header at the current position, which is put back; false for
// a short file or a payload that runs past its end.
bool peekHeader(HFILE file, DWORD &total, DWORD &stored, DWORD &method)
{
    const LONG start = _llseek(file, 0, 1);
    const LONG left = vek::bytesLeft(file);
    if (start < 0 || left < static_cast<LONG>(kHeader)) return false;
    const bool read = vek::readWord(file, total) && vek::readWord(file, stored) && vek::readWord(file, method);
    _llseek(file, start, 0);
    return read && stored <= static_cast<DWORD>(left) - kHeader;
}

}  // namespace

LPVOID VEKAPI vekLoadCompObject(HFILE file)
{
    DWORD total, stored, method;
    if (!peekHeader(file, total, stored, method)) return nullptr;
    const DWORD length = stored + kHeader;
    auto *block = static_cast<BYTE *>(vek::allocLocked(SIZE_T{length} + 4));
    if (!block) return nullptr;
    const LONG start = _llseek(file, 0, 1);
    const bool complete = vek::readBytes(file, block + 4, length) == length;
    _llseek(file, start, 0);
    if (!complete) {
        vek::freeLocked(block);
        return nullptr;
    }
    vek::put32(block, 0, length);
    return block;
}

DWORD VEKAPI vekSaveCompObject(HFILE file, LPVOID block)
{
    if (!block) return 0;
    const DWORD length = vek::u32(block, 0);
    vek::writeBytes(file, static_cast<const BYTE *>(block) + 4, length);
    return length;
}

LPVOID VEKAPI vekLoadCompSound(HFILE file, LPDWORD storedOut)
{
    DWORD total, stored, method;
    if (!peekHeader(file, total, stored, method) || method != STORE_PACKED_SOUND) return nullptr;
    if (storedOut) *storedOut = stored;
    auto *packed = static_cast<BYTE *>(vek::allocLocked(stored));
    if (!packed) return nullptr;
    const LONG start = _llseek(file, 0, 1);
    _llseek(file, kHeader, 1);
    const bool complete = vek::readBytes(file, packed, stored) == stored;
    _llseek(file, start, 0);
    if (!complete) {
        vek::freeLocked(packed);
        return nullptr;
    }
    return packed;
}

DWORD VEKAPI vekSaveCompSound(HFILE file, LPVOID packed, DWORD storedLength, DWORD method)
{
    if (!packed) return 0;
    vek::writeWord(file, vek::u32(packed, 0) + 4);
    vek::writeWord(file, storedLength);
    vek::writeWord(file, method);
    vek::writeBytes(file, packed, storedLength);
    return storedLength;
}
