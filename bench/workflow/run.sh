#!/usr/bin/env bash
# The workflow's figures: 24 simulated families (8 to 48 sequences of 200 to
# 300 residues, scripts/simulate-families seed 29) advised by the workflow
# with --cores 1 and --cores 2, each RUNS times with a fresh results folder.
# Per run: the wall time of snakemake, the summed wall times of the
# alnadvise jobs (outcome.json), and the load average before it. Then the
# medians, the speed-up (median wall with 1 core over 2 cores) and the
# workflow's own overhead per job: (wall - summed job times) / jobs with one
# core, where jobs run one after another; plus the fixed part of it, the
# wall time of a run with nothing to do. The mean number of jobs running at
# once with two cores (summed job times over the wall time) tells the
# workflow's share of the speed-up from the machine's: on cores that other
# work keeps busy, each job takes longer when two run.
#
#   bench/workflow/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: RUNS (3), FAMILIES (24), SEED (29), THREADS (1).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 0 "$@"
need_binaries alnadvise alnscore
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/simulate-families" "$work/data" --count "${FAMILIES:-24}" --seed "${SEED:-29}" \
  --sizes 8,48 --lengths 200,300 >/dev/null
config=(data="$work/data" alnadvise="$build/alnadvise" tools="$tools"
  threads="${THREADS:-1}")
cd "$work"

# Prints: cores wall summed_job_seconds load
one_run() {
  local cores=$1 start wall
  rm -rf results .snakemake
  local load
  load=$(cut -d' ' -f1 /proc/loadavg)
  start=$(date +%s%N)
  snakemake -s "$root/workflow/Snakefile" --cores "$cores" --config "${config[@]}" \
    >"run-$cores.log" 2>&1
  wall=$(($(date +%s%N) - start))
  python3 - "$cores" "$wall" "$load" <<'PY'
import glob, json, sys
jobs = [json.load(open(f))["seconds"] for f in glob.glob("results/*/outcome.json")]
print(sys.argv[1], f"{int(sys.argv[2]) / 1e9:.2f}", f"{sum(jobs):.2f}", len(jobs), sys.argv[3])
PY
}

runs=$work/runs
: >"$runs"
for ((i = 1; i <= ${RUNS:-3}; i++)); do
  for cores in 1 2; do
    one_run "$cores" | tee -a "$runs"
  done
done
start=$(date +%s%N)
snakemake -s "$root/workflow/Snakefile" --cores 1 --config "${config[@]}" >idle.log 2>&1
idle=$(($(date +%s%N) - start))

python3 - "$runs" "$idle" <<'PY'
import statistics, sys
rows = [l.split() for l in open(sys.argv[1])]
def median(cores, column):
    return statistics.median(float(r[column]) for r in rows if r[0] == cores)
w1, w2 = median("1", 1), median("2", 1)
s1, s2 = median("1", 2), median("2", 2)
jobs = int(rows[0][3])
print(f"jobs: {jobs}; runs per setting: {sum(r[0] == '1' for r in rows)}; "
      f"load average before each run: {', '.join(r[4] for r in rows)}")
print(f"--cores 1: wall {w1:.1f} s (jobs summed {s1:.1f} s)")
print(f"--cores 2: wall {w2:.1f} s (jobs summed {s2:.1f} s)")
print(f"speed-up: {w1 / w2:.2f}; jobs running at once with 2 cores, on average: {s2 / w2:.2f}")
print(f"overhead per job (--cores 1): {(w1 - s1) / jobs:.3f} s")
idle = int(sys.argv[2]) / 1e9
print(f"a run with nothing to do: {idle:.2f} s; overhead per job beyond it: "
      f"{(w1 - s1 - idle) / jobs:.3f} s")
PY
