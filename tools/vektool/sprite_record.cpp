#include "sprite_record.h"

#include "failure.h"

#include "record/layout.h"
#include "common/le.h"
#include "common/memory.h"

#include <cstring>

namespace vektool {
namespace rec = vek::rec;

namespace {

DWORD strideOf(LONG width) { return (static_cast<DWORD>(width) + 3) & ~3u; }

// A raw record of width x height holding the rows of topFirst (top row
// first), and below them, when extraKeyRow is an index, one more row of it.
Block rawRecordOf(LONG width, LONG height, const uint8_t *topFirst, int extraKeyRow)
{
    Block r = adopt(vekCreateSpriteDataObject(width, height));
    if (!r) return r;
    const LONG imageRows = extraKeyRow >= 0 ? height - 1 : height;
    for (LONG y = 0; y < imageRows; y++)
        std::memcpy(rowOf(r.get(), y), topFirst + static_cast<size_t>(y) * width, static_cast<size_t>(width));
    if (extraKeyRow >= 0) std::memset(rowOf(r.get(), height - 1), extraKeyRow, static_cast<size_t>(width));
    return r;
}

}  // namespace

BYTE *rowOf(BYTE *record, LONG y)
{
    const LONG height = vek::i32(record, rec::kHeight);
    return record + 4 + vek::u32(record, rec::kPixelOffset) +
           static_cast<size_t>(height - 1 - y) * strideOf(vek::i32(record, rec::kWidth));
}

void BlockDeleter::operator()(BYTE *block) const { vek::freeLocked(block); }

DWORD blockLength(const BYTE *block) { return vek::u32(block, 0) + 4; }

RecordInfo inspectRecord(const BYTE *b, DWORD length)
{
    RecordInfo info;
    if (length < rec::kPixelOffset + 4) return info;
    const WORD type = vek::u16(b, rec::kType);
    if (type == VEK_TYPE_DD) {
        if (length >= rec::kDDSize) info.kind = RecordKind::DD;
        return info;
    }
    if (type == VEK_TYPE_COMPOSITE) {
        if (length >= rec::kElements && length >= rec::kElements + rec::kElementSize * vek::u16(b, rec::kElementCount))
            info.kind = RecordKind::Composite;
        return info;
    }
    if (length < rec::kColorTable || vek::u32(b, rec::kInfoSize) != 40 || vek::u16(b, rec::kPlanes) != 1 ||
        vek::u16(b, rec::kBitCount) != 8)
        return info;
    const LONG width = vek::i32(b, rec::kWidth), height = vek::i32(b, rec::kHeight);
    const DWORD compression = vek::u32(b, rec::kCompression);
    const uint64_t pixelStart = 4 + uint64_t{vek::u32(b, rec::kPixelOffset)};
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide || pixelStart < rec::kColorTable ||
        pixelStart > length)
        return info;
    const uint64_t room = length - pixelStart;
    uint64_t bytes;
    if (compression == BI_RGB) {
        bytes = uint64_t{strideOf(width)} * static_cast<uint64_t>(height);
        info.kind = RecordKind::RawImage;
    } else if (compression == BI_RLE8) {
        bytes = vek::u32(b, rec::kSizeImage) ? vek::u32(b, rec::kSizeImage) : room;
        info.kind = RecordKind::RleImage;
    } else {
        return info;
    }
    if (bytes > room) return RecordInfo{};
    info.width = width;
    info.height = height;
    info.flags = vek::u16(b, rec::kFlags);
    info.pixelOffset = static_cast<DWORD>(pixelStart - 4);
    info.pixelBytes = static_cast<DWORD>(bytes);
    return info;
}

const char *kindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::RawImage: return "raw image";
    case RecordKind::RleImage: return "RLE image";
    case RecordKind::DD: return "DD image";
    case RecordKind::Composite: return "composite image";
    default: return "data";
    }
}

Block makeRawRecord(const IndexedImage &image, bool mirrored)
{
    Block r = rawRecordOf(image.width, image.height, image.pixels.data(), -1);
    if (r && mirrored) {
        // The library mirrors only records that allow it; the copy is then a
        // plain image again.
        vek::put16(r.get(), rec::kFlags, VEK_IMAGE_MIRRORABLE);
        vekFlipSprite(r.get());
        vek::put16(r.get(), rec::kFlags, 0);
    }
    return r;
}

Block makeCel(const IndexedImage &image, bool mirrored, const std::string &shownAs)
{
    // The cel encoder takes the value of the bottom-left pixel for the
    // transparent one. Below the image goes one row of the key, which the
    // encoder writes as skips alone and which is then cut from the stream.
    Block raw = rawRecordOf(image.width, image.height + 1, image.pixels.data(), image.key);
    if (!raw) throw Failure(shownAs, "out of memory");
    const LONG_PTR made = vekPalDIBToCel(raw.get(), mirrored, blockLength(raw.get()));
    if (made <= 0) throw Failure(shownAs, made == VEK_CEL_NO_MEMORY ? "out of memory" : "cannot make the cel");
    Block cel = adopt(reinterpret_cast<void *>(made));
    BYTE *b = cel.get();
    const DWORD length = blockLength(b);
    const DWORD start = 4 + vek::u32(b, rec::kPixelOffset);
    DWORD at = start;
    while (at + 4 <= length && b[at] == 0 && b[at + 1] == 2) at += 4;
    if (at + 2 > length || b[at] != 0 || b[at + 1] != 0) throw Failure(shownAs, "unexpected cel from the encoder");
    const DWORD cut = at + 2 - start;
    std::memmove(b + start, b + start + cut, length - start - cut);
    vek::put32(b, 0, vek::u32(b, 0) - cut);
    vek::put32(b, 6, vek::u32(b, 6) - cut);  // bfSize: the image length, as the encoder sets it
    vek::put32(b, rec::kHeight, static_cast<uint32_t>(image.height));
    vek::put32(b, rec::kSizeImage, vek::u32(b, rec::kSizeImage) - cut);
    return cel;
}

bool sameImage(const BYTE *a, const BYTE *b)
{
    const RecordInfo x = inspectRecord(a, blockLength(a)), y = inspectRecord(b, blockLength(b));
    if (x.kind != y.kind || x.width != y.width || x.height != y.height || x.flags != y.flags) return false;
    const BYTE *pa = a + 4 + x.pixelOffset, *pb = b + 4 + y.pixelOffset;
    if (x.kind == RecordKind::RleImage)
        return x.pixelBytes == y.pixelBytes && std::memcmp(pa, pb, x.pixelBytes) == 0;
    if (x.kind != RecordKind::RawImage) return false;
    const DWORD stride = strideOf(x.width);
    for (LONG row = 0; row < x.height; row++)
        if (std::memcmp(pa + row * stride, pb + row * stride, static_cast<size_t>(x.width)) != 0) return false;
    return true;
}

Picture drawnPicture(LONG w, LONG h, std::optional<uint8_t> background,
                     const std::function<bool(HSPRITEDATA canvas)> &draw, const Palette &palette,
                     const std::string &shownAs)
{
    // Without a background the drawing is made twice, over index 0 and over
    // index 1: the pixels that differ are those it leaves as they were.
    Block over0 = adopt(vekCreateSpriteDataObject(w, h));
    Block over1 = adopt(background ? nullptr : vekCreateSpriteDataObject(w, h));
    if (!over0 || (!background && !over1)) throw Failure(shownAs, "out of memory");
    vekSpriteFill(over0.get(), 0, 0, w, h, background.value_or(0));
    if (!draw(over0.get())) throw Failure(shownAs, "the library cannot draw it");
    if (over1) {
        vekSpriteFill(over1.get(), 0, 0, w, h, 1);
        draw(over1.get());
    }
    Picture p;
    p.width = w;
    p.height = h;
    p.indexed = true;
    p.palette = palette;
    p.paletteAlpha.fill(255);
    p.pixels.resize(p.count());
    std::vector<bool> clear(p.count());
    bool used[256] = {};
    bool anyClear = false;
    for (LONG y = 0; y < h; y++) {
        const BYTE *row0 = rowOf(over0.get(), y);
        const BYTE *row1 = over1 ? rowOf(over1.get(), y) : nullptr;
        for (LONG x = 0; x < w; x++) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            p.pixels[i] = row0[x];
            if (row1 && row1[x] != row0[x])
                clear[i] = anyClear = true;
            else
                used[row0[x]] = true;
        }
    }
    if (!anyClear) return p;
    int spare = kTransparentIndex;
    if (used[spare]) {
        spare = 0;
        while (spare < 256 && used[spare]) spare++;
    }
    if (spare < 256) {
        for (size_t i = 0; i < p.count(); i++)
            if (clear[i]) p.pixels[i] = static_cast<uint8_t>(spare);
        p.paletteAlpha[spare] = 0;
        return p;
    }
    Picture rgba;
    rgba.width = w;
    rgba.height = h;
    rgba.pixels.resize(4 * p.count());
    for (size_t i = 0; i < p.count(); i++) {
        const Rgb c = palette[p.pixels[i]];
        const uint8_t px[4] = {c.r, c.g, c.b, uint8_t(clear[i] ? 0 : 255)};
        std::memcpy(&rgba.pixels[4 * i], px, 4);
    }
    return rgba;
}

Picture pictureOf(BYTE *record, const RecordInfo &info, const Palette &palette, const std::string &shownAs)
{
    const LONG w = info.width, h = info.height;
    return drawnPicture(
        w, h, std::nullopt, [&](HSPRITEDATA canvas) { return vekSpriteBlt(canvas, 0, 0, w, h, record, 0, 0) != 0; },
        palette, shownAs);
}

}  // namespace vektool
