// An alignment parsed from text in a test, failing the test when it does not parse.
#ifndef TESTS_UNIT_SCORING_PARSED_ALIGNMENT_H
#define TESTS_UNIT_SCORING_PARSED_ALIGNMENT_H

#include <gtest/gtest.h>

#include <string>

#include "scoring/alignment.h"

namespace scoring {

inline Alignment parsedAlignment(const std::string& text) {
  Alignment a;
  std::string error;
  EXPECT_TRUE(parseAlignment(text, &a, &error)) << error;
  return a;
}

}  // namespace scoring

#endif
