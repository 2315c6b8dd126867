// The residue-group counting kernel against a plain per-byte count.
#include "features/residue_groups.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

int plainGroupOf(unsigned char c) {
  const std::string groups[5] = {"RHK", "DE", "STNQ", "CUGP", "AVILMFYW"};
  for (int g = 0; g < 5; ++g)
    if (groups[g].find(static_cast<char>(c)) != std::string::npos) return g;
  return 5;
}

std::vector<uint64_t> plainCount(const char* data, size_t size) {
  std::vector<uint64_t> counts(5, 0);
  for (size_t i = 0; i < size; ++i) {
    const int g = plainGroupOf(static_cast<unsigned char>(data[i]));
    if (g < 5) ++counts[g];
  }
  return counts;
}

std::vector<uint64_t> kernelCount(const char* data, size_t size) {
  uint64_t counts[5] = {0, 0, 0, 0, 0};
  countResidueGroups(data, size, counts);
  return std::vector<uint64_t>(counts, counts + 5);
}

TEST(ResidueGroupsTest, TableMatchesTheGroupLettersForEveryByte) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(kResidueGroupOf[c], plainGroupOf(static_cast<unsigned char>(c))) << c;
}

TEST(ResidueGroupsTest, EveryByteValueAtEveryVectorPosition) {
  // Each byte value alone in a run of a neutral byte, at every offset of
  // lengths that cover the short, 16-, 32-byte and tail paths.
  for (size_t size : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 100u}) {
    for (int c = 0; c < 256; ++c) {
      for (size_t pos = 0; pos < size; ++pos) {
        std::string s(size, 'x');
        s[pos] = static_cast<char>(c);
        ASSERT_EQ(kernelCount(s.data(), size), plainCount(s.data(), size))
            << "byte " << c << " at " << pos << " of " << size;
      }
    }
  }
}

TEST(ResidueGroupsTest, RandomBytesOfEveryLengthAndAlignment) {
  std::mt19937 gen(12345);
  std::vector<char> buffer(9000);
  for (char& b : buffer) b = static_cast<char>(gen() & 0xFF);
  for (size_t size = 0; size <= 300; ++size)
    for (size_t offset = 0; offset < 4; ++offset)
      ASSERT_EQ(kernelCount(buffer.data() + offset, size), plainCount(buffer.data() + offset, size))
          << size << " at offset " << offset;
  for (size_t size : {8160u, 8161u, 8191u, 8192u, 8999u})
    ASSERT_EQ(kernelCount(buffer.data(), size), plainCount(buffer.data(), size)) << size;
}

TEST(ResidueGroupsTest, LongRunsOfOneLetterDoNotOverflow) {
  // More than 255 vectors of the same group in one call.
  for (size_t size : {255u * 32, 255u * 32 + 5, 256u * 32, 100000u}) {
    const std::string s(size, 'L');
    EXPECT_EQ(kernelCount(s.data(), size), std::vector<uint64_t>({0, 0, 0, 0, size}));
  }
}

}  // namespace
