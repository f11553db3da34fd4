// Fuzz target: the cel makers on any bitmap file.
//
// Input: one flags byte (bit 0: mirror, bit 1: map onto a palette), then the
// file's bytes. vekLoadCel reads the file; vekDIBToCel and vekPalDIBToCel
// get a DI record holding the same bytes. Every cel made must be a block of
// exactly its size whose stream, read with the library's token reader, holds
// its height in rows, none wider than its width, and ends with the end of
// image; mirrored twice in place it must come back byte for byte.
#include <vekkit/image.h>
#include <vekkit/raster.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/object_file_input.h"
#include "record/rle.h"

namespace {

uint32_t field(const BYTE *b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// Walks a cel's stream and aborts on anything an encoder must not write.
// The literal-run makers take width and height from the low 16 bits of the
// fields, the repeat-run encoder the whole fields.
void checkCel(LONG_PTR result, bool sixteenBitSides)
{
    if (result < 0) {
        if (result < VEK_CEL_NO_FILE) std::abort();
        return;
    }
    auto *cel = reinterpret_cast<BYTE *>(result);
    HGLOBAL mem = GlobalHandle(cel);
    const uint64_t length = field(cel, 0);
    if (GlobalSize(mem) != length + 4) std::abort();
    int64_t width = static_cast<int32_t>(field(cel, 22));
    int64_t height = static_cast<int32_t>(field(cel, 26));
    if (sixteenBitSides) {
        width = static_cast<int16_t>(width);
        height = static_cast<int16_t>(height);
    }
    const BYTE *p = cel + 4 + field(cel, 14);
    const BYTE *end = cel + 4 + length;
    if (p > end) std::abort();
    int64_t rows = 0, x = 0;
    for (vek::rle::Token t; (t = vek::rle::next(p, end)).op != vek::rle::Op::EndOfImage;) {
        if (t.op == vek::rle::Op::Damaged) std::abort();
        if (t.op == vek::rle::Op::EndOfRow) {
            rows++, x = 0;
            continue;
        }
        x += static_cast<int64_t>(t.count);
        if (x > width) std::abort();
    }
    if (p + 2 != end || rows != (height > 0 ? height : 0)) std::abort();

    const std::vector<BYTE> made(cel, cel + length + 4);
    vekFlipSprite(cel);
    vekFlipSprite(cel);
    if (std::memcmp(made.data(), cel, made.size()) != 0) std::abort();
    GlobalUnlock(mem);
    GlobalFree(mem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScratchFile scratch;
    static PALETTEENTRY palette[256];
    if (size < 1) return 0;
    if (palette[255].peRed == 0)
        for (int i = 0; i < 256; i++) palette[i] = PALETTEENTRY{BYTE(i), BYTE(i * 7), BYTE(255 - i), 0};
    const BOOL mirror = data[0] & 1;
    VEKCONTEXT context{};
    context.paletteEntries = palette;
    LPVEKCONTEXT mapTo = data[0] & 2 ? &context : nullptr;
    data++, size--;

    const HFILE f = scratch.holding(data, size);
    if (f == HFILE_ERROR) return 0;
    _lclose(f);
    checkCel(vekLoadCel(mapTo, scratch.path().c_str(), mirror), true);

    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 4);
    auto *record = static_cast<BYTE *>(GlobalLock(mem));
    std::memcpy(record + 4, data, size);
    for (int i = 0; i < 4; i++) record[i] = static_cast<BYTE>(size >> 8 * i);
    // A zero-width record of millions of rows is valid and slow; the harness
    // keeps to the heights a DI record has.
    const int32_t height = size >= 26 ? static_cast<int32_t>(field(record, 26)) : 0;
    if (height <= 32767) checkCel(vekPalDIBToCel(record, mirror, 0), false);
    checkCel(vekDIBToCel(&context, record, mirror), true);
    GlobalUnlock(mem);
    GlobalFree(mem);
    return 0;
}
