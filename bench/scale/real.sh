#!/usr/bin/env bash
# The advisor's time on real families of 29 to 105 sequences against MAFFT
# --auto's, both on two cores: alnadvise -j 2 with its default budget and
# with --budget 0 (every candidate), and mafft --auto --thread 2; medians of
# RUNS runs each (one of --budget 0), summed over the families. Where a family has a reference,
# the Q of each one's alignment too (the advisor's choice without it).
#
#   bench/scale/real.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: RUNS (3).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries alnadvise alnscore
need_aligners
source "$root/bench/median.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=${RUNS:-3}
dt=/usr/share/dialign-tx
kx=/usr/share/doc/kalign/examples
# NAME INPUT REFERENCE (- for none)
sets="kringle_1_ref6 $dt/kringle_1_ref6.tfa -
BB30014 $kx/BB30014.tfa $kx/BB30014.msf
BB20008 $dt/BB20008.tfa -
BB20003 $dt/BB20003.tfa -
BB30028 $dt/BB30028.tfa -"
flags=(-seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet)
q_of() {
  [[ $2 == - || ! -s $1 ]] && { echo NA; return; }
  "$build/alnscore" -test "$1" -ref "$2" "${flags[@]}" | sed 's/.*;Q=\([^;]*\);.*/\1/'
}
seconds() { awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN { printf "%.3f", ns / 1e9 }'; }

printf '%-15s %4s %9s %9s %9s %7s %7s %7s %6s %6s %6s\n' family n auto_s budget_s all_s \
  ratio ratio0 peakMB Q_auto Q_bud Q_all
total_auto=0 total_budget=0 total_all=0
while read -r name input ref; do
  n=$(grep -c '>' "$input")
  declare -A t=()
  peak=0
  for mode in auto budget all; do
    walls=()
    repeats=$runs
    [[ $mode == all ]] && repeats=1
    for ((i = 0; i < repeats; i++)); do
      start=$(date +%s%N)
      case $mode in
        auto) mafft --auto --anysymbol --thread 2 --quiet "$input" >"$work/auto.fasta" 2>/dev/null ;;
        budget) /usr/bin/time -v -o "$work/time" "$build/alnadvise" --tools "$tools" -j 2 \
                  -q --format json -o "$work/budget" --force "$input" >"$work/budget.json" ||
                  echo "$name: the advisor failed" >&2
                kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
                ((kb > peak)) && peak=$kb ;;
        all) "$build/alnadvise" --tools "$tools" -j 2 --budget 0 -q --format json \
               -o "$work/all" --force "$input" >"$work/all.json" ||
               echo "$name: the advisor failed with --budget 0" >&2 ;;
      esac
      walls+=("$(seconds "$start")")
    done
    t[$mode]=$(median "${walls[@]}")
  done
  qa=$(q_of "$work/auto.fasta" "$ref")
  qb=$(q_of "$work/budget/best.fasta" "$ref")
  q0=$(q_of "$work/all/best.fasta" "$ref")
  printf '%-15s %4d %9.2f %9.2f %9.2f %7.2f %7.2f %7d %6s %6s %6s\n' "$name" "$n" "${t[auto]}" \
    "${t[budget]}" "${t[all]}" "$(awk -v a="${t[budget]}" -v b="${t[auto]}" 'BEGIN{print a/b}')" \
    "$(awk -v a="${t[all]}" -v b="${t[auto]}" 'BEGIN{print a/b}')" $((peak / 1024)) "$qa" "$qb" "$q0"
  total_auto=$(awk -v a="$total_auto" -v b="${t[auto]}" 'BEGIN{print a+b}')
  total_budget=$(awk -v a="$total_budget" -v b="${t[budget]}" 'BEGIN{print a+b}')
  total_all=$(awk -v a="$total_all" -v b="${t[all]}" 'BEGIN{print a+b}')
  unset t
done <<<"$sets"
printf '%-15s %4s %9.2f %9.2f %9.2f %7.2f %7.2f\n' total - "$total_auto" "$total_budget" \
  "$total_all" "$(awk -v a="$total_budget" -v b="$total_auto" 'BEGIN{print a/b}')" \
  "$(awk -v a="$total_all" -v b="$total_auto" 'BEGIN{print a/b}')"
