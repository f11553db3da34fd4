// vekBuildCompositeSprite: flattens a list of placed sprite images into one
// cel, so that a group of images can be drawn as a single sprite.
//
// The composite entry list is the caller's structure (VEKCOMPOSITELIST):
//
//   count      i16, the number of entries (then two unused bytes)
//   entries    count x { image, left, top, right, bottom }
//
// The rectangles share one coordinate space, y growing downwards, right and
// bottom exclusive, every coordinate within -30000..30000. The canvas covers
// their bounding box; it starts filled with the transparent index 8 and each
// entry's image is drawn, in list order, at its rectangle's top-left corner
// and clipped to the rectangle, from the image's own top-left pixel. The
// canvas is then encoded by the repeat-run cel encoder, whose key colour is
// the canvas's first stored pixel, its bottom-left corner.
#include <vekkit/image.h>
#include <vekkit/raster.h>
#include <vekkit/sprite.h>

#include <algorithm>
#include <cstdint>

#include "record/layout.h"
#include "image/cel_encoder.h"
#include "raster/blit.h"

namespace {

// The bounding box starts at these and coordinates must lie between them.
constexpr LONG kMinCoordinate = -30000;
constexpr LONG kMaxCoordinate = 30000;

// The palette index that composite canvases start with.
constexpr LONG kTransparentIndex = 8;

// The canvas is a long-table record (vekCreateSpriteData): its pixels start
// at this offset from byte 4, which the encoder's header size follows.
constexpr uint64_t kCanvasPixelOffset = vek::rec::kPixelsLong - 4;

bool inRange(LONG v) { return v >= kMinCoordinate && v <= kMaxCoordinate; }

bool entryInRange(const VEKCOMPOSITEENTRY &e)
{
    return inRange(e.left) && inRange(e.top) && inRange(e.right) && inRange(e.bottom);
}

}  // namespace

LONG_PTR VEKAPI vekBuildCompositeSprite(LPVEKCOMPOSITELIST list)
{
    // An empty list has no bounding box and nothing to encode.
    if (!list || list->count <= 0) return VEK_CEL_BAD_FORMAT;
    const VEKCOMPOSITEENTRY *const first = list->entries;
    const VEKCOMPOSITEENTRY *const last = first + list->count;
    if (!std::all_of(first, last, entryInRange)) return VEK_CEL_BAD_FORMAT;

    LONG left = kMaxCoordinate, top = kMaxCoordinate;
    LONG right = kMinCoordinate, bottom = kMinCoordinate;
    for (const VEKCOMPOSITEENTRY *e = first; e != last; e++) {
        left = std::min(left, e->left);
        top = std::min(top, e->top);
        right = std::max(right, e->right);
        bottom = std::max(bottom, e->bottom);
    }
    // Sizes outside 1..32767 give no canvas; so does one whose cel could
    // outgrow what the encoder makes, which is refused before the canvas
    // is allocated and filled.
    const LONG width = right - left, height = bottom - top;
    if (width < 1 || height < 1 ||
        vek::repeatRunCelBound(kCanvasPixelOffset, static_cast<uint64_t>(width), static_cast<uint64_t>(height)) >
            vek::kMaxRepeatRunCelBytes)
        return VEK_CEL_NO_MEMORY;
    HSPRITEDATA canvas = vekCreateSpriteData(width, height);
    if (!canvas) return VEK_CEL_NO_MEMORY;

    vekSpriteFill(canvas, 0, 0, width, height, kTransparentIndex);
    // Entries whose image cannot be drawn into a raw image (none, a DD or a
    // composite record, a damaged one) leave their rectangle as it is. The
    // blit turns a mirrored image back in place first.
    for (const VEKCOMPOSITEENTRY *e = first; e != last; e++)
        vek::SpriteBltCore(canvas, e->left - left, e->top - top, e->right - e->left, e->bottom - e->top, e->image,
                           0, 0, 0);

    const LONG_PTR cel = vek::encodeRepeatRunCel(canvas, false);
    vekDeleteSpriteData(canvas);
    return cel;
}
