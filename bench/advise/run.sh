#!/usr/bin/env bash
# The advisor's figures:
#  1. accuracy: on the four BAliBASE sets Debian ships and on simulated
#     families (scripts/simulate-families, seed apart from the shipped
#     table's), the mean Q of the advisor's first choice without a reference
#     (chosen by agreement), of each default aligner, of the best candidate
#     per data set (the oracle) and of the peer, MAFFT --auto run directly;
#  2. cost on BB11001: the advisor's own overhead (everything but the runs)
#     with --jobs 1, and with --jobs 2 the wall time over the sum of the runs'
#     times; medians of several runs, and peak memory.
#
#   bench/advise/run.sh [accuracy] [cost]   (default both)
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: FAMILIES (24), SEED (29), RUNS (5), KEEP_RESULTS
# (a folder to copy the scores and every advice's output folder into).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 2 "$@"
need_binaries alnadvise alnscore
need_aligners
advisor=$build/alnadvise
scorer=$build/alnscore
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
parts=${*:-accuracy cost}
flags=(-seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet)

if [[ $parts == *accuracy* ]]; then
# Data sets: NAME INPUT REFERENCE per line.
sets=$work/sets
: >"$sets"
for name in BB11001 BB12006 BB30014; do
  echo "$name /usr/share/doc/kalign/examples/$name.tfa /usr/share/doc/kalign/examples/$name.msf" >>"$sets"
done
echo "BB11002 /usr/share/dialign-tx/BB11002.tfa /usr/share/dialign-tx/BB11002.msf" >>"$sets"
"$root/scripts/simulate-families" "$work/sim" --count "${FAMILIES:-24}" \
  --seed "${SEED:-29}" >/dev/null
for ref in "$work"/sim/*.ref.fasta; do
  name=$(basename "$ref" .ref.fasta)
  echo "$name $work/sim/$name.fasta $ref" >>"$sets"
done

q_of() { "$scorer" -test "$1" -ref "$2" "${flags[@]}" | sed 's/.*;Q=\([^;]*\);.*/\1/'; }

# 1. Accuracy. One line per data set and candidate: NAME ROLE ALIGNER OPTIONS... Q
scores=$work/scores
mkdir -p "$work/runs"
: >"$scores"
while read -r name input ref; do
  out=$work/runs/$name
  start=$(date +%s%N)
  "$advisor" --tools "$tools" -j 2 -q --format json -o "$out" "$input" >"$out.json"
  wall=$(awk -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "%.2f", ns / 1e9 }')
  python3 - "$out.json" "$name" "$wall" >>"$scores" <<'PY'
import json, sys
report, name, wall = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3]
print(name, "advisor", "-", wall, report["best"]["candidateFile"] if report["best"] else "-")
for c in report["candidates"]:
    if c["file"]:
        role = "default" if "default" in c["reasons"] else "other"
        print(name, role, c["aligner"], c["seconds"], c["file"])
PY
  start=$(date +%s%N)
  mafft --auto --anysymbol --thread 1 --quiet "$input" >"$work/auto.fasta" 2>/dev/null
  wall=$(awk -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "%.2f", ns / 1e9 }')
  echo "$name peer MAFFT--auto $wall $work/auto.fasta $(q_of "$work/auto.fasta" "$ref")" >>"$scores"
  # Score every alignment the advisor kept against the reference.
  tmp=$work/scored
  : >"$tmp"
  while read -r n role aligner seconds file rest; do
    if [[ $n == "$name" && $role != peer ]]; then
      q=NA
      [[ $file != - ]] && q=$(q_of "$out/$file" "$ref")
      echo "$n $role $aligner $seconds $file $q" >>"$tmp"
    else
      echo "$n $role $aligner $seconds $file $rest" >>"$tmp"
    fi
  done <"$scores"
  mv "$tmp" "$scores"
  echo "  $name done" >&2
done <"$sets"

python3 - "$scores" <<'PY'
import collections, statistics, sys
rows = [l.split() for l in open(sys.argv[1])]
groups = {"BAliBASE": lambda n: n.startswith("BB"), "simulated": lambda n: not n.startswith("BB")}
kinds = ["CLUSTALW", "DIALIGNTX", "KALIGN", "MAFFT", "MUSCLE"]
print("%-10s %4s %8s %8s %8s %9s %9s %9s %9s %9s %8s %8s" % (
    "set", "n", "advisor", "oracle", "auto", *kinds, "adv_s", "auto_s"))
for label, member in groups.items():
    names = sorted({r[0] for r in rows if member(r[0])})
    if not names:
        continue
    col = collections.defaultdict(list)
    wins = collections.Counter()
    for n in names:
        mine = [r for r in rows if r[0] == n]
        adv = next(r for r in mine if r[1] == "advisor")
        files = {r[4]: float(r[5]) for r in mine if r[1] in ("default", "other")}
        col["advisor"].append(files[adv[4]])
        col["oracle"].append(max(files.values()))
        peer = next(r for r in mine if r[1] == "peer")
        col["auto"].append(float(peer[5]))
        col["adv_s"].append(float(adv[3]))
        col["auto_s"].append(float(peer[3]))
        for r in mine:
            if r[1] == "default":
                col[r[2]].append(float(r[5]))
        wins[adv[4].split("/")[-1].split("-", 1)[-1].replace(".fasta", "")] += 1
    mean = lambda k: "%.3f" % statistics.mean(col[k]) if col[k] else "NA"
    print("%-10s %4d %8s %8s %8s %9s %9s %9s %9s %9s %8s %8s" % (
        label, len(names), mean("advisor"), mean("oracle"), mean("auto"),
        *[mean(k) for k in kinds], mean("adv_s"), mean("auto_s")))
    print("  advisor's choices:", ", ".join("%s %d" % kv for kv in wins.most_common()))
PY
if [[ -n ${KEEP_RESULTS:-} ]]; then
  mkdir -p "$KEEP_RESULTS"
  cp -r "$scores" "$work/runs" "$work/sim" "$sets" "$KEEP_RESULTS/"
fi
fi

# 2. Cost on BB11001: with one job, with two, and with two without the merge
# (which runs alone once the candidates are done).
[[ $parts == *cost* ]] || exit 0
runs=${RUNS:-5}
bb=/usr/share/doc/kalign/examples/BB11001.tfa
source "$root/bench/median.sh"
for setting in "1" "2" "2 --no-merge"; do
  read -r jobs extra <<<"$setting"
  ratios=() overheads=() walls=() peak=0
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -v -o "$work/time" "$advisor" --tools "$tools" -j "$jobs" $extra -q \
      --format json -o "$work/cost" --force "$bb" >"$work/cost.json"
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
    ((kb > peak)) && peak=$kb
    read -r wall run over < <(python3 -c 'import json,sys; t=json.load(open(sys.argv[1]))["timing"]; print(t["wallSeconds"], t["runSeconds"], t["overheadSeconds"])' "$work/cost.json")
    walls+=("$wall")
    ratios+=("$(awk -v w="$wall" -v r="$run" 'BEGIN { printf "%.3f", w / r }')")
    overheads+=("$(awk -v w="$wall" -v o="$over" 'BEGIN { printf "%.4f", o / w }')")
  done
  printf 'BB11001 --jobs %s%s: median wall %.2f s; wall / sum of runs %s; overhead share %s;' \
    "$jobs" "${extra:+ $extra}" "$(median "${walls[@]}")" "$(median "${ratios[@]}")" "$(median "${overheads[@]}")"
  echo " peak RSS of the process tree $((peak / 1024)) MB ($runs runs)"
done
