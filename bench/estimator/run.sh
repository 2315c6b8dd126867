#!/usr/bin/env bash
# The learned estimator's features and the column confidence against plain
# agreement on the same candidates, side by side: generated families of 20, 200 and 1,000
# sequences (eight candidates each) and the real candidates alnadvise makes
# for BAliBASE BB30014 (44 sequences). Prints the median of five runs of each,
# the ratios features / agreement and confidence / agreement and the peak
# memory of the whole run.
#
#   bench/estimator/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries estimator_bench alnadvise alnscore
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/alnadvise" -q --no-merge --no-html --estimator agreement --tools "$tools" \
  -o "$work/advice" /usr/share/doc/kalign/examples/BB30014.tfa >/dev/null
/usr/bin/time -v -o "$work/time" "$build/bench/estimator/estimator_bench" \
  --real "$work/advice/alignments" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv >"$work/out.csv" 2>/dev/null
awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    split(name, part, "/"); t[part[1], part[2]] = $3; sizes[part[2]] = 1 }
  END { printf "%-10s %-14s %-14s %-7s %-15s %s\n", "input", "agreement_ms", "features_ms",
          "ratio", "confidence_ms", "ratio"
        for (s in sizes) printf "%-10s %-14.2f %-14.2f %-7.2f %-15.3f %.3f\n", s, t["agreement", s],
          t["features", s], t["features", s] / t["agreement", s], t["confidence", s],
          t["confidence", s] / t["agreement", s] }' "$work/out.csv"
echo "peak memory of the whole run: $(awk -F': ' '/Maximum resident/ { printf "%.0f MB", $2 / 1024 }' "$work/time")"
