// Edit distance over a band of blocks that follows the cheap cells, with
// Ukkonen's cut-off. Cells are (i, j): row i of the pattern (0..m), column j
// of the text (0..n), m <= n; V(i, j) is the computed value, g(i, j) the true
// distance of the prefixes and h(i, j) = |(m - i) - (n - j)| a lower bound on
// the distance of the suffixes.
//
// Cells outside the band are never computed: the top of the band is taken to
// grow by 1 per column and a block joining at the bottom to grow by 1 per row,
// so every V is the cost of some path, at least g. A block or a run of rows
// is left out only with a bound B on V + h over it (for the rows below the
// band: on g + h). If some path of cost c < min B existed, all its cells
// would have g + h <= c and be in the band, so V(m, n) would be the distance;
// hence the distance is V(m, n) once V(m, n) <= min B.
#ifndef GETCHAR_BANDED_MYERS_H
#define GETCHAR_BANDED_MYERS_H

#include <cstddef>
#include <cstdint>

#include "compare/myers_blocks.h"

class BandedMyers {
 public:
  struct Result {
    int64_t bound;       // the cost of a path: at least the distance
    int64_t exactBelow;  // min B; the distance is `bound` if bound <= exactBelow
  };

  // 0 < patternLength <= textLength; both strings must outlive the object.
  BandedMyers(const unsigned char* pattern, size_t patternLength, const unsigned char* text,
              size_t textLength, myers::StripKernel kernel = myers::StripKernel::kFastest);

  // Which cells a following band keeps to: those of least V, or of least
  // V + h, which stays near the diagonal that ends at (m, n).
  enum class Follow { kCheapest, kTowardEnd };

  // One pass over the columns. The band keeps the blocks that may hold a
  // cell with V + h at most the threshold, min(ceiling, cheapest path found
  // - 1), starting from `bound`, the cost of a known path. Should no block
  // remain, a band of followWidth blocks follows the cheap cells to the end
  // instead, when followWidth > 0; otherwise no cheaper path exists. Time
  // grows with the number of cells kept / 64.
  Result run(int64_t ceiling, int64_t bound, size_t followWidth, Follow follow = Follow::kCheapest);

 private:
  void start();
  void advance(int columns);
  void addBlock();
  void dropTop();
  void dropBottom();
  int64_t change(size_t block) const;
  int64_t valueIn(size_t block, int64_t above, int64_t rows) const;
  int64_t leastTotal(size_t block, int64_t above) const;
  int64_t topLeast() const;
  int64_t belowBound(int columns) const;
  int64_t lastRowValue() const;

  const unsigned char* text_;
  int64_t m_, n_;
  myers::MatchMasks masks_;
  myers::BlockState state_;
  myers::StripKernel kernel_;
  size_t blocks_;
  // The band: blocks first_..last_ at column t_; top_ = V(64 first_, t_),
  // bottom_ = V(64 (last_ + 1), t_) (rows past m included in the last block).
  size_t first_ = 0, last_ = 0;
  int64_t t_ = 0, top_ = 0, bottom_ = 0;
};

#endif
