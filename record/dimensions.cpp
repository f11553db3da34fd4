// Measuring sprite image records.
#include "record/dimensions.h"

#include "common/saturate.h"
#include "record/dd_record.h"
#include "record/layout.h"
#include "record/record_view.h"

namespace vek {

DWORD spriteDimensions(HSPRITEDATA image, LONG *width, LONG *height)
{
    LONG w = 0, h = 0;
    switch (recordKind(image)) {
    case RecordKind::DD: {
        BITMAP bm{};
        GetObjectA(ddImage(image), sizeof bm, &bm);
        w = static_cast<SHORT>(bm.bmWidth);
        h = static_cast<SHORT>(bm.bmHeight);
        break;
    }
    case RecordKind::Composite:
        w = subSat(i32(image, rec::kBounds + 8), i32(image, rec::kBounds));
        h = subSat(i32(image, rec::kBounds + 12), i32(image, rec::kBounds + 4));
        break;
    case RecordKind::DI:
        w = i32(image, rec::kWidth);
        h = i32(image, rec::kHeight);
        break;
    }
    if (width) *width = w;
    if (height) *height = h;
    return static_cast<DWORD>(h) << 16 | (static_cast<DWORD>(w) & 0xFFFF);
}

}  // namespace vek
