#!/usr/bin/env bash
# The Python module's cost against the programs on BB11001: features, score
# and advise (Kalign alone) as processes (hyperfine, median of
# RUNS), as whole python3 processes that import the module, and as calls
# inside one python3 (median of RUNS calls); peak memory of each process
# from /usr/bin/time -v.
#   bench/python/overhead.sh [RUNS]
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 1 "$@"
runs="${1:-10}"
need_binaries getChar alnscore alnadvise getchar
need_aligners
data=/usr/share/doc/kalign/examples/BB11001.tfa
ref=/usr/share/doc/kalign/examples/BB11001.msf
export GETCHAR_TOOLS_DIR="$tools" PYTHONPATH="$build" PYTHONDONTWRITEBYTECODE=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# getChar's three-argument mode reads the data set and ends with status 1.
cli_features="$build/getChar $data $root/data/reference-table.txt"
cli_score="$build/alnscore -test $ref -ref $ref -quiet"
cli_advise="$build/alnadvise -q --no-html --force --aligners kalign --budget 0 -o $work/out $data"
py_features="getchar.features('$data')"
py_score="getchar.score('$ref', '$ref')"
py_advise="getchar.advise('$data', aligners=['kalign'], budget=0)"

peak() {  # peak resident kB of a command
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ {print $2}'
}

printf '%-9s %12s %12s %12s %10s %10s\n' what cli_ms python3_ms call_ms cli_kB python3_kB
for what in features score advise; do
  cli_var="cli_$what" py_var="py_$what"
  cli=${!cli_var} py=${!py_var}
  hyperfine -N -i --style none --warmup 2 --runs "$runs" --export-json "$work/h.json" \
    "$cli" "/usr/bin/python3 -c \"import getchar; $py\"" >/dev/null 2>&1
  read -r cli_ms py_ms < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join("%.1f" % (x["median"] * 1000) for x in r))' "$work/h.json")
  call_ms=$(/usr/bin/python3 -c "
import statistics, time, getchar
t = []
for _ in range($runs):
    s = time.perf_counter(); $py; t.append(time.perf_counter() - s)
print('%.1f' % (statistics.median(t) * 1000))")
  # shellcheck disable=SC2086
  cli_kb=$(peak $cli || true)
  py_kb=$(peak /usr/bin/python3 -c "import getchar; $py")
  printf '%-9s %12s %12s %12s %10s %10s\n' "$what" "$cli_ms" "$py_ms" "$call_ms" "$cli_kb" "$py_kb"
done
