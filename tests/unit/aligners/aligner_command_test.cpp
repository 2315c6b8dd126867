// The command lines of the aligners and of the merge, byte for byte.
#include "aligners/aligner_command.h"

#include <gtest/gtest.h>

#include "aligners/run_files.h"
#include "getChar.h"

namespace {

// Sets pid_ and time_ for one test and puts them back afterwards.
class RunNumbers {
 public:
  RunNumbers(int pid, int time) : savedPid_(pid_), savedTime_(time_) {
    pid_ = pid;
    time_ = time;
  }
  ~RunNumbers() {
    pid_ = savedPid_;
    time_ = savedTime_;
  }

 private:
  int savedPid_, savedTime_;
};

const char kOut[] = "/tmp/fasta00/fasta300";

}  // namespace

TEST(RunFilesTest, NamesJoinTheNumbersWithoutSeparators) {
  RunNumbers numbers(7, 9);
  EXPECT_EQ(runDirectory(), "/tmp/fasta79");
  EXPECT_EQ(outputFile(2), "/tmp/fasta79/fasta279");
  RunNumbers negative(-3, 0);
  EXPECT_EQ(outputFile(12), "/tmp/fasta-30/fasta12-30");
  RunNumbers zero(0, 0);
  EXPECT_EQ(outputFile(3), kOut);
}

TEST(AlignerCommandTest, EachKindWithOptions) {
  EXPECT_EQ(alignerCommand(CLUSTALW, "in.fa", kOut, "-type=protein", 0),
            "cp in.fa /tmp/fasta00/fasta300.input; ./bin/clustalw2 "
            "-infile=/tmp/fasta00/fasta300.input -outfile=/tmp/fasta00/fasta300 "
            "-output=fasta -quiet -outorder=input -type=protein");
  EXPECT_EQ(alignerCommand(DIALIGNTX, "in.fa", kOut, "-l 1", 0),
            "./bin/dialign-tx -l 1 ./lib/DIALIGN-TX_1.0.2/conf/ in.fa /tmp/fasta00/fasta300 "
            "> /dev/null ");
  EXPECT_EQ(alignerCommand(KALIGN, "in.fa", kOut, "-gpo 10", 0),
            "./bin/kalign2 -in in.fa -out /tmp/fasta00/fasta300 -quiet -gpo 10 2> /dev/null");
  EXPECT_EQ(alignerCommand(MAFFT, "in.fa", kOut, "--maxiterate 2", 0),
            "./bin/mafft --anysymbol --thread 1 --quiet --maxiterate 2 in.fa > "
            "/tmp/fasta00/fasta300 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE, "in.fa", kOut, "-diags", 0),
            "./bin/muscle3.8 -in in.fa -out /tmp/fasta00/fasta300 -quiet -diags 2> /dev/null");
}

TEST(AlignerCommandTest, EmptyOptionsLeaveTheirBlanks) {
  EXPECT_EQ(alignerCommand(CLUSTALW, "a", "o", "", 0),
            "cp a o.input; ./bin/clustalw2 -infile=o.input -outfile=o -output=fasta -quiet "
            "-outorder=input ");
  EXPECT_EQ(alignerCommand(DIALIGNTX, "a", "o", "", 0),
            "./bin/dialign-tx  ./lib/DIALIGN-TX_1.0.2/conf/ a o > /dev/null ");
  EXPECT_EQ(alignerCommand(KALIGN, "a", "o", "", 0),
            "./bin/kalign2 -in a -out o -quiet  2> /dev/null");
  EXPECT_EQ(alignerCommand(MAFFT, "a", "o", "", 0),
            "./bin/mafft --anysymbol --thread 1 --quiet  a > o 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE, "a", "o", "", 0),
            "./bin/muscle3.8 -in a -out o -quiet  2> /dev/null");
}

TEST(AlignerCommandTest, LargeInputSettingsSwitchAtTheirThresholds) {
  EXPECT_EQ(alignerCommand(MAFFT, "a", "o", "-x", 9999),
            "./bin/mafft --anysymbol --thread 1 --quiet -x a > o 2> /dev/null");
  EXPECT_EQ(alignerCommand(MAFFT, "a", "o", "-x", 10000),
            "./bin/mafft --anysymbol --thread 1 --quiet --parttree -x a > o 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE, "a", "o", "-x", 2999),
            "./bin/muscle3.8 -in a -out o -quiet -x 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE, "a", "o", "-x", 3000),
            "./bin/muscle3.8 -in a -out o -quiet -maxiters 2 -x 2> /dev/null");
}

TEST(AlignerCommandTest, OtherFamiliesWriteAlignedFastaToTheOutput) {
  EXPECT_EQ(alignerCommand(PROBCONS, "a", "o", "-c 1", 0),
            "./bin/probcons -c 1 a > o 2> /dev/null");
  EXPECT_EQ(alignerCommand(CLUSTALO, "a", "o", "--iter 2", 0),
            "./bin/clustalo -i a -o o --outfmt=fa --threads=1 --iter 2 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE5, "a", "o", "-perm abc", 0),
            "./bin/muscle5 -align a -output o -threads 1 -perm abc 2> /dev/null");
  EXPECT_EQ(alignerCommand(MUSCLE5, "a", "o", "-stratified -replicates 1", 0),
            "./bin/muscle5 -align a -output o.efa -threads 1 -stratified -replicates 1 "
            "2> /dev/null && ./bin/muscle5 -maxcc o.efa -output o 2> /dev/null");
  EXPECT_EQ(alignerCommand(PROBALIGN, "a", "o", "", 0), "./bin/probalign  a > o 2> /dev/null");
}

TEST(AlignerCommandTest, UnknownKindGivesTheEmptyCommand) {
  EXPECT_EQ(alignerCommand(9, "a", "o", "-x", 0), "");
  EXPECT_EQ(alignerCommand(-1, "a", "o", "-x", 0), "");
}

TEST(AlignerCommandTest, MergeReadsIndicesOneToThreeAndWritesFour) {
  RunNumbers numbers(0, 0);
  EXPECT_EQ(mergeCommand(),
            "./bin/t_coffee -in=/tmp/fasta00/fasta100 -in=/tmp/fasta00/fasta200 "
            "-in=/tmp/fasta00/fasta300 -output=fasta_aln -outfile=/tmp/fasta00/fasta400 "
            "-evaluate_mode=t_coffee_slow -maxnseq=80 -maxlen=2500 -multi_core=4 -quiet "
            "-newtree=/tmp/fasta00/fasta400.dnd");
  // A sequence type for nucleotides ends the command.
  EXPECT_EQ(mergeCommand("-type=dna"), mergeCommand() + " -type=dna");
}
