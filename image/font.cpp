// Raster fonts: loading a font file into a handle, freeing it, and measuring
// strings.
#include <vekkit/image.h>
#include <vekkit/objfile.h>

#include "common/le.h"
#include "image/font_file.h"

HGLOBAL VEKAPI gfxLoadFont(LPCSTR fileName)
{
    const HFILE file = _lopen(fileName, OF_READ);
    if (file == HFILE_ERROR) return nullptr;
    const LONG length = _llseek(file, 0, 2);
    if (length < 0 || _llseek(file, 0, 0) != 0) {
        _lclose(file);
        return nullptr;
    }
    // The block is the file behind a u32 holding its length.
    const DWORD bytes = static_cast<DWORD>(length);
    HGLOBAL font = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, SIZE_T{bytes} + 4);
    if (!font) {
        _lclose(file);
        return nullptr;
    }
    auto *block = static_cast<BYTE *>(GlobalLock(font));
    if (!block) {
        GlobalFree(font);
        _lclose(file);
        return nullptr;
    }
    vek::put32(block, 0, bytes);
    vek_hread(file, block + 4, bytes);
    GlobalUnlock(font);
    _lclose(file);
    return font;
}

void VEKAPI gfxFreeFont(HGLOBAL font)
{
    if (font) GlobalFree(font);
}

DWORD VEKAPI gfxGetTextExtentFont(HGLOBAL font, LPCSTR text, LONG length)
{
    if (!font || !text) return 0;
    const vek::LockedFont f(font);
    if (!f) return 0;
    const auto *s = reinterpret_cast<const BYTE *>(text);
    const LONG n = vek::textLength(text, length);
    DWORD width = 0;
    for (LONG i = 0; i < n; i++) width += f.glyph(s[i]).width;
    return (f.pixelHeight() & 0xFFFF) << 16 | (width & 0xFFFF);
}
