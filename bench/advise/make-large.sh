#!/usr/bin/env bash
# Makes a benchmark of large families with what real large families have,
# for bench/advise/effort.sh: many near-duplicates, clades of very different
# divergence, a few remote members, fragments, root lengths from 150 to
# 1,400, scored on 100 rows drawn among the members that are not
# duplicates, as large-family benchmarks score a few curated members among
# many (bench/scale/simulate_large's --clades, --remote, --duplicates,
# --fragments and --scored).
#
#   bench/advise/make-large.sh OUT_DIR [SIZE ...]     (default 1000 2000 5000 10000)
#
# Family i of the sizes (from 0) is OUT_DIR/largeN.fasta with its reference
# largeN.ref.fasta: seed 300 + i, tree height 1.5, 8 clades of heights 0.05
# to 1.2, 5 remote members, 30 % near-duplicates, 10 % fragments, indel rate
# 0.02, root length the i-th of 300 1400 150 250 800 (cycled). Environment:
# SIMULATE_LARGE (the program; default: found or built by
# scripts/lib/binaries.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/binaries.sh"
expect_arguments 1 '' "$@"
out=$1
shift
sizes=("$@")
((${#sizes[@]})) || sizes=(1000 2000 5000 10000)
need_program simulate_large SIMULATE_LARGE
lengths=(300 1400 150 250 800)
mkdir -p "$out"
for i in "${!sizes[@]}"; do
  n=${sizes[$i]}
  "$simulate_large" "$out/large$n" --sequences "$n" --length "${lengths[$((i % 5))]}" --height 1.5 \
    --indel-rate 0.02 --seed $((300 + i)) --clades 8 0.05,1.2 --remote 5 --duplicates 0.3 \
    --fragments 0.1 --scored 100
  echo "make-large.sh: $out/large$n ($n sequences)" >&2
done
