#!/usr/bin/env bash
# Builds the comparison benchmarks and runs them side by side with their
# peers on the same seeded proteins: edit distance against edlib on related
# pairs (1, 10 and 30 % of positions mutated, indels included) and unrelated
# ones, global alignment against every parasail trace variant. Prints the
# median of 5 runs of each, our time over the peer's (the fastest parasail
# variant), and the peak memory of one call per process.
#
#   bench/compare/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries compare_bench compare_once
bin=$build/bench/compare
csv=$(mktemp)
trap 'rm -f "$csv"' EXIT

# Interleaved repetitions, so that a burst of load on the shared machine
# does not fall on one side only.
"$bin/compare_bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=csv \
  2>/dev/null >"$csv"
if awk -F, 'NR > 1 && $9 == "true" { found = 1 } END { exit !found }' "$csv"; then
  echo "a benchmark failed:" >&2
  awk -F, 'NR > 1 && $9 == "true"' "$csv" >&2
  exit 1
fi

# name,iterations,real_time,cpu_time,... for the medians, in milliseconds.
medians() {
  awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/\/real_time_median$/, "", $1);
                        print $1, $3, $4 }' "$csv"
}

ratio_table() {  # own-name peer-prefix length
  medians | awk -v own="$1/$3" -v prefix="$2" -v len="/$3" '
    $1 == own { ownReal = $2; ownCpu = $3 }
    index($1, prefix) == 1 && substr($1, length($1) - length(len) + 1) == len {
      if (peer == "" || $2 < peerReal) { peer = $1; peerReal = $2; peerCpu = $3 }
    }
    END {
      printf "%-36s %10.2f ms wall %10.2f ms cpu\n", own, ownReal, ownCpu
      printf "%-36s %10.2f ms wall %10.2f ms cpu\n", peer, peerReal, peerCpu
      printf "%-36s %10.3fx wall %10.3fx cpu\n\n", "ratio (own / peer)",
             ownReal / peerReal, ownCpu / peerCpu
    }'
}

kinds="related1 related10 related30 unrelated"
echo "== time: median of 5 runs"
for kind in $kinds; do
  for length in 10000 50000 100000; do
    ratio_table "levenshtein/own/$kind" "levenshtein/edlib/$kind" "$length"
  done
done
ratio_table nw/own nw/parasail_ 2000
ratio_table nw/own nw/parasail_ 10000
echo "all parasail variants (wall, cpu ms):"
medians | awk '$1 ~ /^nw\/parasail_/ { printf "  %-34s %10.2f %10.2f\n", $1, $2, $3 }'

peak() {  # operation length [kind] -> kilobytes
  /usr/bin/time -f %M "$bin/compare_once" "$@" 2>&1 >/dev/null | tail -1
}
echo
echo "== peak memory of one call (maximum resident set size, KB)"
for kind in $kinds; do
  for length in 10000 50000 100000; do
    printf "  %-10s %-8s levenshtein %8s   edlib %8s\n" "$kind" "$length" \
      "$(peak levenshtein "$length" "$kind")" "$(peak edlib "$length" "$kind")"
  done
done
for length in 2000 10000; do
  printf "  %-8s nw %8s\n" "$length" "$(peak nw "$length")"
  for variant in striped_16 striped_32 striped_sat scan_16 scan_32 scan_sat \
                 diag_16 diag_32; do
    printf "  %-8s parasail_%-12s %8s\n" "$length" "$variant" \
      "$(peak "parasail_$variant" "$length")"
  done
done
