// The sprite grid's layout and searches.
#include "sprite/sprite_grid.h"

#include <algorithm>

namespace vek {

namespace {

// Cells are 64 pixels square at least, about two sprites wide; larger areas
// get larger cells, so that a grid has at most this many.
constexpr int kFirstShift = 6;
constexpr int64_t kMaxCells = 4096;

}  // namespace

void SpriteGrid::layOut(const RECT &area)
{
    left_ = area.left;
    top_ = area.top;
    const int64_t width = std::max<int64_t>(1, int64_t{area.right} - area.left);
    const int64_t height = std::max<int64_t>(1, int64_t{area.bottom} - area.top);
    shift_ = kFirstShift;
    while ((((width - 1) >> shift_) + 1) * (((height - 1) >> shift_) + 1) > kMaxCells) shift_++;
    columns_ = static_cast<LONG>(((width - 1) >> shift_) + 1);
    rows_ = static_cast<LONG>(((height - 1) >> shift_) + 1);
}

void SpriteGrid::beginSearch()
{
    if (++epoch_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        epoch_ = 1;
    }
}

void SpriteGrid::collect(const Cells &cells, const Cells &skip, std::vector<LONG> &found)
{
    for (LONG y = cells.y0; y <= cells.y1; y++)
        for (LONG x = cells.x0; x <= cells.x1; x++) {
            if (skip.contains(x, y)) continue;
            const size_t cell = static_cast<size_t>(y * columns_ + x);
            for (uint32_t e = starts_[cell]; e < starts_[cell + 1]; e++) {
                const LONG k = entries_[e];
                uint32_t &stamp = stamps_[static_cast<size_t>(k)];
                if (stamp == epoch_) continue;
                stamp = epoch_;
                found.push_back(k);
            }
        }
}

const std::vector<LONG> &SpriteGrid::around(const RECT &r)
{
    beginSearch();
    found_.clear();
    collect(cellsOf(r), kNoCells, found_);
    std::sort(found_.begin(), found_.end());
    return found_;
}

}  // namespace vek
