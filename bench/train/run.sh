#!/usr/bin/env bash
# alntrain's cost: runs per second and the share of its wall time spent
# outside the runs (its own work: breeding, checking and recording runs,
# writing files), with --jobs 1 and --jobs 2. Each measurement is a fresh
# training (nothing to reuse) on a small fixed benchmark: the four BAliBASE
# sets Debian ships and four simulated families; medians of RUNS trainings,
# and alntrain's own peak memory.
#
#   bench/train/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: RUNS (3).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries alntrain alnscore
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bench=$work/benchmark
"$root/scripts/simulate-families" "$bench" --count 4 --seed 31 \
  --sizes 8,32 --lengths 150,300 --heights 0.4,1.3 --indel-rates 0.03,0.2 >/dev/null
for b in /usr/share/doc/kalign/examples/BB11001 /usr/share/doc/kalign/examples/BB12006 \
  /usr/share/doc/kalign/examples/BB30014 /usr/share/dialign-tx/BB11002; do
  cp "$b.tfa" "$bench/$(basename "$b").fasta"
  cp "$b.msf" "$bench/$(basename "$b").msf"
done

source "$root/bench/median.sh"

printf '%-6s %8s %10s %12s %14s %10s %12s\n' jobs runs "runs/s" "outside %" "slots used %" "wall s" "peak KiB"
for jobs in 1 2; do
  : >"$work/results"
  for ((i = 0; i < ${RUNS:-3}; ++i)); do
    out=$work/out-$jobs-$i
    /usr/bin/time -f '%M' -o "$work/memory" "$build/alntrain" --tools "$tools" -o "$out" \
      -j "$jobs" --population 8 --generations 2 --seed 5 -q "$bench" 2>"$work/err" ||
      { cat "$work/err"; exit 1; }
    # "... N runs made in W s (R runs/s); P % of the time outside the runs; run
    # processes fill S % of J job slots."
    line=$(grep 'runs made in' "$out/report.txt" | tail -1)
    echo "$line" | sed -E 's/^([0-9]+) runs made in ([0-9.]+) s \(([0-9.]+) runs\/s\); ([0-9.]+) % .* fill ([0-9.]+) % .*/\1 \2 \3 \4 \5/' |
      tr '\n' ' ' >>"$work/results"
    cat "$work/memory" >>"$work/results"
  done
  col() { awk -v c="$1" '{ print $c }' "$work/results" | median; }
  printf '%-6s %8s %10s %12s %14s %10s %12s\n' "$jobs" "$(col 1)" "$(col 3)" "$(col 4)" "$(col 5)" \
    "$(col 2)" "$(col 6)"
done
