// Object files: library blocks written one after another through a file
// handle, bare or under an object header that names a storage method.
//
// An object is a size-prefixed block (a u32 size field, then that many
// bytes). Bare, it is stored byte for byte. Under a header it is stored as
//
//   0   u32 total: the block's length in memory (size field + 4)
//   4   u32 stored: the number of payload bytes after the header
//   8   u32 storage method
//   12  the payload
//
// Methods and their payloads:
//
//   0   the block itself (stored = total)
//   1   LZSS stream of the whole block, size field included
//   4   packed sound (written by vekSaveCompSound, not here)
//   8   a DI sprite image record as five u32 fields (bfOffBits, biWidth,
//       biHeight, biCompression, biSizeImage) and the LZSS stream of its
//       pixel bytes, from record byte 4 + bfOffBits to the end of the block
//   16  a DI record of at most 16 colours: u16 H (22 or 8), the colour list
//       (16 bytes; for H = 8 the one colour and 0), u32 L (the length the
//       stream expands to), and at H the LZSS stream of the four-bit image
//       block (H = 22) or of the record's first 54 bytes (H = 8: one colour)
//   32  as 8 with a sixth u32 after the fields: the image flags in the low
//       half, bfReserved2 in the high half
//
// Loading rebuilds what the image methods leave out: the header fields of
// an 8-bit DI record, identity palette indices as colour table, 3800 pixels
// per metre. Whether an object has a header is not in the file: the same
// flags word goes to the calls that write, read, skip and measure it.
//
// Files are outside data. Every size in a header is checked against what the
// file holds before anything is allocated, and each decoder is bounded by its
// destination. An LZSS stream decodes what it holds: the stored image
// methods take a stream that ends early as it is, the rest of the pixels (or
// of the four-bit block) as allocated; method 1, whose stream holds the
// block's own size field, must come out exactly as long as its header says.
#include <vekkit/objfile.h>

#include <cstdint>
#include <cstring>

#include "common/file_io.h"
#include "common/memory.h"
#include "objfile/four_bit_image.h"
#include "objfile/lzss.h"
#include "objfile/packed_sound.h"
#include "record/di_record.h"
#include "record/layout.h"

namespace {

using vek::put16;
using vek::put32;
using vek::u16;
using vek::u32;
namespace rec = vek::rec;

constexpr DWORD kHeader = 12;
constexpr DWORD kMethodMask = 0x7FFFFFFF;
// The largest object the loaders accept: a 16384 x 16384 image and more.
constexpr DWORD kMaxObject = 0x10000000;
// An LZSS stream expands at most 9-fold: a pair of two bytes gives 18.
constexpr uint64_t kLzssGain = 9;
constexpr DWORD kImageHeader = rec::kColorTable;    // 58: header fields of a DI record
constexpr DWORD kTableEnd = rec::kColorTable + 512; // end of the identity table loading writes
constexpr DWORD kSoundHeader = 48;
constexpr DWORD kMaxSoundCode = 255;                // samples one code byte can count
constexpr DWORD kOneColourStream = 54;              // record bytes behind an H = 8 payload

bool isImageMethod(DWORD method)
{
    return method == STORE_IMAGE_BITS || method == STORE_IMAGE_4BIT || method == STORE_IMAGE_BITS_FLAGS;
}

DWORD fieldsOf(DWORD method)
{
    return method == STORE_IMAGE_BITS_FLAGS ? 24 : 20;
}

// ---- Saving ----

// Compression did not pay: the header becomes stored = total, method 0, and
// the block follows it, over whatever was written after the header.
DWORD storeRaw(HFILE file, LONG storedAt, const BYTE *block, DWORD total)
{
    _llseek(file, storedAt, 0);
    vek::writeWord(file, total);
    vek::writeWord(file, STORE_RAW);
    vek::writeBytes(file, block, total);
    return 0;
}

// Methods 8 and 32: the image fields and the stream of the pixel bytes.
DWORD saveImageBits(HFILE file, LONG storedAt, const BYTE *record, DWORD total, DWORD method)
{
    const uint64_t first = 4 + uint64_t{u32(record, rec::kPixelOffset)};
    const DWORD pixels = first < total ? static_cast<DWORD>(total - first) : 0;
    BYTE fields[24];
    put32(fields, 0, u32(record, rec::kPixelOffset));
    put32(fields, 4, u32(record, rec::kWidth));
    put32(fields, 8, u32(record, rec::kHeight));
    put32(fields, 12, u32(record, rec::kCompression));
    put32(fields, 16, u32(record, rec::kSizeImage));
    put32(fields, 20, u16(record, rec::kFlags) | DWORD{u16(record, rec::kReserved2)} << 16);
    const DWORD fieldBytes = fieldsOf(method);
    vek::writeBytes(file, fields, fieldBytes);
    // A record without pixel bytes cannot be stored this way; the header
    // stays as written, with stored = total.
    const DWORD stream = pixels ? vek::LzssEncode(file, record + first, pixels) : 0;
    if (stream == 0) return 0;
    const DWORD stored = stream + fieldBytes;
    if (stored >= total) return storeRaw(file, storedAt, record, total);
    _llseek(file, storedAt, 0);
    vek::writeWord(file, stored);
    const bool ok = vek::writeWord(file, method);
    _llseek(file, storedAt + 8 + static_cast<LONG>(stored), 0);
    return ok ? stored : 0;
}

// Method 16; false when the record has more than 16 colours (or memory
// runs out), and nothing has been written then.
bool saveFourBit(HFILE file, LONG storedAt, const BYTE *record, DWORD total, DWORD &result)
{
    vek::FourBitImage image;
    if (!vek::MakeFourBitImage(record, total, image)) return false;
    const bool oneColour = image.count == 1;
    const DWORD h = oneColour ? 8 : 22;
    BYTE head[22] = {};
    put16(head, 0, static_cast<uint16_t>(h));
    std::memcpy(head + 2, image.colours, oneColour ? 2 : 16);
    put32(head, h - 4, oneColour ? kOneColourStream : image.length);
    vek::writeBytes(file, head, h);
    const DWORD stream = oneColour ? vek::LzssEncode(file, record, kOneColourStream)
                                   : vek::LzssEncode(file, image.block, image.length);
    if (image.block) vek::freeLocked(image.block);
    const DWORD stored = h + stream;
    _llseek(file, storedAt, 0);
    const bool ok = vek::writeWord(file, stored);
    _llseek(file, storedAt + 8 + static_cast<LONG>(stored), 0);
    result = ok ? stored : 0;
    return true;
}

// ---- Loading ----

struct Header {
    DWORD total;   // length of the block in memory
    DWORD stored;  // payload bytes in the file
    DWORD method;
};

// Reads the header (or, for a bare object, its size field, leaving the
// position at the block). False for a short file, a total under 4 or over
// the limit, or a payload that runs past the end of the file.
bool readHeader(HFILE file, DWORD flags, Header &h)
{
    const LONG left = vek::bytesLeft(file);
    DWORD room;
    if (flags & STORE_WITH_HEADER) {
        if (left < static_cast<LONG>(kHeader)) return false;
        if (!vek::readWord(file, h.total) || !vek::readWord(file, h.stored) || !vek::readWord(file, h.method))
            return false;
        room = static_cast<DWORD>(left) - kHeader;
    } else {
        DWORD size;
        if (left < 4 || !vek::readWord(file, size) || size > kMaxObject) return false;
        _llseek(file, -4, 1);
        h.total = h.stored = size + 4;
        h.method = STORE_RAW;
        room = static_cast<DWORD>(left);
    }
    return h.total >= 4 && h.total <= kMaxObject && h.stored <= room;
}

// Leaves the position after the object whose header was just read.
void skipPayload(HFILE file, const Header &h)
{
    _llseek(file, static_cast<LONG>(h.stored), 1);
}

// True when the payload can hold an object of h.total bytes: its length
// agrees with the method and its streams can expand that far.
bool payloadFits(const Header &h)
{
    const uint64_t stored = h.stored, total = h.total;
    switch (h.method) {
    case STORE_RAW: return stored == total;
    case STORE_LZSS: return stored * kLzssGain >= total;
    case STORE_IMAGE_BITS:
    case STORE_IMAGE_BITS_FLAGS: return stored >= fieldsOf(h.method) && total >= kTableEnd;
    case STORE_IMAGE_4BIT: return stored >= 8 && total >= kTableEnd;
    case STORE_PACKED_SOUND:
        return total >= kSoundHeader && stored >= kSoundHeader &&
               (total == kSoundHeader || (stored >= kSoundHeader + 2 &&
                                          total - kSoundHeader <= 1 + (stored - kSoundHeader - 2) * kMaxSoundCode));
    default: return false;
    }
}

// Reads the payload into a new block; null for a short read or no memory.
BYTE *readPayload(HFILE file, DWORD stored)
{
    auto *payload = static_cast<BYTE *>(vek::allocLocked(stored));
    if (payload && vek::readBytes(file, payload, stored) != stored) {
        vek::freeLocked(payload);
        return nullptr;
    }
    return payload;
}

// Methods 8 and 32 into r (total bytes): the header fields, the identity
// table and the pixels. Fields the payload does not name, and pixels that a
// stream ending early does not reach, are left as they were. False when the
// pixel offset is not behind the table inside the block.
bool expandImageBits(const BYTE *payload, const Header &h, BYTE *r)
{
    const DWORD offBits = u32(payload, 0);
    const DWORD fields = fieldsOf(h.method);
    if (offBits < kTableEnd - 4 || offBits > h.total - 4) return false;
    const DWORD pixels = h.total - 4 - offBits;
    put32(r, rec::kLength, h.total - 4);
    put32(r, rec::kPixelOffset, offBits);
    put32(r, rec::kInfoSize, 40);
    put32(r, rec::kWidth, u32(payload, 4));
    put32(r, rec::kHeight, u32(payload, 8));
    put16(r, rec::kPlanes, 1);
    put16(r, rec::kBitCount, 8);
    put32(r, rec::kCompression, u32(payload, 12));
    put32(r, rec::kSizeImage, u32(payload, 16));
    put32(r, rec::kXPels, 3800);
    put32(r, rec::kYPels, 3800);
    put32(r, rec::kClrUsed, 0);
    put32(r, rec::kClrImportant, 0);
    if (h.method == STORE_IMAGE_BITS_FLAGS) {
        put16(r, rec::kFlags, u16(payload, 20));
        put16(r, rec::kReserved2, u16(payload, 22));
    }
    vek::writeIndexTable(r);
    vek::LzssDecode(payload + fields, h.stored - fields, r + 4 + offBits, pixels);
    return true;
}

// Method 16: the four-bit image (or the one-colour header) expanded into r.
// A stream that ends early leaves the rest of the four-bit block zero.
// Returns r's address, which the expansion may change; null with r still to
// be freed by the caller on a damaged payload.
BYTE *expandFourBit(const BYTE *payload, const Header &h, BYTE *r)
{
    const unsigned hLength = u16(payload, 0);
    if ((hLength != 8 && hLength != 22) || h.stored < hLength) return nullptr;
    const DWORD length = u32(payload, hLength - 4);
    if (length < kOneColourStream || length > kMaxObject) return nullptr;
    // Four bytes past the stream stay 0: a one-colour header ends 4 bytes
    // short of a full BITMAPINFOHEADER.
    auto *d = static_cast<BYTE *>(vek::allocLocked(SIZE_T{length} + 4));
    if (!d) return nullptr;
    vek::LzssDecode(payload + hLength, h.stored - hLength, d, length);
    put32(r, rec::kLength, h.total - 4);
    BYTE *result = vek::ExpandFourBitImage(d, length + 4, r, h.total, payload + 2, hLength);
    vek::freeLocked(d);
    return result;
}

// Method 4: the sound object's header as stored, then the samples.
bool expandSound(const BYTE *payload, const Header &h, BYTE *r)
{
    std::memcpy(r, payload, kSoundHeader);
    if (u32(r, 0) != h.total - 4) return false;
    vek::DecodePackedSound(payload + kSoundHeader, h.stored - kSoundHeader, r + kSoundHeader,
        h.total - kSoundHeader);
    return true;
}

// The refusals of vekLoadObjectInto and of an unknown method: the position
// moves past the object, the result is null.
void *refuse(HFILE file, const Header &h)
{
    skipPayload(file, h);
    return nullptr;
}

}  // namespace

DWORD VEKAPI vekSaveObject(HFILE file, LPVOID object, DWORD flags, DWORD)
{
    if (!object) return 0;
    const auto *block = static_cast<const BYTE *>(object);
    const uint64_t total64 = uint64_t{u32(block, 0)} + 4;
    if (total64 > 0x7FFFFFFF) return 0;
    const auto total = static_cast<DWORD>(total64);
    if (!(flags & STORE_WITH_HEADER)) {
        vek::writeBytes(file, block, total);
        return total;
    }
    DWORD method = flags & kMethodMask;
    // A block too short to hold an image record's header goes out raw.
    if (isImageMethod(method) && total < kImageHeader) method = STORE_RAW;
    const LONG start = _llseek(file, 0, 1);
    if (start < 0) return 0;
    const LONG storedAt = start + 4;
    if (!vek::writeWord(file, total) || !vek::writeWord(file, total) || !vek::writeWord(file, method)) return 0;

    switch (method) {
    case STORE_RAW:
        vek::writeBytes(file, block, total);
        return 0;
    case STORE_LZSS: {
        const DWORD stored = vek::LzssEncode(file, block, total);
        if (stored == 0 || stored >= total) return storeRaw(file, storedAt, block, total);
        _llseek(file, storedAt, 0);
        vek::writeWord(file, stored);
        _llseek(file, storedAt + 8 + static_cast<LONG>(stored), 0);
        return stored;
    }
    case STORE_IMAGE_4BIT: {
        DWORD result;
        if (saveFourBit(file, storedAt, block, total, result)) return result;
        // More than 16 colours: stored as method 8, which the header then says.
        return saveImageBits(file, storedAt, block, total, STORE_IMAGE_BITS);
    }
    case STORE_IMAGE_BITS:
    case STORE_IMAGE_BITS_FLAGS: return saveImageBits(file, storedAt, block, total, method);
    default: return 0;  // methods without a payload written here: the header alone
    }
}

LPVOID VEKAPI vekLoadObject(HFILE file, DWORD flags, DWORD)
{
    Header h;
    if (!readHeader(file, flags, h)) return nullptr;
    if (!payloadFits(h)) return refuse(file, h);
    auto *r = static_cast<BYTE *>(vek::allocLocked(h.total));
    if (!r) return refuse(file, h);
    if (h.method == STORE_RAW) {
        if (vek::readBytes(file, r, h.total) == h.total && u32(r, 0) == h.total - 4) return r;
        vek::freeLocked(r);
        return nullptr;
    }
    BYTE *payload = readPayload(file, h.stored);
    bool ok = payload != nullptr;
    if (ok) {
        switch (h.method) {
        case STORE_LZSS:
            ok = vek::LzssDecode(payload, h.stored, r, h.total) == h.total && u32(r, 0) == h.total - 4;
            break;
        case STORE_IMAGE_BITS:
        case STORE_IMAGE_BITS_FLAGS: ok = expandImageBits(payload, h, r); break;
        case STORE_IMAGE_4BIT: {
            BYTE *expanded = expandFourBit(payload, h, r);
            ok = expanded != nullptr;
            if (ok) r = expanded;
            break;
        }
        case STORE_PACKED_SOUND: ok = expandSound(payload, h, r); break;
        }
        vek::freeLocked(payload);
    }
    if (!ok) {
        vek::freeLocked(r);
        return nullptr;
    }
    return r;
}

LPVOID VEKAPI vekLoadObjectInto(HFILE file, DWORD flags, DWORD, LPVOID dest)
{
    Header h;
    if (!dest || !readHeader(file, flags, h)) return nullptr;
    const bool accepted = h.method == STORE_RAW || h.method == STORE_IMAGE_BITS || h.method == STORE_IMAGE_BITS_FLAGS;
    if (!accepted || !payloadFits(h)) return refuse(file, h);
    // A library block tells its size: an object that would not fit is refused.
    if (HGLOBAL mem = GlobalHandle(dest); mem && GlobalSize(mem) < h.total) return refuse(file, h);
    auto *r = static_cast<BYTE *>(dest);
    if (h.method == STORE_RAW) {
        // The size field is checked before anything of dest is written.
        DWORD size;
        if (!vek::readWord(file, size)) return nullptr;
        if (size != h.total - 4) {
            _llseek(file, static_cast<LONG>(h.total - 4), 1);
            return nullptr;
        }
        put32(r, 0, size);
        return vek::readBytes(file, r + 4, h.total - 4) == h.total - 4 ? r : nullptr;
    }
    BYTE *payload = readPayload(file, h.stored);
    if (!payload) return nullptr;
    const bool ok = expandImageBits(payload, h, r);
    vek::freeLocked(payload);
    return ok ? r : nullptr;
}

LONG VEKAPI vekSkipObject(HFILE file, DWORD flags)
{
    DWORD length;
    if (!vek::readWord(file, length)) return HFILE_ERROR;
    DWORD unused;
    if ((flags & STORE_WITH_HEADER) && (!vek::readWord(file, length) || !vek::readWord(file, unused)))
        return HFILE_ERROR;
    if (length > 0x7FFFFFFF) return HFILE_ERROR;
    return _llseek(file, static_cast<LONG>(length), 1);
}

DWORD VEKAPI vekSizeNextObject(HFILE file, DWORD)
{
    BYTE b[4];
    const UINT n = _lread(file, b, 4);
    if (n == static_cast<UINT>(HFILE_ERROR)) return 0;
    _llseek(file, -static_cast<LONG>(n), 1);
    return n == 4 ? u32(b, 0) : 0;
}
