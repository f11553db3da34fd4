// Blits between DD sprite image records, through the GDI.
//
// A DD record names a mask bitmap (or 0) and an image bitmap. Drawn with a
// mask, the mask is ANDed in (its black pixels clear the destination where
// the sprite is opaque) and the image ORed over it; without a mask the image
// is copied.
#include "raster/blit.h"

#include "record/dd_record.h"

namespace vek {

LONG DDSpriteBlt(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src, LONG srcX,
                 LONG srcY)
{
    HDC target = CreateCompatibleDC(nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTarget = SelectObject(target, ddImage(dst));
    HBITMAP mask = ddMask(src);
    HBITMAP image = ddImage(src);
    HGDIOBJ oldSource;
    if (mask) {
        oldSource = SelectObject(source, mask);
        BitBlt(target, x, y, width, height, source, srcX, srcY, SRCAND);
        SelectObject(source, image);
        BitBlt(target, x, y, width, height, source, srcX, srcY, SRCPAINT);
    } else {
        oldSource = SelectObject(source, image);
        BitBlt(target, x, y, width, height, source, srcX, srcY, SRCCOPY);
    }
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    return 1;
}

}  // namespace vek
