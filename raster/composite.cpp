// Composite sprite image records: images made of elements, each of which
// names an image of the drawing context's image table. The record's layout
// and its elements' fields are record/layout.h and record/composite.h;
// elements are drawn in list order, so later ones cover earlier ones.
#include <vekkit/raster.h>

#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"
#include "record/composite.h"

#include <cstdint>

namespace {

// The image an element names in ctx's image table, null if none.
HSPRITEDATA imageOf(LPVEKCONTEXT ctx, const vek::CompositeElement &e)
{
    return ctx && ctx->imageTable && e.index >= 0 ? ctx->imageTable[e.index] : nullptr;
}

}  // namespace

namespace vek {

LONG CompositeSpriteBlt(LPVEKCONTEXT ctx, const RecordView &dst, LONG x, LONG y, LONG width, LONG height,
                        HSPRITEDATA comp, LONG srcX, LONG srcY)
{
    const size_t count = compositeElementCount(comp);
    for (size_t i = 0; i < count; i++) {
        const CompositeElement e = compositeElement(comp, i);
        HSPRITEDATA image = imageOf(ctx, e);
        if (!image) continue;
        // Elements entirely beside the window are passed over; one that only
        // touches its edge is not, and its blit clips to nothing.
        if (e.left + e.width < srcX || int64_t{srcX} + width < e.left || srcY > e.top + e.height ||
            int64_t{srcY} + height < e.top)
            continue;
        const AxisPiece px = placePiece(srcX, x, width, e.left), py = placePiece(srcY, y, height, e.top);
        RecordView source = viewRecord(image);
        blitCore(dst, source,
                 BlitRect{saturate(px.at), saturate(py.at), saturate(px.size), saturate(py.size), saturate(px.from),
                          saturate(py.from)},
                 e.mirrored);
    }
    return 1;
}

}  // namespace vek

LONG VEKAPI vekDIBBltCM(LPVEKCONTEXT ctx, HDC dc, LONG, LONG, LONG, LONG, HSPRITEDATA comp, LONG, LONG)
{
    if (!ctx || !comp || !vek::isCompositeRecord(comp)) return 0;
    const size_t count = vek::compositeElementCount(comp);
    for (size_t i = 0; i < count; i++) {
        const vek::CompositeElement e = vek::compositeElement(comp, i);
        if (HSPRITEDATA image = imageOf(ctx, e))
            vekDIBBlt(dc, static_cast<LONG>(e.left), static_cast<LONG>(e.top), static_cast<LONG>(e.width),
                      static_cast<LONG>(e.height), image, 0, 0);
    }
    return 1;
}
