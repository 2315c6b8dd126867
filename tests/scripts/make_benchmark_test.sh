#!/usr/bin/env bash
# Runs scripts/make-benchmark for real (Debian's references, INDELible) and
# checks that every data set has its reference, that the demo's data set is
# held out, and that a finished benchmark is never made again unless an
# older version of the script made it.
#   make_benchmark_test.sh SCRIPT
set -euo pipefail
script=$1
source "$(dirname "$0")/check_helpers.sh"

bench=$tmp/bench
bash "$script" "$bench" 2>"$tmp/err" || fail "make-benchmark failed: $(cat "$tmp/err")"
sets=0
for f in "$bench"/*.fasta; do
  case $f in *.ref.fasta) continue ;; esac
  sets=$((sets + 1))
  name=${f%.fasta}
  [[ -s $name.ref.fasta || -s $name.msf ]] || fail "no reference for $(basename "$f")"
done
((sets == 41)) || fail "41 data sets expected, got $sets"
compgen -G "$bench/*BBS12030*" >/dev/null && fail "the demo's data set BBS12030 is in the benchmark"
[[ -e $bench.tmp ]] && fail "the build folder $bench.tmp was left behind"

# Made once: a second call leaves the files as they are.
touch "$bench/marker"
bash "$script" "$bench" 2>"$tmp/err" || fail "second call failed: $(cat "$tmp/err")"
[[ -e $bench/marker ]] || fail "a finished benchmark was made again"

# One made by an older version of the script (its marker says so) is made again.
echo "benchmark 1" >"$bench/.complete"
bash "$script" "$bench" 2>"$tmp/err" || fail "remaking an old benchmark failed: $(cat "$tmp/err")"
[[ -e $bench/marker ]] && fail "a benchmark of an older version was kept"
[[ -s $bench/tsim012.ref.fasta ]] || fail "the remade benchmark lacks the second simulated set"

bash "$script" 2>"$tmp/err" && fail "no folder named, yet it succeeded"
grep -q "name the benchmark folder" "$tmp/err" || fail "no message without a folder: $(cat "$tmp/err")"

finish_checks make-benchmark
