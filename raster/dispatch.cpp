// The blit dispatch: which blit draws a source record into a destination
// record, and the extended blit built on it. Both records are viewed once
// here and the views passed down.
#include "raster/dispatch.h"

#include <vekkit/raster.h>

#include "raster/blit.h"
#include "raster/transformed_blit.h"

namespace vek {

LONG SpriteBltDispatch(LPVEKCONTEXT ctx, HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                       HSPRITEDATA src, LONG srcX, LONG srcY, LONG mirror, LPVEKSPRITE sprite)
{
    if (!dst || !src) return 0;
    RecordView s = viewRecord(src);
    const RecordView d = viewRecord(dst);
    // A composite is drawn element by element even for a transformed sprite.
    if (s.kind == RecordKind::Composite)
        return ctx ? CompositeSpriteBlt(ctx, d, x, y, width, height, src, srcX, srcY) : 0;
    // A DD record paired with a DI record: one side has no bitmap handles to
    // blit, the other no pixels to read as such.
    const bool dstDD = d.kind == RecordKind::DD;
    if (dstDD != (s.kind == RecordKind::DD)) return 0;
    if (dstDD) return DDSpriteBlt(dst, x, y, width, height, src, srcX, srcY);
    if (sprite && sprite->transform) return TransformedSpriteBlt(d, x, y, s, srcX, srcY, width, height, sprite);
    return blitCore(d, s, BlitRect{x, y, width, height, srcX, srcY}, mirror);
}

}  // namespace vek

LONG VEKAPI vekSpriteBltEx(LPVEKCONTEXT ctx, HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                           HSPRITEDATA src, LONG srcX, LONG srcY, LONG mirror)
{
    return vek::SpriteBltDispatch(ctx, dst, x, y, width, height, src, srcX, srcY, mirror, nullptr);
}
