// Seeded subtractive pseudo-random generator (lags 24 and 55, modulo 1).
// The whole state is global (seed, jrand, oldrand), so one generator serves
// the process; a seed in [0, 1) keeps every value in [0, 1).
#include <cmath>

#include "getChar.h"

namespace {

// x modulo 1 for a difference of two values in [0, 1).
inline double wrapUnit(double x) { return x < 0.0 ? x + 1.0 : x; }

// The next value of the sequence; refills the table after oldrand[54].
double drawValue() {
  ++jrand;
  if (jrand > 54) {
    jrand = 1;
    advance_random();
  }
  return oldrand[jrand];
}

}  // namespace

void advance_random() {
  // The second loop subtracts values already replaced by this call.
  for (int j = 0; j < 24; ++j) oldrand[j] = wrapUnit(oldrand[j] - oldrand[j + 31]);
  for (int j = 24; j < 55; ++j) oldrand[j] = wrapUnit(oldrand[j] - oldrand[j - 24]);
}

void warmup_random(double random_seed) {
  oldrand[54] = random_seed;
  double next = 0.000000001;
  double previous = random_seed;
  for (int i = 1; i <= 54; ++i) {
    const int k = (21 * i) % 54;  // only 0, 3, ..., 51; the last write stands
    oldrand[k] = next;
    const double x = wrapUnit(previous - next);
    previous = next;
    next = x;
  }
  advance_random();
  advance_random();
  advance_random();
  jrand = 0;
}

void randomize() {
  for (double& value : oldrand) value = 0.0;
  jrand = 0;
  warmup_random(seed);
}

double randomperc() { return drawValue(); }

int rnd(int low, int high) {
  if (low >= high) return low;
  // The span in 64 bits: high - low + 1 overflows an int for wide ranges.
  const long long span = static_cast<long long>(high) - low + 1;
  const double x = static_cast<double>(span) * drawValue() + low;
  // A draw outside [0, 1) (a seed outside [0, 1)) can put x far outside the
  // range or make it NaN; clamp before converting, as an out-of-range
  // conversion to int is undefined.
  if (!(x >= low)) return low;
  if (x >= high) return high;
  // Round down: truncation toward zero would never give low for a negative
  // low, and give the value nearest zero twice as often.
  return static_cast<int>(std::floor(x));
}

double rndreal(double low, double high) { return drawValue() * (high - low) + low; }
