#!/usr/bin/env bash
# Scores generated alignment pairs with alnscore and with t_coffee's
# aln_compare (sum-of-pairs mode) side by side: median wall time of several
# runs, their ratio and peak memory. On the large inputs, where aln_compare
# would take hours, alnscore alone runs and its counts are checked against
# the generator's.
#
#   bench/alnscore/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries alnscore alnscore_gen
scorer=$build/alnscore
generator=$build/bench/alnscore/alnscore_gen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command once; sets $secs (wall time) and $kb (peak resident set).
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -v -o "$work/time" "$@" >"$work/out" 2>"$work/err"
  end=$(date +%s%N)
  secs=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
}

source "$root/bench/median.sh"

# Times `runs` runs of a command; sets $med (median seconds) and $peak (max KB).
bench() {
  local runs=$1 times=() t
  shift
  peak=0
  for ((t = 0; t < runs; t++)); do
    measure "$@"
    times+=("$secs")
    ((kb > peak)) && peak=$kb
  done
  med=$(median "${times[@]}")
}

flags=(-seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname)
status=0
printf '%-12s %-9s %-9s %-9s %-10s %-10s %-8s %s\n' size alnscore aln_cmp ratio alnscore_MB aln_cmp_MB Q SP
for size in 100x1000 200x1000 1000x5000 10000x2000; do
  n=${size%x*} cols=${size#*x}
  truth=$("$generator" 42 "$n" "$cols" "$work")
  read -r _ kept _ pairs _ whole _ columns _ _ <<<"$truth"

  bench 5 "$scorer" -test "$work/test.fa" -ref "$work/ref.fa" "${flags[@]}"
  ours=$med ours_kb=$peak
  q=$(cut -d';' -f3 "$work/out")
  counts=$(sed -n 's/.* \([0-9]*\) of \([0-9]*\) residue pairs and \([0-9]*\) of \([0-9]*\) columns.*/\1 \2 \3 \4/p' "$work/err")
  if [[ $counts != "$kept $pairs $whole $columns" ]]; then
    echo "$size: alnscore counted '$counts', the generator '$kept $pairs $whole $columns'" >&2
    status=1
  fi

  if ((n <= 200)); then
    bench 3 t_coffee -other_pg aln_compare -al1 "$work/ref.fa" -al2 "$work/test.fa" -compare_mode sp
    sp=$(tail -n 1 "$work/out" | awk '{ print $4 }')
    ratio=$(awk -v a="$med" -v b="$ours" 'BEGIN { printf "%.0fx", a / b }')
    printf '%-12s %-9s %-9s %-9s %-10s %-10s %-8s %s\n' "$size" "$ours" "$med" "$ratio" \
      $((ours_kb / 1024)) $((peak / 1024)) "$q" "$sp"
  else
    printf '%-12s %-9s %-9s %-9s %-10s %-10s %-8s %s\n' "$size" "$ours" - - $((ours_kb / 1024)) - "$q" -
  fi
done
echo "Inputs: generator seed 42; alnscore runs 5 times, aln_compare 3 times; medians of wall time in seconds."
echo "Counts of alnscore equal to the generator's truth: $([[ $status == 0 ]] && echo yes || echo NO)"
exit $status
