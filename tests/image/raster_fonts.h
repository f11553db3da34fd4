// Raster font files written byte by byte, font handles made from them, raw
// 8-bit images, and a plain pixel-by-pixel reference of text drawing that
// reads the glyphs straight from the file bytes.
#pragma once

#include <vekkit.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace fonts {

using support::get16;
using support::get32;

// One glyph: width in pixels and its rows, each a string with '#' for ink.
struct GlyphRows {
    BYTE code;
    WORD width;
    std::vector<std::string> rows;
};

// A version 3.00 font file: 148-byte header, the character table for
// first..last plus the closing entry, then the glyph bitmaps as column
// strips. Codes of the range without a glyph of their own get width 0.
// defaultChar is stored as given (it counts from first).
inline std::vector<BYTE> buildFont(WORD height, BYTE first, BYTE last, BYTE defaultChar,
                                   const std::vector<GlyphRows> &glyphs, WORD version = 0x0300)
{
    const size_t entries = static_cast<size_t>(last - first) + 2;
    std::vector<BYTE> file(148 + 6 * entries);
    support::put16(file.data(), 0, version);
    support::put16(file.data(), 88, height);
    file[95] = first;
    file[96] = last;
    file[97] = defaultChar;
    for (const GlyphRows &g : glyphs) {
        const size_t at = 148 + 6 * static_cast<size_t>(g.code - first);
        support::put16(file.data(), at, g.width);
        support::put32(file.data(), at + 2, static_cast<DWORD>(file.size()));
        const size_t strips = (g.width + 7u) / 8u;
        std::vector<BYTE> bits(strips * height);
        for (size_t r = 0; r < g.rows.size() && r < height; r++)
            for (size_t c = 0; c < g.rows[r].size() && c < g.width; c++)
                if (g.rows[r][c] == '#') bits[(c / 8) * height + r] |= static_cast<BYTE>(0x80 >> (c % 8));
        file.insert(file.end(), bits.begin(), bits.end());
    }
    support::put32(file.data(), 2, static_cast<DWORD>(file.size()));
    return file;
}

// A font handle as gfxLoadFont makes one: the length, then the file.
class FontHandle {
public:
    explicit FontHandle(const std::vector<BYTE> &file) : FontHandle(file, static_cast<DWORD>(file.size())) {}
    // storedLength may differ from the bytes that follow (a damaged handle).
    FontHandle(const std::vector<BYTE> &file, DWORD storedLength)
    {
        handle_ = GlobalAlloc(GMEM_MOVEABLE, file.size() + 4);
        auto *p = static_cast<BYTE *>(GlobalLock(handle_));
        support::put32(p, 0, storedLength);
        if (!file.empty()) std::memcpy(p + 4, file.data(), file.size());
        GlobalUnlock(handle_);
    }
    ~FontHandle() { gfxFreeFont(handle_); }
    FontHandle(const FontHandle &) = delete;
    FontHandle &operator=(const FontHandle &) = delete;
    operator HGLOBAL() const { return handle_; }

private:
    HGLOBAL handle_ = nullptr;
};

// A raw 8-bit record whose pixels all hold fill; pixels at byte 572.
class Image {
public:
    Image(LONG width, LONG height, BYTE fill) : width_(width), height_(height)
    {
        record_ = vekCreateSpriteDataObject(width, height);
        for (LONG y = 0; y < height; y++) std::memset(at(0, y), fill, static_cast<size_t>(width));
    }
    ~Image() { vekDeleteSpriteData(record_); }
    Image(const Image &) = delete;
    Image &operator=(const Image &) = delete;
    operator HSPRITEDATA() const { return record_; }

    LONG width() const { return width_; }
    LONG height() const { return height_; }
    LONG stride() const { return (width_ + 3) & ~3; }
    BYTE *at(LONG x, LONG y) const { return record_ + 572 + static_cast<size_t>(height_ - 1 - y) * stride() + x; }
    // All pixel bytes including row padding, bottom row first.
    std::vector<BYTE> pixels() const
    {
        return std::vector<BYTE>(record_ + 572, record_ + 572 + static_cast<size_t>(stride()) * height_);
    }
    // Row y as text: '.' for fill, the hex digit of other values below 16.
    std::string row(LONG y, BYTE fill) const
    {
        std::string s;
        for (LONG x = 0; x < width_; x++) {
            const BYTE v = *at(x, y);
            s += v == fill ? '.' : "0123456789abcdef"[v & 15];
        }
        return s;
    }

private:
    LONG width_, height_;
    HSPRITEDATA record_;
};

// Reference reading of a font file: glyph lookup with the default
// character counted from the first one; table entries and glyph bytes
// outside the file are absent (width 0, clear bits).
class Reference {
public:
    explicit Reference(const std::vector<BYTE> &file) : file_(file) {}

    WORD height() const { return file_.size() >= 90 ? get16(file_.data(), 88) : 0; }

    // Width of code c and the file offset of its bitmap (width 0: none).
    WORD width(BYTE c, DWORD *offset = nullptr) const
    {
        if (file_.size() < 148 || get16(file_.data(), 0) != 0x0300) return 0;
        const int first = file_[95], last = file_[96], def = first + file_[97];
        int code = c;
        if (code < first || code > last) {
            if (code == def) return 0;
            code = def;
            if (code < first || code > last) return 0;
        }
        const size_t entry = 148 + 6 * static_cast<size_t>(code - first);
        if (entry + 6 > file_.size()) return 0;
        if (offset) *offset = get32(file_.data(), entry + 2);
        return get16(file_.data(), entry);
    }

    bool ink(DWORD offset, WORD column, WORD row) const
    {
        const size_t at = static_cast<size_t>(offset) + static_cast<size_t>(column / 8) * height() + row;
        return at < file_.size() && (file_[at] & (0x80 >> (column % 8)));
    }

    // Draws text into a copy of the image's pixels, pixel by pixel, and
    // returns the result gfxTextOutToDIB must give.
    LONG draw(const Image &image, std::vector<BYTE> &pixels, BYTE colour, LONG x, LONG y, const std::string &text) const
    {
        const LONG w = image.width(), h = image.height(), stride = image.stride();
        if (y >= h || x >= w || text.empty()) return 0;
        LONG pen = x;
        for (unsigned char c : text) {
            if (pen >= w) break;
            DWORD offset = 0;
            const WORD cw = width(c, &offset);
            for (WORD col = 0; col < cw; col++)
                for (WORD row = 0; row < height(); row++) {
                    const LONG px = pen + col, py = y + row;
                    if (px < 0 || px >= w || py < 0 || py >= h || !ink(offset, col, row)) continue;
                    pixels[static_cast<size_t>(h - 1 - py) * stride + px] = colour;
                }
            pen += cw;
        }
        const bool rowsInside = height() > 0 && y + static_cast<LONG>(height()) > 0;
        return rowsInside && pen > 0 ? 1 : 0;
    }

private:
    const std::vector<BYTE> &file_;
};

}  // namespace fonts
