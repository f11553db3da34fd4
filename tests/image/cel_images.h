// Bitmap files, DI records, palettes and a plain cel decoder for the image
// tests.
#pragma once

#include <vekkit.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace celtest {

using Bytes = std::vector<BYTE>;

// An 8-bit bottom-up image: rows in stored order, each padded to the stride.
struct Image {
    int width = 0;
    int height = 0;
    Bytes bits;
    RGBQUAD table[256] = {};

    static int strideOf(int width) { return (width + 3) & ~3; }
    int stride() const { return strideOf(width); }
    BYTE &at(int x, int storedRow) { return bits[static_cast<size_t>(storedRow) * stride() + x]; }
};

inline Image makeImage(int width, const std::vector<Bytes> &rows)
{
    Image image;
    image.width = width;
    image.height = static_cast<int>(rows.size());
    image.bits.assign(static_cast<size_t>(image.stride()) * image.height, 0);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < width; x++) image.at(x, y) = rows[y][x];
    return image;
}

// A colour table of 256 distinct colours, none of them black.
inline void distinctTable(RGBQUAD *table)
{
    for (int i = 0; i < 256; i++)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i ^ 0x5A), 0};
}

// The same colours as palette entries.
inline std::vector<PALETTEENTRY> paletteOf(const RGBQUAD *table)
{
    std::vector<PALETTEENTRY> palette(256);
    for (int i = 0; i < 256; i++)
        palette[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return palette;
}

// The bytes of a bitmap file with a 1078-byte header (or offBits).
inline Bytes bmpFile(const Image &image, DWORD offBits = 1078, WORD bitCount = 8, DWORD compression = BI_RGB)
{
    Bytes file(offBits + image.bits.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    support::put32(file.data(), 2, static_cast<DWORD>(file.size()));
    support::put32(file.data(), 10, offBits);
    support::put32(file.data(), 14, 40);
    support::put32(file.data(), 18, static_cast<DWORD>(image.width));
    support::put32(file.data(), 22, static_cast<DWORD>(image.height));
    support::put16(file.data(), 26, 1);
    support::put16(file.data(), 28, bitCount);
    support::put32(file.data(), 30, compression);
    for (int i = 0; i < 256 && 54 + 4 * i + 4 <= static_cast<int>(offBits); i++) {
        BYTE *e = &file[54 + 4 * i];
        e[0] = image.table[i].rgbBlue;
        e[1] = image.table[i].rgbGreen;
        e[2] = image.table[i].rgbRed;
    }
    std::copy(image.bits.begin(), image.bits.end(), file.begin() + offBits);
    return file;
}

// A DI record (a locked global block) holding the file bytes after its image
// length; release with freeRecord.
inline HSPRITEDATA recordOf(const Bytes &file)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, file.size() + 4);
    auto *record = static_cast<BYTE *>(GlobalLock(mem));
    support::put32(record, 0, static_cast<DWORD>(file.size()));
    std::copy(file.begin(), file.end(), record + 4);
    return record;
}

inline void freeRecord(HSPRITEDATA record)
{
    HGLOBAL mem = GlobalHandle(record);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

inline Bytes blockBytes(const BYTE *block) { return Bytes(block, block + 4 + support::get32(block, 0)); }

// The encoded bits of a cel, from its pixel offset to the end of its block.
inline Bytes celBits(const BYTE *cel)
{
    const DWORD offset = support::get32(cel, 14);
    return Bytes(cel + 4 + offset, cel + 4 + support::get32(cel, 0));
}

// A path in the temporary folder.
inline std::string tempPath(const char *name)
{
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    return std::string(n && n < MAX_PATH ? temp : "") + name;
}

inline bool writeFile(const std::string &path, const Bytes &bytes)
{
    const HFILE f = _lcreat(path.c_str(), 0);
    if (f == HFILE_ERROR) return false;
    const UINT n = bytes.empty() ? 0 : _lwrite(f, reinterpret_cast<LPCSTR>(bytes.data()), static_cast<UINT>(bytes.size()));
    _lclose(f);
    return n == bytes.size();
}

inline Bytes readFile(const std::string &path)
{
    Bytes bytes;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<BYTE>(c));
        std::fclose(f);
    }
    return bytes;
}

// Decodes a cel's stream the plain way: one value per pixel, -1 where a skip
// or the end of a row leaves the pixel, rows in stored order. Returns false
// (with a reason) for a stream that a writer must not produce: a row longer
// than the width, a token past the end, rows other than height, a missing
// end of image, bytes after it, or a row with an opaque pixel that does not
// start with a skip.
inline bool decodeCel(const BYTE *cel, std::vector<int> &pixels, std::string &why)
{
    const int width = static_cast<int>(support::get32(cel, 22));
    const int height = static_cast<int>(support::get32(cel, 26));
    const Bytes bits = celBits(cel);
    pixels.assign(static_cast<size_t>(width) * (height > 0 ? height : 0), -1);
    size_t p = 0;
    int y = 0, x = 0;
    bool rowStart = true;
    auto fail = [&](const char *reason) {
        why = std::string(reason) + " at stream byte " + std::to_string(p) + ", row " + std::to_string(y);
        return false;
    };
    for (;;) {
        if (p + 2 > bits.size()) return fail("stream ends without end of image");
        const int n = bits[p], c = bits[p + 1];
        const bool skip = n == 0 && c == 2;
        if (rowStart && !(n == 0 && c <= 2)) return fail("row starts without a skip");
        rowStart = false;
        if (n == 0 && c == 0) {
            y++, x = 0, p += 2, rowStart = true;
            continue;
        }
        if (n == 0 && c == 1) {
            if (y != height && !(height <= 0 && y == 0)) return fail("wrong number of rows");
            if (p + 2 != bits.size()) return fail("bytes after the end of image");
            return true;
        }
        if (y >= height) return fail("pixels after the last row");
        if (skip) {
            if (p + 4 > bits.size()) return fail("cut skip");
            x += bits[p + 2];
            if (x > width) return fail("skip past the row");
            p += 4;
        } else if (n == 0) {
            const size_t bytes = 2 + c + (c & 1);
            if (p + bytes > bits.size()) return fail("cut absolute run");
            if (x + c > width) return fail("absolute run past the row");
            for (int i = 0; i < c; i++) pixels[static_cast<size_t>(y) * width + x++] = bits[p + 2 + i];
            p += bytes;
        } else {
            if (x + n > width) return fail("encoded run past the row");
            for (int i = 0; i < n; i++) pixels[static_cast<size_t>(y) * width + x++] = c;
            p += 2;
        }
    }
}

// What the cel of image must decode to: -1 for the key colour (the first
// stored pixel), map[value] otherwise, rows mirrored when asked.
inline std::vector<int> expectedPixels(const Image &image, const BYTE *map, bool mirror)
{
    std::vector<int> pixels;
    const BYTE key = image.bits.empty() ? 0 : image.bits[0];
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            const BYTE v = image.bits[static_cast<size_t>(y) * image.stride() + (mirror ? image.width - 1 - x : x)];
            pixels.push_back(v == key ? -1 : map[v]);
        }
    return pixels;
}

}  // namespace celtest
