// Reading BITMAPINFO structures handed in by callers.
#include "gdi/dib_info.h"

#include <cstring>

namespace vek::gdi {

bool readDibInfo(const void *info, DibInfo &out)
{
    if (!info) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    // BITMAPINFOHEADER and its later versions (V4: 108 bytes, V5: 124).
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124) return false;
    if (h.biPlanes != 1 || !formatFor(h.biBitCount)) return false;
    if (h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
    const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!sizeFits(h.biWidth, rows, h.biBitCount)) return false;
    if (h.biCompression == BI_RLE8) {
        if (h.biBitCount != 8 || h.biHeight < 0 || h.biSizeImage == 0) return false;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    out.width = h.biWidth;
    out.height = h.biHeight;
    out.bitsPerPixel = h.biBitCount;
    out.compression = h.biCompression;
    out.sizeImage = h.biSizeImage;
    out.headerSize = h.biSize;
    const unsigned full = h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    out.colors = h.biClrUsed && h.biClrUsed < full ? h.biClrUsed : full;
    return true;
}

void readColorTable(const void *info, const DibInfo &dib, UINT usage, Surface &view)
{
    const auto *table = static_cast<const BYTE *>(info) + dib.headerSize;
    if (dib.bitsPerPixel > 8) {
        view.colors = ColorKind::Rgb;
    } else if (usage == DIB_PAL_COLORS) {
        view.colors = ColorKind::PalIndex;
        view.indices = table;
        view.indexCount = dib.colors;
    } else {
        view.colors = ColorKind::Table;
        view.table = reinterpret_cast<const RGBQUAD *>(table);
        view.tableSize = dib.colors;
    }
}

}  // namespace vek::gdi
