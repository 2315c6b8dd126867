#!/usr/bin/env bash
# The advice against the one line it must beat, side by side in one run on
# the same data sets: per data set the Q and wall seconds of alnadvise -j 2
# without a reference at each effort, of mafft --auto --thread 2 and of the
# peers Clustal Omega, Kalign and MUSCLE 5 (their defaults, two threads
# where they take them); the best Q among the candidates the advisor ran at
# the default effort (its oracle) and its runs. Then per kind the means, the
# median over data sets of the advisor's wall time over --auto's, and the
# share of data sets where it is more than 0.02 below --auto.
#
#   bench/advise/effort.sh OUT_DIR KIND=FOLDER [KIND=FOLDER ...]
#
# A folder holds NAME.fasta with its reference NAME.ref.fasta or NAME.msf
# (a reference of some rows only scores those rows, as large-family
# benchmarks do). Environment: EFFORTS (default "fast default thorough"),
# PEERS (default "clustalo kalign muscle5"), ADVISE_OPTIONS (more options for
# alnadvise, e.g. "--choice-model F --gain-model F" to measure models not yet
# shipped); programs as scripts/lib/binaries.sh finds them (BUILD_DIR,
# SKIP_BUILD, GETCHAR_TOOLS_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/binaries.sh"
expect_arguments 2 '' "$@"
out=$1
shift
need_binaries alnadvise alnscore
need_aligners
bin=$tools/bin
efforts=${EFFORTS:-fast default thorough}
peers=${PEERS:-clustalo kalign muscle5}
read -r -a advise_options <<<"${ADVISE_OPTIONS:-}"
mkdir -p "$out"
scores=$out/scores.tsv
printf 'kind\tdata_set\tsequences\tmethod\tQ\tseconds\truns\n' >"$scores"

q() {  # Q of alignment $1 against reference $2, NA when it cannot be scored
  "$build/alnscore" -test "$1" -ref "$2" 2>/dev/null | sed -n 's/.*;Q=\([0-9.]*\);.*/\1/p' | grep . || echo NA
}
timed() {  # runs the command, prints its wall seconds
  /usr/bin/time -f '%e' -o "$out/.time" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$out/.time"
}
peer() {  # peer name, input, output: runs it
  case $1 in
    auto) "$bin/mafft" --auto --thread 2 --quiet "$2" >"$3" ;;
    clustalo) "$bin/clustalo" -i "$2" -o "$3" --outfmt=fa --threads=2 --force ;;
    kalign) "$bin/kalign2" -in "$2" -out "$3" -quiet ;;
    muscle5) "$bin/muscle5" -align "$2" -output "$3" -threads 2 ;;
  esac
}
export -f peer
export bin

for pair in "$@"; do
  kind=${pair%%=*}
  folder=${pair#*=}
  for data in "$folder"/*.fasta; do
    [[ $data == *.ref.fasta ]] && continue
    name=$(basename "$data" .fasta)
    ref=$folder/$name.ref.fasta
    [[ -e $ref ]] || ref=$folder/$name.msf
    n=$(grep -c '>' "$data")
    work=$out/$kind/$name
    mkdir -p "$work"
    for p in auto $peers; do
      s=$(timed bash -c 'peer "$@"' _ "$p" "$data" "$work/$p.fasta")
      printf '%s\t%s\t%s\t%s\t%s\t%s\tNA\n' "$kind" "$name" "$n" "$p" "$(q "$work/$p.fasta" "$ref")" "$s" >>"$scores"
    done
    for e in $efforts; do
      s=$(timed "$build/alnadvise" -q -j 2 --effort "$e" --no-html --force --tools "$tools" \
        "${advise_options[@]}" -o "$work/advise-$e" "$data")
      runs=$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))
print(sum(1 for c in r["candidates"] if c["seconds"] is not None))' "$work/advise-$e/report.json")
      printf '%s\t%s\t%s\tadvisor-%s\t%s\t%s\t%s\n' "$kind" "$name" "$n" "$e" \
        "$(q "$work/advise-$e/best.fasta" "$ref")" "$s" "$runs" >>"$scores"
      if [[ $e == default ]]; then
        best=0
        for a in "$work/advise-$e"/alignments/*.fasta; do
          v=$(q "$a" "$ref")
          [[ $v != NA ]] && best=$(python3 -c "print(max($best, $v))")
        done
        printf '%s\t%s\t%s\toracle-default\t%s\tNA\tNA\n' "$kind" "$name" "$n" "$best" >>"$scores"
      fi
    done
    echo "effort.sh: $kind/$name done" >&2
  done
done

python3 - "$scores" <<'PY' | tee "$out/summary.txt"
import csv, statistics, sys
from collections import defaultdict
rows = list(csv.DictReader(open(sys.argv[1]), delimiter="\t"))
by = defaultdict(dict)
for r in rows:
    by[(r["kind"], r["data_set"])][r["method"]] = r
kinds = sorted({k for k, _ in by})
methods = [m for m in dict.fromkeys(r["method"] for r in rows)]
for kind in kinds:
    sets = [v for (k, _), v in by.items() if k == kind]
    print(f"{kind}: {len(sets)} data sets, {min(int(s['auto']['sequences']) for s in sets)}"
          f" to {max(int(s['auto']['sequences']) for s in sets)} sequences")
    print("  method              mean Q  median s  median s / --auto's  runs  below --auto - 0.02")
    for m in methods:
        have = [s for s in sets if m in s and s[m]["Q"] != "NA" and s["auto"]["Q"] != "NA"]
        if not have:
            continue
        mean_q = statistics.mean(float(s[m]["Q"]) for s in have)
        secs = [float(s[m]["seconds"]) for s in have if s[m]["seconds"] != "NA"]
        ratio = [float(s[m]["seconds"]) / max(float(s["auto"]["seconds"]), 0.01)
                 for s in have if s[m]["seconds"] != "NA"]
        runs = [float(s[m]["runs"]) for s in have if s[m]["runs"] != "NA"]
        below = sum(float(s[m]["Q"]) < float(s["auto"]["Q"]) - 0.02 for s in have)
        print(f"  {m:18}  {mean_q:.3f}   {statistics.median(secs) if secs else float('nan'):7.2f}"
              f"   {statistics.median(ratio) if ratio else float('nan'):18.2f}"
              f"  {statistics.mean(runs) if runs else float('nan'):4.1f}  {below}/{len(have)}")
PY
