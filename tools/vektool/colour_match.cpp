#include "colour_match.h"

#include "failure.h"

#include "record/layout.h"
#include "common/le.h"

#include <cstring>
#include <unordered_map>

namespace vektool {
namespace {

// A sprite context that exists only to hold the palette for the library's
// colour matching.
class PaletteContext {
public:
    explicit PaletteContext(const Palette &palette)
    {
        for (int i = 0; i < 256; i++) entries_[i] = PALETTEENTRY{palette[i].r, palette[i].g, palette[i].b, 0};
        context_ = vekCreateSpriteContext(nullptr, nullptr, 1, 1, 1, 0, nullptr, 0, 0);
        if (context_) setpe(context_, entries_);
    }
    ~PaletteContext() { vekDeleteSpriteContext(context_); }
    PaletteContext(const PaletteContext &) = delete;
    PaletteContext &operator=(const PaletteContext &) = delete;
    LPVEKCONTEXT get() const { return context_; }

private:
    PALETTEENTRY entries_[256];
    LPVEKCONTEXT context_ = nullptr;
};

std::vector<bool> transparentPixels(const Picture &p, const MatchOptions &o, const std::string &shownAs)
{
    if (o.transparentIndex && !p.indexed)
        throw Failure(shownAs, "has no palette: give the transparent colour as a colour, not an index");
    std::vector<bool> clear(p.count());
    for (size_t i = 0; i < p.count(); i++)
        clear[i] = (!o.ignoreAlpha && p.alphaAt(i) < 128) || (o.transparentIndex && p.pixels[i] == *o.transparentIndex) ||
                   (o.transparentColour && p.colourAt(i) == *o.transparentColour);
    return clear;
}

bool keepsIndices(const Picture &p, const std::vector<bool> &clear, const Palette &palette)
{
    if (!p.indexed) return false;
    for (size_t i = 0; i < p.count(); i++)
        if (!clear[i] && p.palette[p.pixels[i]] != palette[p.pixels[i]]) return false;
    return true;
}

// An index no opaque pixel uses, for the key of a picture that needs one:
// the library's transparent index when it is free.
int freeIndex(const std::vector<uint8_t> &pixels, const std::vector<bool> &clear, const std::string &shownAs)
{
    bool used[256] = {};
    for (size_t i = 0; i < pixels.size(); i++)
        if (!clear[i]) used[pixels[i]] = true;
    int key = kTransparentIndex;
    if (used[key]) key = 0;
    while (key < 256 && used[key]) key++;
    if (key == 256) throw Failure(shownAs, "uses all 256 indices: none is left for its transparent pixels");
    return key;
}

// Indices as they are; transparency goes by index in an indexed picture, so
// the transparent indices are whole and their pixels take the lowest.
void keepIndices(const Picture &p, const std::vector<bool> &clear, bool needKey, IndexedImage &out,
                 const std::string &shownAs)
{
    out.pixels = p.pixels;
    int key = 256;
    for (size_t i = 0; i < p.count(); i++)
        if (clear[i] && p.pixels[i] < key) key = p.pixels[i];
    if (key == 256) key = needKey ? freeIndex(out.pixels, clear, shownAs) : -1;
    for (size_t i = 0; i < p.count(); i++)
        if (clear[i]) out.pixels[i] = static_cast<uint8_t>(key);
    out.key = key;
}

// The lowest index of each colour; false when a colour is not in the palette.
bool lookUpColours(const Picture &p, const std::vector<bool> &clear, const Palette &palette, IndexedImage &out)
{
    std::unordered_map<uint32_t, uint8_t> indices;
    for (int i = 255; i >= 0; i--) indices[palette[i].key()] = static_cast<uint8_t>(i);
    out.pixels.assign(p.count(), 0);
    for (size_t i = 0; i < p.count(); i++) {
        if (clear[i]) continue;
        const auto it = indices.find(p.colourAt(i).key());
        if (it == indices.end()) return false;
        out.pixels[i] = it->second;
    }
    return true;
}

void matchNearest(const Picture &p, const std::vector<bool> &clear, LPVEKCONTEXT context, IndexedImage &out)
{
    std::unordered_map<uint32_t, uint8_t> nearest;
    out.pixels.resize(p.count());
    for (size_t i = 0; i < p.count(); i++) {
        if (clear[i]) {
            out.pixels[i] = kTransparentIndex;
            continue;
        }
        const Rgb c = p.colourAt(i);
        auto [it, added] = nearest.try_emplace(c.key(), 0);
        if (added) {
            const RGBQUAD query{c.b, c.g, c.r, 0};
            it->second = static_cast<uint8_t>(vekGetNearestColor(context, &query));
        }
        out.pixels[i] = it->second;
    }
}

// ditherdib works on an image with an RGB colour table, passing over pixels
// of index 8: the picture's colours go into the table at every index but 8,
// and its transparent pixels are 8.
void dither(const Picture &p, const std::vector<bool> &clear, LPVEKCONTEXT context, IndexedImage &out,
            const std::string &shownAs)
{
    Block image = adopt(vekCreateSpriteData(p.width, p.height));
    if (!image) throw Failure(shownAs, "out of memory");
    BYTE *b = image.get();
    std::unordered_map<uint32_t, uint8_t> slots;
    for (int y = 0; y < p.height; y++) {
        BYTE *row = rowOf(b, y);
        for (int x = 0; x < p.width; x++) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
            row[x] = kTransparentIndex;
            if (clear[i]) continue;
            const Rgb c = p.colourAt(i);
            auto [it, added] = slots.try_emplace(c.key(), 0);
            if (added) {
                if (slots.size() > 255) throw Failure(shownAs, "has more than 255 colours: it cannot be dithered");
                const size_t n = slots.size() - 1;  // the n-th colour, at index n, or n + 1 from 8 on
                it->second = static_cast<uint8_t>(n < kTransparentIndex ? n : n + 1);
                BYTE *entry = b + vek::rec::kColorTable + 4 * it->second;
                entry[0] = c.b;
                entry[1] = c.g;
                entry[2] = c.r;
            }
            row[x] = it->second;
        }
    }
    ditherdib(context, b, 0);
    out.pixels.resize(p.count());
    for (int y = 0; y < p.height; y++)
        std::memcpy(out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width), rowOf(b, y),
                    static_cast<size_t>(p.width));
}

}  // namespace

IndexedImage matchColours(const Picture &picture, const MatchOptions &options, const std::string &shownAs)
{
    IndexedImage out;
    out.width = picture.width;
    out.height = picture.height;
    const std::vector<bool> clear = transparentPixels(picture, options, shownAs);
    bool anyClear = options.needKey;
    for (size_t i = 0; i < clear.size() && !anyClear; i++) anyClear = clear[i];
    if (keepsIndices(picture, clear, options.palette)) {
        keepIndices(picture, clear, options.needKey, out, shownAs);
        return out;
    }
    if (lookUpColours(picture, clear, options.palette, out)) {
        out.key = anyClear ? freeIndex(out.pixels, clear, shownAs) : -1;
        for (size_t i = 0; i < clear.size(); i++)
            if (clear[i]) out.pixels[i] = static_cast<uint8_t>(out.key);
        return out;
    }
    PaletteContext context(options.palette);
    if (!context.get()) throw Failure(shownAs, "out of memory");
    if (options.dither)
        dither(picture, clear, context.get(), out, shownAs);
    else
        matchNearest(picture, clear, context.get(), out);
    out.key = anyClear ? kTransparentIndex : -1;
    return out;
}

}  // namespace vektool
