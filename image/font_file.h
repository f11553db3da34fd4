// Raster font files (the Windows FNT format, version 3.00) as the font calls
// read them.
//
// A font handle is a movable global block: a u32 holding the file's length,
// then the file, unchanged. Of the file only these fields are read
// (little-endian, offsets from the start of the file):
//
//   0    u16  version          0x0300; any other version has no characters
//   88   u16  pixel height     rows of every glyph, bytes per column strip
//   95   u8   first character  lowest code in the font
//   96   u8   last character   highest code in the font
//   97   u8   default character, counted from the first character: the glyph
//             drawn for codes outside first..last
//   148       character table, 6 bytes for each code first..last:
//             u16 width in pixels, u32 offset of the glyph bitmap
//
// A glyph bitmap is ceil(width / 8) column strips of pixel-height bytes each,
// one byte per row from the top down; bit 7 of a byte is the leftmost of its
// eight pixels, a set bit is ink.
//
// Nothing of the file is trusted: a field, table entry or glyph byte that
// lies beyond the file's length (or beyond the block) reads as absent. A
// table entry outside the file gives a character of width 0; a glyph whose
// bitmap runs past the end keeps its width and has only its bytes inside
// the file drawn.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/le.h"

namespace vek {

namespace fnt {
constexpr size_t kVersion = 0;
constexpr size_t kPixelHeight = 88;
constexpr size_t kFirstChar = 95;
constexpr size_t kLastChar = 96;
constexpr size_t kDefaultChar = 97;
constexpr size_t kCharTable = 148;
constexpr size_t kEntrySize = 6;  // u16 width, u32 bitmap offset
constexpr uint16_t kVersion300 = 0x0300;
}  // namespace fnt

// One glyph: its width in pixels and where its bitmap starts. available is
// the number of bitmap bytes that lie inside the file from bits on (it may be
// less than the bitmap's size for a damaged font, and is 0 when the offset
// lies beyond the file).
struct Glyph {
    uint32_t width = 0;
    const BYTE *bits = nullptr;
    uint64_t available = 0;
};

// A font handle locked for the duration of one call; false when the handle
// is null or cannot be locked. The file length is bounded by the block.
class LockedFont {
public:
    explicit LockedFont(HGLOBAL handle) : handle_(handle)
    {
        if (!handle_) return;
        const SIZE_T blockSize = GlobalSize(handle_);
        block_ = static_cast<const BYTE *>(GlobalLock(handle_));
        if (!block_) return;
        if (blockSize < 4) {
            length_ = 0;
            return;
        }
        const uint32_t stored = u32(block_, 0);
        length_ = stored < blockSize - 4 ? stored : static_cast<uint32_t>(blockSize - 4);
        readHeader();
    }
    ~LockedFont()
    {
        if (block_) GlobalUnlock(handle_);
    }
    LockedFont(const LockedFont &) = delete;
    LockedFont &operator=(const LockedFont &) = delete;

    explicit operator bool() const { return block_ != nullptr; }

    // Rows of every glyph; 0 when the file is too short to hold the field.
    uint32_t pixelHeight() const { return height_; }

    // The glyph of character code c: codes outside first..last take the
    // default character's glyph (one substitution at most); a code without a
    // glyph gets width 0.
    Glyph glyph(BYTE c) const
    {
        int code = c;
        if (code < first_ || code > last_) {
            if (code == default_) return {};
            code = default_;
            if (code < first_ || code > last_) return {};
        }
        const uint32_t index = static_cast<uint32_t>(code - first_);
        if (index >= entries_) return {};
        const BYTE *entry = file() + fnt::kCharTable + index * fnt::kEntrySize;
        Glyph g;
        g.width = u16(entry, 0);
        const uint32_t offset = u32(entry, 2);
        if (offset < length_) {
            g.bits = file() + offset;
            g.available = length_ - offset;
        }
        return g;
    }

private:
    const BYTE *file() const { return block_ + 4; }

    // Reads the header fields that lie inside the file. A font of another
    // version, or one too short for its header, keeps an empty range and so
    // has no characters.
    void readHeader()
    {
        if (length_ >= fnt::kPixelHeight + 2) height_ = u16(file(), fnt::kPixelHeight);
        if (length_ < fnt::kCharTable || u16(file(), fnt::kVersion) != fnt::kVersion300) return;
        first_ = file()[fnt::kFirstChar];
        last_ = file()[fnt::kLastChar];
        // The default character counts from the first character, so its code
        // may lie beyond 255: such a code matches no character.
        default_ = first_ + file()[fnt::kDefaultChar];
        if (last_ >= first_) {
            const uint32_t inTable = (length_ - fnt::kCharTable) / fnt::kEntrySize;
            const uint32_t inRange = static_cast<uint32_t>(last_ - first_ + 1);
            entries_ = inRange < inTable ? inRange : inTable;
        }
    }

    HGLOBAL handle_;
    const BYTE *block_ = nullptr;
    uint32_t length_ = 0;   // bytes of the file inside the block
    uint32_t height_ = 0;
    int first_ = 1;         // an empty range until the header is read
    int last_ = 0;
    int default_ = -1;
    uint32_t entries_ = 0;  // table entries that lie inside the file
};

// Length of a string argument: a negative length means zero-terminated.
inline LONG textLength(LPCSTR text, LONG length) { return length < 0 ? lstrlenA(text) : length; }

}  // namespace vek
