// A coarse spatial index of sprite rectangles: which entries (draw-list
// indices) may reach into a rectangle, without testing every one.
//
// The grid covers one area of the playfield in square cells; an entry is
// listed in every cell its box reaches. Boxes and queries beyond the area
// fall into the border cells, so a query never misses an entry whose box
// overlaps it: the grid only narrows the candidates, the caller still makes
// the exact test. Entries are listed in ascending order in every cell.
#pragma once

#include <vekkit/records.h>

#include <cstdint>
#include <vector>

namespace vek {

class SpriteGrid {
public:
    // Inclusive ranges of cell columns and rows; empty when x0 > x1.
    struct Cells {
        LONG x0, y0, x1, y1;
        bool contains(LONG x, LONG y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
    };
    static constexpr Cells kNoCells{0, 0, -1, -1};

    // Indexes entries 0 to count - 1 over area; boxOf(k, box) gives entry
    // k's box, or false to leave it out. A box of no width or height, or
    // one whose right lies left of its left, is kept at its left edge: it
    // still meets the rectangles that it strictly overlaps.
    template <typename BoxOf>
    void build(const RECT &area, LONG count, BoxOf boxOf)
    {
        layOut(area);
        ranges_.resize(static_cast<size_t>(count));
        starts_.assign(static_cast<size_t>(cellCount()) + 1, 0);
        for (LONG k = 0; k < count; k++) {
            RECT box;
            Cells &c = ranges_[static_cast<size_t>(k)];
            c = boxOf(k, box) ? cellsOf(box) : kNoCells;
            forEachCell(c, [&](size_t cell) { starts_[cell + 1]++; });
        }
        for (size_t i = 1; i < starts_.size(); i++) starts_[i] += starts_[i - 1];
        entries_.resize(starts_.back());
        fill_.assign(starts_.begin(), starts_.end() - 1);
        for (LONG k = 0; k < count; k++)
            forEachCell(ranges_[static_cast<size_t>(k)], [&](size_t cell) { entries_[fill_[cell]++] = k; });
        stamps_.assign(static_cast<size_t>(count), 0);
        epoch_ = 0;
    }

    // The cells that a rectangle reaches (same rule as the boxes): the
    // pixels from left to right - 1, or the single column at left when that
    // range is empty or reversed; the same for rows.
    Cells cellsOf(const RECT &r) const
    {
        const int64_t lastX = int64_t{r.right} - 1, lastY = int64_t{r.bottom} - 1;
        const bool reversedX = lastX < r.left, reversedY = lastY < r.top;
        return Cells{column(reversedX ? lastX : r.left), row(reversedY ? lastY : r.top),
                     column(reversedX ? r.left : lastX), row(reversedY ? r.top : lastY)};
    }

    // Starts a new search: every entry is reported at most once until the
    // next call.
    void beginSearch();

    // Appends to found the entries of the cells in cells but not in skip
    // that this search has not reported yet.
    void collect(const Cells &cells, const Cells &skip, std::vector<LONG> &found);

    // The entries that may reach into r, ascending: a new search.
    const std::vector<LONG> &around(const RECT &r);

private:
    void layOut(const RECT &area);
    LONG cellCount() const { return columns_ * rows_; }
    LONG column(int64_t x) const
    {
        if (x <= left_) return 0;
        const int64_t c = (x - left_) >> shift_;
        return c < columns_ ? static_cast<LONG>(c) : columns_ - 1;
    }
    LONG row(int64_t y) const
    {
        if (y <= top_) return 0;
        const int64_t r = (y - top_) >> shift_;
        return r < rows_ ? static_cast<LONG>(r) : rows_ - 1;
    }

    template <typename Visit>
    void forEachCell(const Cells &c, Visit visit) const
    {
        for (LONG y = c.y0; y <= c.y1; y++)
            for (LONG x = c.x0; x <= c.x1; x++) visit(static_cast<size_t>(y * columns_ + x));
    }

    int64_t left_ = 0, top_ = 0;
    int shift_ = 0;  // cells are 1 << shift_ pixels square
    LONG columns_ = 1, rows_ = 1;
    std::vector<Cells> ranges_;       // per entry
    std::vector<uint32_t> starts_;    // per cell, into entries_; one more at the end
    std::vector<uint32_t> fill_;      // scratch of build
    std::vector<LONG> entries_;
    std::vector<uint32_t> stamps_;    // per entry: the search that last reported it
    uint32_t epoch_ = 0;
    std::vector<LONG> found_;
};

}  // namespace vek
