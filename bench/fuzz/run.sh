#!/usr/bin/env bash
# Runs every fuzz target long, SECONDS each (default one hour), FUZZ_JOBS
# (default 2) at a time, and prints the executions of each; FUZZ_RUNS=N
# stops a target after N executions if that comes first. Fails on any
# finding, with the input kept under build-fuzz/long/<target>/.
#   bench/fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/usage.sh"
expect_arguments 0 '' "$@"
seconds="${1:-3600}"
shift || true
start=$(date +%s)
status=0
FUZZ_RUN_DIR="${FUZZ_RUN_DIR:-$root/build-fuzz/long}" "$root/scripts/fuzz" "$seconds" "$@" || status=$?
echo "wall time: $(($(date +%s) - start)) s on $(nproc) cores, ${FUZZ_JOBS:-2} targets at a time"
exit "$status"
