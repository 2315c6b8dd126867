#!/usr/bin/env bash
# Streaming feature extraction against `seqkit stats -a -j 1` and `wc -l` on
# one generated protein FASTA file of about 500 MB held in /dev/shm.
# Runs each tool RUNS times in alternation, and prints the median wall
# times, the ratios and the peak resident memory. Then the residue-group
# kernel alone against a plain table loop, on 60-residue lines and on one
# long line (extract2_kernel_bench: median throughput of RUNS repetitions,
# at least 3).
#
#   bench/extract2/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: SIZE_MB (500), RUNS (5), SEED (42).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
size_mb=${SIZE_MB:-500}
runs=${RUNS:-5}
data=/dev/shm/extract2-bench-$$.fa
scratch=$(mktemp -d)
trap 'rm -rf "$data" "$scratch"' EXIT

need_binaries extract2_driver extract2_kernel_bench gen_fasta
driver=$(binary_path extract2_driver)

"$(binary_path gen_fasta)" --megabytes "$size_mb" --lengths 50,1500 --uniprot \
  --seed "${SEED:-42}" >"$data"
bytes=$(stat -c %s "$data")
cat "$data" >/dev/null  # tmpfs: already in memory; touch it once anyway

echo "input: $data, $bytes bytes"
echo "extractFeatures2: $("$driver" "$data")"
echo "seqkit stats:"
seqkit stats -a -j 1 -T "$data" | cut -f 4-8
echo

tools=(extract2 seqkit wc)
declare -A cmd=(
  [extract2]="$driver $data"
  [seqkit]="seqkit stats -a -j 1 $data"
  [wc]="wc -l $data"
)

# Appends "<wall s> <peak kB> <cpu s>" of one run to $scratch/<tool>. CPU
# time (user + system) is less disturbed than wall time on a busy machine.
run_once() {
  local tool=$1 start end
  start=$EPOCHREALTIME
  # shellcheck disable=SC2086
  /usr/bin/time -f '%M %U %S' -o "$scratch/usage" ${cmd[$tool]} >/dev/null
  end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" '{ printf "%.4f %d %.2f\n", b - a, $1, $2 + $3 }' \
    "$scratch/usage" >>"$scratch/$tool"
}

for ((i = 0; i < runs; i++)); do
  for tool in "${tools[@]}"; do run_once "$tool"; done
done

source "$root/bench/median.sh"

column() { cut -d' ' -f"$2" "$scratch/$1"; }

declare -A wall cpu
printf '%-10s %10s %10s %10s %10s  %s\n' tool wall_s MB/s cpu_s peak_MB 'wall of each run'
for tool in "${tools[@]}"; do
  wall[$tool]=$(column "$tool" 1 | median)
  cpu[$tool]=$(column "$tool" 3 | median)
  peak=$(column "$tool" 2 | sort -n | tail -1)
  printf '%-10s %10.3f %10.0f %10.2f %10.1f  %s\n' "$tool" "${wall[$tool]}" \
    "$(awk -v b="$bytes" -v t="${wall[$tool]}" 'BEGIN { print b / t / 1048576 }')" \
    "${cpu[$tool]}" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" \
    "$(column "$tool" 1 | tr '\n' ' ')"
done
echo "(medians of $runs alternating runs; peak_MB is the largest maximum resident set size)"
echo
ratios() {
  awk -v e="$2" -v s="$3" -v w="$4" -v what="$1" 'BEGIN {
    printf "%s: extractFeatures2 throughput / seqkit stats: %.2fx (goal >= 4)\n", what, s / e
    printf "%s: extractFeatures2 time / wc -l:              %.2fx (goal <= 3)\n", what, e / w
    printf "%s: seqkit stats time / wc -l:                  %.2fx\n", what, s / w
  }'
}
ratios wall "${wall[extract2]}" "${wall[seqkit]}" "${wall[wc]}"
ratios cpu "${cpu[extract2]}" "${cpu[seqkit]}" "${cpu[wc]}"

echo
repetitions=$((runs < 3 ? 3 : runs))  # the library gives no median of fewer
echo "residue-group kernel against the plain table loop (median of $repetitions, MB/s of CPU time):"
"$(binary_path extract2_kernel_bench)" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/_median$/, "", $1)
                        printf "  %-40s %10.0f\n", $1, $6 / 1048576 }'
