#!/usr/bin/env bash
# The advisor on the real reference alignments Debian ships beyond BAliBASE's
# four (scripts/fetch-references): per family and in the mean, the Q of the
# choice without a reference by agreement over the five classic aligners'
# candidates, over those and the four of other families (probcons, clustalo,
# muscle5, probalign), and of the peer MAFFT --auto; the wall seconds of
# each, all on two cores (alnadvise -j 2, mafft --thread 2).
#
#   bench/families/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: SKIP (families left out, default PF00134_Cyclin_N: 95
# sequences, minutes with the slow aligners).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries alnadvise alnscore
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/fetch-references" "$work/refs" 2>/dev/null
skip=${SKIP:-PF00134_Cyclin_N}
classic=clustalw,dialign-tx,kalign,mafft,muscle
q() { "$build/alnscore" -test "$1" -ref "$2" -quiet | sed 's/.*;Q=\([^;]*\);.*/\1/'; }
seconds() { awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'; }

printf '%-24s %8s %8s %8s %8s %8s %8s\n' family five s nine s auto s
for ref in "$work"/refs/*.ref.fasta; do
  name=$(basename "$ref" .ref.fasta)
  [[ " $skip " == *" $name "* ]] && continue
  input=${ref%.ref.fasta}.fasta
  line=$(printf '%-24s' "$name")
  for aligners in $classic $classic,probcons,clustalo,muscle5,probalign; do
    out=$work/advice-$name-${#aligners}
    start=$(date +%s.%N)
    "$build/alnadvise" -q -j 2 --no-html --aligners "$aligners" -o "$out" "$input" >/dev/null
    line+=$(printf ' %8s %8s' "$(q "$out/best.fasta" "$ref")" "$(seconds "$start")")
  done
  start=$(date +%s.%N)
  mafft --auto --thread 2 --quiet "$input" >"$work/auto.fasta"
  line+=$(printf ' %8s %8s' "$(q "$work/auto.fasta" "$ref")" "$(seconds "$start")")
  echo "$line"
done | tee "$work/table"
awk '{ for (i = 2; i <= 7; ++i) s[i] += $i; ++n }
     END { printf "%-24s", "mean (" n ")"; for (i = 2; i <= 7; ++i) printf " %8.3f", s[i] / n; print "" }' \
  "$work/table"
