// The literal-run cel encoder shared by vekLoadCel and vekDIBToCel: maps an
// 8-bit image with an RGB colour table onto a palette and writes it as a cel
// through a memory file.
#pragma once

#include <vekkit/records.h>

#include <cstddef>
#include <cstdint>

namespace vek {

// The literal buffer and file buffer sizes that the encoder is built around;
// both grow to a row of a wider image.
constexpr size_t kLiteralBufferBytes = 4000;
constexpr size_t kFileBufferBytes = 16000;

// The fields of an input image that the encoder works from.
struct CelInput {
    uint32_t offset = 0;  // bfOffBits: the bits, counted from the file header
    size_t width = 0;     // low 16 bits of biWidth, signed, at least 0
    size_t rows = 0;      // low 16 bits of biHeight, signed; none when <= 0
    size_t stride = 0;    // width rounded up to a multiple of 4
};

// Checks an input image held record-style (the bitmap file image from byte 4
// on), of which `available` bytes from byte 4 on exist: one plane, 8 bits,
// uncompressed, a width of at least 0, a full 1024-byte colour table before
// the bits and all rows inside those bytes. VEK_CEL_BAD_FORMAT or 0.
LONG checkCelInput(const BYTE *image, uint64_t available, CelInput &input);

// Hands the encoder the input rows in stored order, stride bytes each.
class CelRowSource {
public:
    virtual const BYTE *nextRow() = 0;

protected:
    ~CelRowSource() = default;
};

// Encodes the checked image into the memory file memFile (its position at 0)
// and closes it; the memory file is consumed on every path. The image's
// header is edited in place: image flags = mirror-enable, pixel offset = the
// cel's header size, biCompression = BI_RLE8, the first 512 bytes of the
// colour table = the identity index table. key is the input's first pixel
// byte; palette null maps every pixel to itself. Returns the cel or
// VEK_CEL_NO_MEMORY.
LONG_PTR encodeLiteralCel(BYTE *image, const CelInput &input, BYTE key, const PALETTEENTRY *palette, bool mirror,
                          LONG_PTR memFile, CelRowSource &rows);

// Encodes one row of n pixels (already in traversal order) whose transparent
// pixels have the value key, mapping opaque pixels through map and
// collecting them in literals (room for n bytes). Returns the bytes written
// to out, which must hold rle::rowBound(n) bytes.
size_t encodeLiteralRow(const BYTE *pixels, size_t n, BYTE key, const BYTE *map, BYTE *literals, BYTE *out);

}  // namespace vek
