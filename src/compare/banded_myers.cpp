#include "compare/banded_myers.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

using myers::kStripColumns;
using myers::kWordBits;

namespace {

const int64_t kNoBound = std::numeric_limits<int64_t>::max();

// A block let in at the bottom may hold V + h up to about this much over the
// threshold, as the bound on the rows below the band covers a whole strip.
// It leaves only above that, or it would be let in and dropped at every strip.
const int64_t kBottomSlack = 2 * kStripColumns + 2;

// Bits set in a word, without needing the popcnt instruction at build time.
inline int64_t ones(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
  return int64_t((x * 0x0101010101010101u) >> 56);
}

}  // namespace

BandedMyers::BandedMyers(const unsigned char* pattern, size_t patternLength,
                         const unsigned char* text, size_t textLength, myers::StripKernel kernel)
    : text_(text),
      m_(int64_t(patternLength)),
      n_(int64_t(textLength)),
      masks_(pattern, patternLength),
      state_(masks_.blocks()),
      kernel_(kernel),
      blocks_(masks_.blocks()) {}

// Block 0 in column 0, which is 0, 1, 2, ...: every vertical delta is +1.
void BandedMyers::start() {
  first_ = last_ = 0;
  t_ = top_ = 0;
  bottom_ = kWordBits;
  state_.plus[0] = ~uint64_t(0);
  state_.minus[0] = 0;
}

void BandedMyers::advance(int columns) {
  bottom_ += myers::advanceStrip(masks_, text_ + t_, columns, first_, last_, state_, kernel_);
  top_ += columns;
  t_ += columns;
}

// The new block's rows go down from the band's last row by 1 per row: the
// cost of a path through that cell, then down.
void BandedMyers::addBlock() {
  ++last_;
  state_.plus[last_] = ~uint64_t(0);
  state_.minus[last_] = 0;
  bottom_ += kWordBits;
}

void BandedMyers::dropTop() {
  top_ += change(first_);
  ++first_;
}

void BandedMyers::dropBottom() {
  bottom_ -= change(last_);
  --last_;
}

int64_t BandedMyers::change(size_t block) const {
  return ones(state_.plus[block]) - ones(state_.minus[block]);
}

// V(64 block + rows), given V(64 block) = above; 0 <= rows <= 64.
int64_t BandedMyers::valueIn(size_t block, int64_t above, int64_t rows) const {
  uint64_t mask = rows == kWordBits ? ~uint64_t(0) : (uint64_t(1) << rows) - 1;
  return above + ones(state_.plus[block] & mask) - ones(state_.minus[block] & mask);
}

// The least V + h over the block's rows up to m. Above the row e on which h
// is 0, one row up adds 1 to h and at most 1 to -V; below it, one row down
// adds 1 to h and takes at most 1 from V. So V + h is least at the row of the
// block nearest to e.
int64_t BandedMyers::leastTotal(size_t block, int64_t above) const {
  const int64_t base = kWordBits * int64_t(block);
  const int64_t e = m_ - n_ + t_;
  const int64_t row = std::min(std::max(e, base + 1), std::min(base + kWordBits, m_));
  return valueIn(block, above, row - base) + (row > e ? row - e : e - row);
}

// leastTotal of the band's first block, which also bounds every cell above
// it from now on. Row 0 lies above block 0 and is not part of it: there g + h
// is t + |t - (n - m)|, least over the columns to come at the current one or
// at t = n - m.
int64_t BandedMyers::topLeast() const {
  const int64_t least = leastTotal(first_, top_);
  if (first_ > 0) return least;
  const int64_t gap = n_ - m_;
  return std::min(least, t_ >= gap ? 2 * t_ - gap : gap);
}

// A bound on g + h over the rows below the band for the next `columns`
// columns. A cell there first appears right under the band's last row r, at
// g >= V(r) - 1 over paths that stay in the band; V(r) and h fall by at most
// 1 per column, and below that row g + h does not fall.
int64_t BandedMyers::belowBound(int columns) const {
  const int64_t r = kWordBits * int64_t(last_ + 1);
  const int64_t e = m_ - n_ + t_;
  const int64_t h = r + 1 > e ? r + 1 - e : e - r - 1;
  return bottom_ - 1 + h - 2 * columns;
}

// V(m, t) when the band reaches row m, else the cost of going straight down
// from its last row.
int64_t BandedMyers::lastRowValue() const {
  if (last_ + 1 < blocks_) return bottom_ + m_ - kWordBits * int64_t(last_ + 1);
  const int64_t above = bottom_ - change(last_);
  return valueIn(last_, above, m_ - kWordBits * int64_t(last_));
}

BandedMyers::Result BandedMyers::run(int64_t ceiling, int64_t bound, size_t followWidth,
                                     Follow follow) {
  int64_t threshold = std::min(ceiling, bound - 1);
  int64_t exactBelow = kNoBound;
  bool following = false;
  start();
  while (t_ < n_) {
    const int columns = int(std::min<int64_t>(kStripColumns, n_ - t_));
    // Rows below the band: let them in while they may hold a cell under the
    // threshold, or while a following band is short of its width.
    while (last_ + 1 < blocks_) {
      const int64_t below = belowBound(columns);
      if (following ? last_ - first_ + 1 >= followWidth : below > threshold) {
        exactBelow = std::min(exactBelow, below);
        break;
      }
      addBlock();
      if (following) {
        if (last_ + 1 < blocks_) exactBelow = std::min(exactBelow, belowBound(columns));
        break;
      }
    }
    advance(columns);
    if (following) {
      // The path runs where V (or V + h, toward the end) is least. Once it
      // is nearer the band's last block than its first, the band moves down
      // a block: at least half a block of room stays above it, and it never
      // moves up.
      if (last_ + 1 < blocks_ && last_ > first_ + 1) {
        int64_t lower = bottom_ - change(last_), upper = top_ + change(first_);
        if (follow == Follow::kTowardEnd) {
          const int64_t e = m_ - n_ + t_;
          lower += std::abs(kWordBits * int64_t(last_) - e);
          upper += std::abs(kWordBits * int64_t(first_ + 1) - e);
        }
        if (lower < upper) {
          exactBelow = std::min(exactBelow, topLeast());
          dropTop();
        }
      }
      continue;
    }
    // Blocks whose every cell has V + h over the threshold leave the band.
    while (first_ <= last_ && !following) {
      const int64_t least = topLeast();
      if (least <= threshold) break;
      exactBelow = std::min(exactBelow, least);
      if (first_ == last_ && followWidth > 0) {
        following = true;
      } else {
        dropTop();
      }
    }
    while (first_ <= last_ && !following) {
      const int64_t least = leastTotal(last_, bottom_ - change(last_));
      if (least <= threshold + kBottomSlack) break;
      exactBelow = std::min(exactBelow, least);
      if (first_ < last_) {
        dropBottom();
      } else if (followWidth > 0) {
        following = true;
      } else {
        first_ = last_ + 1;
      }
    }
    // No cell may lead to a path under the threshold.
    if (first_ > last_) return {bound, exactBelow};
    // Paths from the band's edges: along the diagonal, then along the rest
    // of the longer side.
    const int64_t top = kWordBits * int64_t(first_);
    bound = std::min(bound, top_ + std::max(m_ - top, n_ - t_));
    if (last_ + 1 < blocks_) {
      const int64_t bottom = kWordBits * int64_t(last_ + 1);
      bound = std::min(bound, bottom_ + std::max(m_ - bottom, n_ - t_));
    } else {
      bound = std::min(bound, lastRowValue() + (n_ - t_));
    }
    threshold = std::min(ceiling, bound - 1);
  }
  return {std::min(bound, lastRowValue()), exactBelow};
}
