// The subtractive generator: known sequences, seeding, the drawing operations
// and draws from a table outside [0, 1).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "getChar.h"

namespace {

class RandomGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seed = 237.0;
    jrand = 0;
    for (double& v : oldrand) v = 0.0;
  }
  void TearDown() override { SetUp(); }

  static void seedWith(double value) {
    seed = value;
    randomize();
  }
};

// Values known to 15 significant digits.
const double kTol = 1e-15;

TEST_F(RandomGeneratorTest, KnownSequenceForSeedHalfAcrossARefill) {
  seedWith(0.5);
  EXPECT_NEAR(randomperc(), 0.737237342475748, kTol);
  EXPECT_NEAR(randomperc(), 0.240862182431835, kTol);
  EXPECT_NEAR(randomperc(), 0.615054087810854, kTol);
  for (int i = 4; i < 54; ++i) randomperc();
  EXPECT_EQ(jrand, 53);
  EXPECT_NEAR(randomperc(), 0.932969868553954, kTol);   // 54th, last of the table
  EXPECT_NEAR(randomperc(), 0.0211311436090243, kTol);  // 55th, after a refill
  EXPECT_EQ(jrand, 1);
}

TEST_F(RandomGeneratorTest, KnownSequenceForSeedQuarter) {
  seedWith(0.25);
  EXPECT_NEAR(randomperc(), 0.487237290008539, kTol);
  EXPECT_NEAR(randomperc(), 0.740868957296923, kTol);
  EXPECT_NEAR(randomperc(), 0.115053680067703, kTol);
}

TEST_F(RandomGeneratorTest, RandomizeRestartsTheSameSequence) {
  seedWith(0.5);
  double first[60];
  for (double& v : first) v = randomperc();
  randomize();
  for (double v : first) EXPECT_EQ(randomperc(), v);
}

TEST_F(RandomGeneratorTest, WarmupOnAFreshTableEqualsRandomize) {
  warmup_random(0.5);
  double warmed[55];
  std::memcpy(warmed, oldrand, sizeof warmed);
  EXPECT_EQ(jrand, 0);
  seedWith(0.5);
  EXPECT_EQ(std::memcmp(warmed, oldrand, sizeof warmed), 0);
}

TEST_F(RandomGeneratorTest, WarmupKeepsTheEntriesItDoesNotWrite) {
  // Only entries 0, 3, ..., 51 and 54 are written before the warm-up
  // advances, so a dirty table starts a different sequence.
  for (double& v : oldrand) v = 0.3;
  warmup_random(0.5);
  const double dirty = randomperc();
  seedWith(0.5);
  EXPECT_NE(randomperc(), dirty);
}

TEST_F(RandomGeneratorTest, UnseededDrawsAreZero) {
  for (int i = 0; i < 120; ++i) EXPECT_EQ(randomperc(), 0.0);
  EXPECT_EQ(rnd(2, 9), 2);
  EXPECT_EQ(rndreal(-1.5, 4.0), -1.5);
}

TEST_F(RandomGeneratorTest, RndKnownValuesAndBounds) {
  seedWith(0.5);
  const int expected[10] = {5, 2, 4, 3, 1, 1, 4, 1, 1, 1};
  for (int e : expected) EXPECT_EQ(rnd(1, 6), e);

  const int before = jrand;
  EXPECT_EQ(rnd(3, 3), 3);
  EXPECT_EQ(rnd(5, 2), 5);
  EXPECT_EQ(jrand, before);  // no value consumed

  for (int i = 0; i < 2000; ++i) {
    const int r = rnd(-3, 4);
    ASSERT_GE(r, -3);
    ASSERT_LE(r, 4);
  }
}

TEST_F(RandomGeneratorTest, RndDrawsOfNonNegativeRangesAreKept) {
  // Sum and FNV-1a hash of the first 1,000 draws with seed 0.5, as they were
  // while rnd rounded toward zero.
  const struct {
    int low, high;
    long long sum;
    uint64_t hash;
  } kept[] = {{0, 1, 492LL, 0x5ac416f8eec2cc63ULL},
              {1, 6, 3456LL, 0xd47ea3ed5ccc5951ULL},
              {0, 99, 48795LL, 0x4863d59a08f3a616ULL},
              {0, 249, 122749LL, 0x200b44503cc1e8faULL},
              {0, 2147483646, 1058620231747LL, 0x8226b706e156c34bULL}};
  for (const auto& d : kept) {
    seedWith(0.5);
    long long sum = 0;
    uint64_t hash = 1469598103934665603ULL;
    for (int i = 0; i < 1000; ++i) {
      const uint32_t v = static_cast<uint32_t>(rnd(d.low, d.high));
      sum += v;
      for (int b = 0; b < 32; b += 8) hash = (hash ^ ((v >> b) & 0xff)) * 1099511628211ULL;
    }
    EXPECT_EQ(sum, d.sum) << d.high;
    EXPECT_EQ(hash, d.hash) << d.high;
  }
}

TEST_F(RandomGeneratorTest, RndIsUniformOverNegativeRanges) {
  // Rounding toward zero gave rnd(-5, -1) -5 never and -1 twice as often.
  seedWith(0.5);
  for (int low : {-5, -2}) {
    int counts[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 100000; ++i) ++counts[rnd(low, low + 4) - low];
    for (int c : counts) EXPECT_NEAR(c, 20000, 700) << low;
  }
}

TEST_F(RandomGeneratorTest, RndOverWideRanges) {
  // high - low + 1 does not fit an int over the whole int range.
  jrand = 0;
  oldrand[1] = 0.0;
  EXPECT_EQ(rnd(INT_MIN, INT_MAX), INT_MIN);
  // The largest double below 1 times a span of 2^32 - 1 rounds to the span,
  // so x is high + 1, which must not be returned.
  oldrand[2] = std::nextafter(1.0, 0.0);
  EXPECT_EQ(rnd(INT_MIN + 1, INT_MAX), INT_MAX);
}

TEST_F(RandomGeneratorTest, RndClampsDrawsFarOutsideTheUnitInterval) {
  // A draw below the interval gives low, above it high, NaN gives low.
  jrand = 0;
  oldrand[1] = -1.8e11;
  oldrand[2] = 1e300;
  oldrand[3] = std::numeric_limits<double>::quiet_NaN();
  oldrand[4] = std::numeric_limits<double>::infinity();
  EXPECT_EQ(rnd(1, 6), 1);
  EXPECT_EQ(rnd(1, 6), 6);
  EXPECT_EQ(rnd(1, 6), 1);
  EXPECT_EQ(rnd(-7, -2), -2);
}

TEST_F(RandomGeneratorTest, RndrealScalesTheDraw) {
  seedWith(0.5);
  EXPECT_NEAR(rndreal(-1.0, 1.0), 0.474474684951496, kTol);
  EXPECT_NEAR(rndreal(-1.0, 1.0), -0.518275635136331, kTol);
  EXPECT_NEAR(rndreal(-1.0, 1.0), 0.230108175621708, kTol);
}

TEST_F(RandomGeneratorTest, InitialSeedLeavesTheUnitInterval) {
  // 237.0 is outside [0, 1): the warm-up lets the magnitudes grow.
  ASSERT_EQ(seed, 237.0);
  randomize();
  EXPECT_NEAR(randomperc() / -1.80459e11, 1.0, 1e-5);
  seed = 237.0;
  randomize();
  for (int i = 0; i < 200; ++i) {
    const int r = rnd(1, 6);
    ASSERT_GE(r, 1);
    ASSERT_LE(r, 6);
  }
}

}  // namespace
