// Fuzz target: text drawn with an arbitrary font block into a small image.
//
// Input: i16 x, i16 y (little-endian), u8 image width - 1 (low 6 bits),
// u8 image height - 1 (low 6 bits), u8 text length (low 7 bits; bit 7 set
// makes the font's length word 0xFFFFFFFF, larger than its block), the text,
// then the font file. The record's block is exactly as long as its pixels,
// so that a write past it is caught; the row padding and the headers must
// come out unchanged, and measuring must not touch anything.
#include <windows.h>
#include <vekkit/image.h>
#include <vekkit/sprite.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 7) return 0;
    const LONG x = static_cast<int16_t>(data[0] | data[1] << 8);
    const LONG y = static_cast<int16_t>(data[2] | data[3] << 8);
    const LONG width = (data[4] & 63) + 1;
    const LONG height = (data[5] & 63) + 1;
    const size_t textLength = data[6] & 0x7F;
    const bool longLengthWord = data[6] & 0x80;
    if (size < 7 + textLength) return 0;
    const char *text = reinterpret_cast<const char *>(data + 7);
    const uint8_t *file = data + 7 + textLength;
    const size_t fileSize = size - 7 - textLength;

    HGLOBAL font = GlobalAlloc(GMEM_MOVEABLE, fileSize + 4);
    if (!font) return 0;
    auto *block = static_cast<BYTE *>(GlobalLock(font));
    const DWORD lengthWord = longLengthWord ? 0xFFFFFFFF : static_cast<DWORD>(fileSize);
    std::memcpy(block, &lengthWord, 4);
    if (fileSize) std::memcpy(block + 4, file, fileSize);
    GlobalUnlock(font);

    HSPRITEDATA image = vekCreateSpriteDataObject(width, height);
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    const size_t recordSize = 572 + stride * static_cast<size_t>(height);
    std::vector<BYTE> before(image, image + recordSize);
    // Padding bytes are marked so that a stray write shows.
    for (LONG row = 0; row < height; row++)
        for (size_t col = static_cast<size_t>(width); col < stride; col++) before[572 + row * stride + col] = 0x5A;
    std::memcpy(image, before.data(), recordSize);

    gfxGetTextExtentFont(font, text, static_cast<LONG>(textLength));
    const LONG result = gfxTextOutToDIB(image, font, 0xC3, 0, x, y, text, static_cast<LONG>(textLength));
    if (result != 0 && result != 1) std::abort();
    if (std::memcmp(image, before.data(), 572) != 0) std::abort();
    for (LONG row = 0; row < height; row++) {
        const size_t at = 572 + row * stride;
        for (size_t col = 0; col < stride; col++) {
            const BYTE v = image[at + col];
            const bool inside = col < static_cast<size_t>(width);
            if (inside ? v != before[at + col] && v != 0xC3 : v != 0x5A) std::abort();
        }
    }
    // The font block is given back unlocked and unchanged.
    block = static_cast<BYTE *>(GlobalLock(font));
    if ((GlobalFlags(font) & GMEM_LOCKCOUNT) != 1 || (fileSize && std::memcmp(block + 4, file, fileSize) != 0))
        std::abort();
    GlobalUnlock(font);
    vekDeleteSpriteData(image);
    GlobalFree(font);
    return 0;
}
