// A window for frame-update tests and the images and tile maps they draw.
#pragma once

#include <vekkit.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "raster/sprite_images.h"
#include "support/palette_window.h"

namespace frame {

using support::colourOf;
using support::indexOf;
using Window = support::PaletteWindow;

// Images owned by a test, with their pixels as first made (before any
// in-place mirroring), top row first, rt::kClear where transparent.
struct Images {
    std::vector<rt::Record> records;
    std::vector<rt::Decoded> decoded;

    HSPRITEDATA add(rt::Record r, rt::Decoded d)
    {
        records.push_back(std::move(r));
        decoded.push_back(std::move(d));
        return records.back().get();
    }
    const rt::Decoded &of(HSPRITEDATA image) const
    {
        for (size_t i = 0; i < records.size(); i++)
            if (records[i].get() == image) return decoded[i];
        static const rt::Decoded none;
        return none;
    }

    // A raw image filled with one index, or with a pattern of indices from
    // base on when pattern is set.
    HSPRITEDATA raw(LONG w, LONG h, int base, bool pattern = false, WORD flags = 0)
    {
        rt::Record r = rt::makeRaw(w, h);
        r.setFlags(flags);
        for (LONG y = 0; y < h; y++)
            for (LONG x = 0; x < w; x++)
                *rt::rawPixel(r, x, y) = static_cast<BYTE>(pattern ? base + (x * 3 + y * 5) % 40 : base);
        rt::Decoded d = rt::decodeRaw(r);
        return add(std::move(r), std::move(d));
    }

    // A random RLE image: every row starts with a skip and holds runs and
    // absolute runs of indices from base on, separated by skips.
    HSPRITEDATA rle(LONG w, LONG h, int base, std::mt19937 &rng, WORD flags = 0)
    {
        rt::Bytes s;
        for (LONG y = 0; y < h; y++) {
            LONG x = 0;
            rt::skip(s, rng() % 3);
            x = static_cast<LONG>(s[s.size() - 2]);
            while (x < w) {
                const LONG n = std::min<LONG>(w - x, 1 + static_cast<LONG>(rng() % 6));
                if (n < 3 || rng() % 2) {
                    rt::run(s, static_cast<unsigned>(n), static_cast<BYTE>(base + rng() % 40));
                } else {
                    rt::Bytes lit;
                    for (LONG i = 0; i < n; i++) lit.push_back(static_cast<BYTE>(base + rng() % 40));
                    rt::absolute(s, lit);
                }
                x += n;
                if (x < w) {
                    const LONG gap = std::min<LONG>(w - x, static_cast<LONG>(rng() % 4));
                    if (gap) rt::skip(s, static_cast<unsigned>(gap));
                    x += gap;
                }
            }
            rt::endRow(s);
        }
        rt::endImage(s);
        rt::Record r = rt::makeRle(w, h, s, flags);
        rt::Decoded d = rt::decodeRecord(r);
        return add(std::move(r), std::move(d));
    }
};

// A tile map: header then tiles, each six 16-bit values.
struct TileMap {
    std::vector<VEKTILE> entries{VEKTILE{}};

    explicit TileMap(SHORT colour, SHORT skip = 0)
    {
        auto *h = reinterpret_cast<VEKTILEMAPHEADER *>(&entries[0]);
        h->backgroundColor = colour;
        h->skipCount = skip;
    }
    void add(SHORT left, SHORT top, SHORT right, SHORT bottom, SHORT image)
    {
        entries.push_back(VEKTILE{0, left, top, right, bottom, image});
        reinterpret_cast<VEKTILEMAPHEADER *>(&entries[0])->lastTile = static_cast<SHORT>(entries.size() - 1);
    }
    LPVEKTILE get() { return entries.data(); }
};

}  // namespace frame
