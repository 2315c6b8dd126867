// Deciding a data set's alphabet from its letters, and --alphabet's words.
#include "runs/alphabet.h"

#include <gtest/gtest.h>

#include "runs/data_set.h"

namespace runs {
namespace {

Alphabet detect(const std::vector<std::string>& residues) {
  return detectAlphabet(alphabetEvidence(residues));
}

TEST(Alphabet, NucleotidesByShareCaseAndAmbiguityCodes) {
  EXPECT_EQ(detect({"ACGTTGCA", "acgttgca"}), Alphabet::kDna);
  EXPECT_EQ(detect({"ACGTacgtNNnn", "AcGt"}), Alphabet::kDna);    // mixed case
  EXPECT_EQ(detect({"NNNNNNNN", "nnnn"}), Alphabet::kDna);        // all N
  EXPECT_EQ(detect({"ACGUUGCA", "acguugca"}), Alphabet::kRna);    // U, no T
  EXPECT_EQ(detect({"ACGUUGCA", "ACGTTGCA"}), Alphabet::kDna);    // T and U: DNA
  // 9 of 10 letters A/C/G/T/U/N with an ambiguity code is the threshold.
  EXPECT_EQ(detect({"ACGTACGTAR"}), Alphabet::kDna);
  EXPECT_EQ(detect({"ACGTACGTRY"}), Alphabet::kProtein);          // 80%
  EXPECT_EQ(detect({"ACGTACGTACGTACGTACGTACGTACGTYKMSWBDHVR"}), Alphabet::kProtein);
}

TEST(Alphabet, ProteinRichInNucleotideLetters) {
  // One letter that codes only for amino acids decides, however rich in
  // A, C, G, T the rest is.
  EXPECT_EQ(detect({"GATTACAGATTACAGATTACAL", "GATTACA"}), Alphabet::kProtein);
  for (const char* amino : {"E", "F", "I", "L", "P", "Q", "X", "Z", "J", "O"})
    EXPECT_EQ(detect({std::string("ACGTACGTACGTACGTACGTACGTACGT") + amino}), Alphabet::kProtein)
        << amino;
  EXPECT_EQ(detect({"MKVLAAGIVGLLLAHSEQWR", "MKVLAGIVGLL"}), Alphabet::kProtein);
  // A peptide written in A, C, G and T alone cannot be told from DNA: it
  // is taken for DNA, and --alphabet protein says otherwise.
  EXPECT_EQ(detect({"GATC", "CAT"}), Alphabet::kDna);
  EXPECT_EQ(detect({}), Alphabet::kProtein);
}

TEST(Alphabet, ChoiceWordsAndTheDataSetsAlphabet) {
  bool automatic = false;
  Alphabet a = Alphabet::kProtein;
  EXPECT_TRUE(parseAlphabetChoice("auto", &automatic, &a));
  EXPECT_TRUE(automatic);
  EXPECT_TRUE(parseAlphabetChoice("rna", &automatic, &a));
  EXPECT_FALSE(automatic);
  EXPECT_EQ(a, Alphabet::kRna);
  EXPECT_FALSE(parseAlphabetChoice("nucleotide", &automatic, &a));

  DataSet data;
  data.residues = {"ACGT", "ACGA"};
  std::string error;
  ASSERT_TRUE(chooseAlphabet("auto", &data, &error));
  EXPECT_EQ(data.alphabet, Alphabet::kDna);
  ASSERT_TRUE(chooseAlphabet("protein", &data, &error));  // as said, whatever the letters
  EXPECT_EQ(data.alphabet, Alphabet::kProtein);
  EXPECT_FALSE(chooseAlphabet("DNA!", &data, &error));
  EXPECT_NE(error.find("unknown alphabet 'DNA!'"), std::string::npos) << error;
  EXPECT_STREQ(alphabetName(Alphabet::kDna), "dna");
}

}  // namespace
}  // namespace runs
