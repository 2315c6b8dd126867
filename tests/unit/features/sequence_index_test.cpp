#include "features/sequence_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

namespace {

TEST(SequenceIndex, AgreesWithAHashMapOnManyRepeats) {
  std::mt19937 random(11);
  SequenceIndex index;
  std::unordered_map<std::string, std::string> reference;
  for (int i = 0; i < 50000; ++i) {
    // Short sequences over a small alphabet repeat often; lengths vary so
    // that prefixes of each other meet in the table.
    std::string sequence(random() % 7, 'A');
    for (char& c : sequence) c = "ACG\n"[random() % 4];
    std::string name = "r" + std::to_string(i);
    std::string_view first;
    auto known = reference.find(sequence);
    bool found = index.findOrAdd(sequence, name, first);
    ASSERT_EQ(found, known != reference.end()) << i;
    if (found) {
      EXPECT_EQ(first, known->second);
    } else {
      reference.emplace(sequence, name);
    }
  }
  EXPECT_EQ(index.size(), reference.size());
}

TEST(SequenceIndex, EmptyAndLargeEntries) {
  SequenceIndex index;
  std::string_view first;
  EXPECT_FALSE(index.findOrAdd("", "", first));
  EXPECT_TRUE(index.findOrAdd("", "later", first));
  EXPECT_EQ(first, "");

  // Larger than an arena block, and names kept apart from sequences.
  std::string big(5 << 20, 'W');
  EXPECT_FALSE(index.findOrAdd(big, "big", first));
  EXPECT_FALSE(index.findOrAdd(big + "W", "bigger", first));
  EXPECT_TRUE(index.findOrAdd(big, "again", first));
  EXPECT_EQ(first, "big");
  EXPECT_TRUE(index.findOrAdd("", "x", first));
  EXPECT_EQ(first, "");
  EXPECT_EQ(index.size(), 3u);
}

}  // namespace
