// Recognising a data set that is one of the side files its own run would
// write: the run would truncate or append to the file it is still reading.
#ifndef GETCHAR_FEATURES_OWN_SIDE_FILE_H
#define GETCHAR_FEATURES_OWN_SIDE_FILE_H

#include <string>

// True when "sequence" + k + ".fasta" for a k >= 1 written as the run writes
// it (decimal, no leading zero).
bool isSequenceFileName(const char* name);

// The name, within `dir`, of the side file of a run into `dir` that is the
// same file (same device and inode, through any path, hard link or symbolic
// link) as the open data set `fd` read from `path`: "All-sequences.fasta",
// "r-sequences.fasta" or a sequence file name; "" when there is none.
// Sequence files are found by listing `dir`; a folder that cannot be listed
// (write and search permission only) is checked for the data set's own base
// name only.
std::string findOwnSideFile(int fd, const std::string& path, const std::string& dir);

#endif
