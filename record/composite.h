// The elements of a composite sprite image record, read through their named
// fields (record/layout.h).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "record/layout.h"

namespace vek {

struct CompositeElement {
    int64_t left, top, width, height;  // top = bottom - height
    bool mirrored;                     // drawn mirrored left to right
    SHORT index;                       // into the drawing context's image table
};

// The number of elements to read: the count, cut to what the length word
// leaves room for when the record carries one (0 marks a record built by
// hand, whose block holds every element its count names).
inline size_t compositeElementCount(const BYTE *comp)
{
    const size_t count = u16(comp, rec::kElementCount);
    const uint32_t length = u32(comp, rec::kLength);
    if (length == 0) return count;
    constexpr size_t kHeaderAfterLength = rec::kElements - 4;
    if (length < kHeaderAfterLength) return 0;
    return std::min(count, (length - kHeaderAfterLength) / rec::kElementSize);
}

inline CompositeElement compositeElement(const BYTE *comp, size_t i)
{
    constexpr WORD kMirrored = 0x8000, kWidthMask = 0x7FFF;
    const BYTE *e = comp + rec::kElements + i * rec::kElementSize;
    const WORD widthWord = u16(e, rec::kElementWidth);
    const int64_t height = i16(e, rec::kElementHeight);
    return CompositeElement{i16(e, rec::kElementLeft), i16(e, rec::kElementBottom) - height, widthWord & kWidthMask,
                            height, (widthWord & kMirrored) != 0, i16(e, rec::kElementIndex)};
}

}  // namespace vek
