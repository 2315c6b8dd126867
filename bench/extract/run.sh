#!/usr/bin/env bash
# Times the four-argument mode of getChar against seqkit (rmdup + split: the
# distinct records, one file each) and against a floor program that only
# creates as many small files, on one generated data set, alternating runs.
#   bench/extract/run.sh [RECORDS] [RUNS]
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Output folders live on /dev/shm: mass file creation on disk right after a
# mass delete is too erratic to measure.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 2 "$@"
records="${1:-100000}"
runs="${2:-5}"
need_binaries getChar gen_fasta floor_files

work=/dev/shm/getchar-bench-extract
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
data="$work/data.fa"
"$(binary_path gen_fasta)" --records "$records" --lengths 175,525 --repeats 10 --width 60 \
  --seed 42 >"$data"
# Distinct records: what both tools write one file each for.
mkdir "$work/count"
distinct=$("$build/getChar" "$data" MAFFT "$work/count" | wc -l || true)
rm -rf "$work/count"
echo "data set: $records records, $(du -m "$data" | cut -f1) MB, $distinct distinct"

measure() {  # prints "seconds peak_kb"
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" > /dev/null 2>&1 || true
  tail -n 1 "$work/time"
}
fresh() { rm -rf "$work/out" && mkdir "$work/out"; }

declare -a ours theirs floor ours_mem theirs_mem
for ((i = 0; i < runs; i++)); do
  fresh; read -r t m < <(measure "$build/getChar" "$data" MAFFT "$work/out"); ours+=("$t"); ours_mem+=("$m")
  n=$(ls "$work/out" | wc -l)
  fresh; read -r t m < <(measure bash -c "seqkit rmdup -s -j 1 '$data' 2>/dev/null | seqkit split -s 1 -j 1 -O '$work/out' 2>/dev/null"); theirs+=("$t"); theirs_mem+=("$m")
  fresh; read -r t m < <(measure "$build/bench/extract/floor_files" "$work/out" "$distinct"); floor+=("$t")
done
source "$root/bench/median.sh"
mo=$(median "${ours[@]}"); ms=$(median "${theirs[@]}"); mf=$(median "${floor[@]}")
echo "files written by getChar: $n (distinct records + All-sequences + r-sequences)"
echo "median wall time: getChar ${mo}s, seqkit ${ms}s, floor ${mf}s"
awk -v o="$mo" -v s="$ms" -v f="$mf" 'BEGIN {printf "getChar/seqkit %.2f  getChar/floor %.2f  seqkit/floor %.2f\n", o/s, o/f, s/f}'
echo "peak memory: getChar $(median "${ours_mem[@]}") KB, seqkit $(median "${theirs_mem[@]}") KB, input $(du -k "$data" | cut -f1) KB"
