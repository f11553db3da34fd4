// File transfers of any length through handles of the _lread family.
//
// The handle-level calls take counts of one 16-bit word, so a long transfer
// goes in pieces: every 65536 bytes as two calls of 32768, then one call for
// the rest (count AND 0xFFFF bytes, also when that is 0). A transfer stops
// at the first short piece, so that a loader can tell a short file.
#include "common/file_io.h"

#include "common/le.h"

namespace {

constexpr UINT kHalfPiece = 32768;

// Moves count bytes with op (_lread or _lwrite shapes); returns how many
// were moved before the first short or failed call.
template <typename Op>
DWORD transfer(DWORD count, Op op)
{
    DWORD done = 0;
    auto piece = [&](UINT n) {
        const UINT moved = op(done, n);
        if (moved == static_cast<UINT>(HFILE_ERROR)) return false;
        done += moved;
        return moved == n;
    };
    for (DWORD k = count >> 16; k != 0; k--) {
        if (!piece(kHalfPiece) || !piece(kHalfPiece)) return done;
    }
    piece(count & 0xFFFF);
    return done;
}

}  // namespace

namespace vek {

DWORD readBytes(HFILE file, void *buffer, DWORD count)
{
    auto *bytes = static_cast<BYTE *>(buffer);
    return transfer(count, [&](DWORD at, UINT n) { return _lread(file, bytes + at, n); });
}

DWORD writeBytes(HFILE file, const void *buffer, DWORD count)
{
    const auto *bytes = static_cast<const char *>(buffer);
    return transfer(count, [&](DWORD at, UINT n) { return _lwrite(file, bytes + at, n); });
}

bool readWord(HFILE file, DWORD &value)
{
    BYTE b[4];
    if (_lread(file, b, 4) != 4) return false;
    value = u32(b, 0);
    return true;
}

bool writeWord(HFILE file, DWORD value)
{
    BYTE b[4];
    put32(b, 0, value);
    return _lwrite(file, reinterpret_cast<LPCSTR>(b), 4) == 4;
}

LONG bytesLeft(HFILE file)
{
    const LONG at = _llseek(file, 0, 1);
    if (at < 0) return -1;
    const LONG end = _llseek(file, 0, 2);
    if (_llseek(file, at, 0) != at || end < 0) return -1;
    return end > at ? end - at : 0;
}

}  // namespace vek
