// vekDIBToCel: makes a cel of an uncompressed 8-bit DI record that carries
// an RGB colour table, with the literal-run cel encoder, its colours mapped
// onto a sprite context's palette.
//
// The record is consumed: its header is edited in place into the cel's
// (image flags, pixel offset, compression, identity index table) and its rows
// are read where they are. A record that is refused is left untouched.
#include <vekkit/image.h>
#include <vekkit/objfile.h>

#include "record/layout.h"
#include "common/le.h"
#include "image/literal_cel_encoder.h"

namespace {

class RecordRows final : public vek::CelRowSource {
public:
    RecordRows(const BYTE *bits, size_t stride) : row_(bits), stride_(stride) {}

    const BYTE *nextRow() override
    {
        const BYTE *row = row_;
        row_ += stride_;
        return row;
    }

private:
    const BYTE *row_;
    size_t stride_;
};

}  // namespace

LONG_PTR VEKAPI vekDIBToCel(LPVEKCONTEXT context, HSPRITEDATA image, BOOL mirror)
{
    if (!image) return VEK_CEL_BAD_FORMAT;
    // The length is checked first: it says how much of the block there is.
    const DWORD length = vek::u32(image, vek::rec::kLength);
    vek::CelInput input;
    if (vek::checkCelInput(image, length, input) != 0) return VEK_CEL_BAD_FORMAT;
    const WORD type = vek::u16(image, vek::rec::kType);
    if (type == VEK_TYPE_DD || type == VEK_TYPE_COMPOSITE) return VEK_CEL_BAD_FORMAT;
    const BYTE *bits = image + 4 + input.offset;
    const BYTE key = input.offset < length ? bits[0] : 0;

    const LONG_PTR memFile = _mcreat(length);
    if (!memFile) return VEK_CEL_NO_MEMORY;
    RecordRows rows(bits, input.stride);
    const PALETTEENTRY *palette = context ? context->paletteEntries : nullptr;
    return vek::encodeLiteralCel(image, input, key, palette, mirror != 0, memFile, rows);
}
