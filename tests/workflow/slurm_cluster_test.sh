#!/usr/bin/env bash
# Runs the workflow with the shipped SLURM profile (workflow/profiles/slurm)
# on a real one-node cluster (scripts/one-node-slurm: munged, slurmctld and
# slurmd of this machine, private to a temporary folder). Checks that
# - jobs go through sbatch with the profile's partition, time, memory and
#   cpus, and their results reach the summary;
# - a job the cluster kills for exceeding its memory is submitted again with
#   twice the memory, and then succeeds;
# - a job cancelled on the cluster (scancel), and its retry, make the data
#   set fail: nothing is left queued or running, and the next run makes it.
# Skipped (exit 77) where the cluster cannot run: not root, or no SLURM.
#   slurm_cluster_test.sh REPOSITORY BUILD_DIR
set -euo pipefail
repo=$1
build=$2
snakefile=$repo/workflow/Snakefile
profile=$repo/workflow/profiles/slurm
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: slurmd must run as root to start jobs; run the test as root"
  exit 77
fi
for program in munged mungekey slurmctld slurmd sbatch; do
  command -v $program >/dev/null ||
    { echo "SKIPPED: no $program (scripts/install-deps installs munge and slurm-wlm)"; exit 77; }
done

tmp=$(mktemp -d)
cluster=$tmp/cluster
failures=0
stopped=
stop_cluster() {
  [[ -z $stopped ]] || return 0
  stopped=1
  "$repo/scripts/one-node-slurm" stop "$cluster" || fail "the cluster left processes behind"
}
finish() {
  stop_cluster
  ((failures)) || rm -rf -- "$tmp"
}
trap finish EXIT
trap 'exit 130' INT TERM
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
field() {
  awk -F'\t' -v name="$1" -v column="$2" \
    'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next } $1 == name { print $c[column] }' "$3"
}

"$repo/scripts/one-node-slurm" start "$cluster" >/dev/null
export SLURM_CONF=$cluster/slurm.conf USER=${USER:-root}

# The cluster's record of each finished job: id, name, state, time limit
# (minutes), partition, cpus and memory (MB), from its job completion log.
jobs_done() {
  sed -E 's/.*JobId=([0-9]+) .* Name=([^ ]+) JobState=([^ ]+) Partition=([^ ]+) TimeLimit=([^ ]+) .* ProcCnt=([0-9]+) .*[,=]mem=([0-9]+)M.*/\1 \2 \3 \4 \5 \6 \7/' \
    "$cluster/log/jobcomp.txt"
}

# An alnadvise that first holds HOLD_MB megabytes for HOLD_SECONDS (the
# holder's process id in the file HOLD_PID), then runs the real one: memory
# a job really uses, whatever the data set.
mkdir -p "$tmp/bin" "$tmp/data"
cat >"$tmp/bin/alnadvise" <<END
#!/usr/bin/env bash
python3 - "\$HOLD_MB" "\$HOLD_SECONDS" "\$HOLD_PID" <<'HOLD' || exit
import os, sys, time
held = b"x" * (int(sys.argv[1]) << 20)
with open(sys.argv[3], "w") as f:
    print(os.getpid(), file=f)
time.sleep(float(sys.argv[2]))
HOLD
exec "$build/alnadvise" "\$@"
END
chmod +x "$tmp/bin/alnadvise"
examples=/usr/share/doc/kalign/examples
cp "$examples/BB11001.tfa" "$examples/BB11001.msf" "$tmp/data/"
options=(data="$tmp/data" alnadvise="$tmp/bin/alnadvise" aligners=mafft merge=false)
export HOLD_PID=$tmp/hold.pid

# What the Snakefile asks for BB11001 on attempt $1.
asked_mb() {
  python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import job_sizes
print(job_sizes.mem_mb(*job_sizes.measure(sys.argv[2]), attempt=int(sys.argv[3])))' \
    "$repo/workflow/scripts" "$tmp/data/BB11001.tfa" "$1"
}
first_mb=$(asked_mb 1)
second_mb=$(asked_mb 2)
((second_mb >= 2 * first_mb - 1)) || fail "a retry asks for $second_mb MB after $first_mb MB"

# Memory: the job holds a little more than its first request, so the
# cluster kills it; the retry asks for twice as much and succeeds.
cd "$tmp"
HOLD_MB=$((first_mb + 50)) HOLD_SECONDS=4 timeout -k 10 300 snakemake -s "$snakefile" --profile "$profile" \
  --config "${options[@]}" >memory.log 2>&1 ||
  fail "the run that needed more memory failed: $(tail -20 memory.log)"
[[ $(field BB11001 status results/summary.tsv) == done && $(field BB11001 Q results/summary.tsv) != NA ]] ||
  fail "BB11001 is not done and scored by its reference"
jobs_done >memory.jobs
read -r killed name state partition minutes cpus mb < <(sed -n 1p memory.jobs) || true
[[ $state == FAILED && $mb == "$first_mb" ]] ||
  fail "the first job did not fail with $first_mb MB: $(cat memory.jobs)"
[[ $partition == debug && $minutes == 10 && $cpus == 1 ]] ||
  fail "the job did not get the default partition, 10 minutes and 1 cpu: $(cat memory.jobs)"
read -r _ retry_name state _ minutes _ mb < <(sed -n 2p memory.jobs) || true
[[ $(wc -l <memory.jobs) == 2 && $retry_name == "$name" && $state == COMPLETED &&
  $mb == "$second_mb" && $minutes == 20 ]] ||
  fail "the retry did not succeed with twice the memory and time: $(cat memory.jobs)"
grep -q "exceeded memory limit" ".snakemake/slurm_logs/group_batch/$killed.log" ||
  fail "the first job's log does not say it exceeded its memory"

# Cancelling: the job holds on until it is cancelled (scancel), then its
# retry too; the workflow reports the data set failed, nothing is left
# queued or running, and a run without the hold makes it.
# (Interrupting Snakemake 7.21 would scancel its jobs too, but it misses a
# job whose status it is checking at that moment.)
wait_hold() {
  for ((i = 0; i < 240; i++)); do
    [[ ! -s $HOLD_PID ]] || return 0
    sleep 0.25
  done
  return 1
}
rm -f "$HOLD_PID"
HOLD_MB=1 HOLD_SECONDS=600 timeout -k 10 300 snakemake -s "$snakefile" --profile "$profile" \
  --config "${options[@]}" results=cancel-results >cancel.log 2>&1 &
run=$!
holders=()
for attempt in 1 2; do
  if ! wait_hold; then
    fail "attempt $attempt of the job to cancel did not start: $(squeue 2>&1) $(tail -5 cancel.log)"
    break
  fi
  holders+=("$(cat "$HOLD_PID")")
  rm -f "$HOLD_PID"
  # Cancelled within a second or so of its step's launch, a job left its
  # step's Snakemake running on this cluster without cgroups (twice on a
  # busy machine): the cancel comes once the step has settled.
  sleep 3
  scancel "$(squeue -h -o %i)" || fail "scancel failed"
done
status=0
wait "$run" || status=$?
((status)) || fail "a run whose job was cancelled succeeded"
[[ $(grep -c "SLURM status is: 'CANCELLED'" cancel.log) == 2 ]] ||
  fail "the workflow did not report both attempts cancelled: $(grep -i error cancel.log)"
[[ -z $(squeue -h) ]] || fail "jobs are left queued: $(squeue)"
# A cancelled step's program is signalled as the job leaves the queue; on a
# busy machine it may take a while to exit: up to 60 s.
for pid in "${holders[@]}"; do
  for ((i = 0; i < 240; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
  done
  ! kill -0 "$pid" 2>/dev/null || fail "the cancelled job's program $pid still runs after 60 s"
done
# Without cgroups the cluster cannot always find a step cancelled as it
# starts on a busy machine: Snakemake's own step process may outlive the
# cancel. Its program is gone (checked above); the lost step is stopped here,
# so that only processes of other jobs count as left behind.
for ((i = 0; i < 240; i++)); do
  # Snakemake writes --config before or after --slurm-jobstep.
  lost=$(pgrep -f -- "--slurm-jobstep .*results=cancel-results|results=cancel-results .*--slurm-jobstep") ||
    break
  sleep 0.25
done
if [[ -n ${lost-} ]]; then
  echo "note: stopping the cancelled job's step the cluster lost: $lost" >&2
  kill -KILL $lost 2>/dev/null || true
fi
[[ $(jobs_done | tail -2 | cut -d' ' -f3 | tr '\n' ' ') == "CANCELLED CANCELLED " ]] ||
  fail "the cluster did not record both jobs cancelled: $(jobs_done | tail -2)"
[[ ! -e cancel-results/BB11001/best.fasta && $(field BB11001 status cancel-results/summary.tsv) != done ]] ||
  fail "the cancelled data set is done or has a best.fasta"
HOLD_MB=1 HOLD_SECONDS=0 timeout -k 10 300 snakemake -s "$snakefile" --profile "$profile" \
  --config "${options[@]}" results=cancel-results >after-cancel.log 2>&1 ||
  fail "the run after the cancelled one failed: $(tail -20 after-cancel.log)"
[[ $(field BB11001 status cancel-results/summary.tsv) == done ]] ||
  fail "the run after the cancelled one did not make BB11001"

stop_cluster
if ((failures)); then
  echo "$failures check(s) failed; logs were in $tmp" >&2
  exit 1
fi
echo "workflow on a one-node SLURM cluster: all checks passed"
