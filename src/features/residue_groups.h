// Counting the five residue groups of a protein sequence.
#ifndef GETCHAR_RESIDUE_GROUPS_H
#define GETCHAR_RESIDUE_GROUPS_H

#include <cstddef>
#include <cstdint>

// Group of each byte: 0 R,H,K (positive); 1 D,E (negative); 2 S,T,N,Q
// (polar); 3 C,U,G,P (special); 4 A,V,I,L,M,F,Y,W (hydrophobic); 5 none.
// Only upper-case ASCII letters belong to a group.
extern const uint8_t kResidueGroupOf[256];

// Adds the group counts of bytes [data, data + size) to counts[0..4].
void countResidueGroups(const char* data, size_t size, uint64_t counts[5]);

#endif
