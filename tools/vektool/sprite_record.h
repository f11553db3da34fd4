// Sprite image records and other library blocks, as the tool makes, checks
// and draws them through the library.
#pragma once

#include "picture.h"

#include <vekkit.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vektool {

// The library's transparent index: its colour matching never yields it.
constexpr int kTransparentIndex = 8;

// A locked library block (a record, a loaded object) that the tool owns;
// released as the library releases its blocks.
struct BlockDeleter {
    void operator()(BYTE *block) const;
};
using Block = std::unique_ptr<BYTE, BlockDeleter>;

// Takes a block the library returned (null stays null).
inline Block adopt(void *block) { return Block(static_cast<BYTE *>(block)); }

// The length of a size-prefixed block: its size field + 4.
DWORD blockLength(const BYTE *block);

// Row y (0: the top row) of a raw DI record, whose rows are stored bottom
// row first.
BYTE *rowOf(BYTE *record, LONG y);

enum class RecordKind { RawImage, RleImage, DD, Composite, Other };

// What a block holds. For DI images every field below is checked against
// the block: 8 bits per pixel, sides of 1 to 32767, pixels inside it.
struct RecordInfo {
    RecordKind kind = RecordKind::Other;
    LONG width = 0, height = 0;
    WORD flags = 0;            // image flags: mirror-enable, mirrored
    DWORD pixelOffset = 0;     // from block byte 4
    DWORD pixelBytes = 0;      // raw: rows x stride; RLE: the encoded bytes
};
RecordInfo inspectRecord(const BYTE *block, DWORD length);
const char *kindName(RecordKind kind);

// An image in final palette indices, rows top first. key is the index of its
// transparent pixels, -1 when it has none.
struct IndexedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    int key = -1;
};

// A raw DI record (vekCreateSpriteDataObject) holding image; mirrored, the
// image mirrored left to right (vekFlipSprite).
Block makeRawRecord(const IndexedImage &image, bool mirrored);

// A cel (vekPalDIBToCel): a run-length encoded DI record whose pixels of
// image.key are transparent, mirror-enabled; mirrored, the image mirrored
// left to right. image.key must not be -1. Throws Failure naming shownAs.
Block makeCel(const IndexedImage &image, bool mirrored, const std::string &shownAs);

// True when the records draw the same: kind, size, flags and pixels.
bool sameImage(const BYTE *a, const BYTE *b);

// What draw draws into a raw record of width x height, as a picture through
// palette. Over a background index, or else transparent: the pixels draw
// leaves as they were then get an index of their own with alpha 0 (the
// picture is RGBA when all 256 indices are in use). draw returns false when
// the library cannot draw; this throws Failure naming shownAs then.
Picture drawnPicture(LONG width, LONG height, std::optional<uint8_t> background,
                     const std::function<bool(HSPRITEDATA canvas)> &draw, const Palette &palette,
                     const std::string &shownAs);

// A DI image record drawn by the library (vekSpriteBlt) as a picture whose
// transparent pixels, the skips of an RLE image, are transparent.
Picture pictureOf(BYTE *record, const RecordInfo &info, const Palette &palette, const std::string &shownAs);

}  // namespace vektool
