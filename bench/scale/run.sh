#!/usr/bin/env bash
# The advisor on large families against the peers, on two cores: for each
# size, a family simulated with its true alignment (simulate_large, 250
# residues, indel rate 0.002, seed 11; the cost model was fitted on seed 3),
# then alnadvise -j 2 with its default budget, MAFFT --auto --thread 2,
# Clustal Omega --threads=2 and Kalign -n 2: wall time, peak memory (the
# whole process group's resident memory, sampled every 0.5 s) and Q of each
# alignment against the true one. One run each (a 100,000-sequence run takes
# its hour); above 2,000 sequences also the error of scoring the advisor's
# candidates on 2,000 sampled rows (agreement_sampling).
#
#   bench/scale/run.sh [SIZES]   (default "1000 10000 100000")
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: KEEP_RESULTS (a folder to copy the advisor's output into),
# FAMILIES (a folder of nN.fasta and nN.ref.fasta made before, used instead
# of simulating), PEERS (default "mafft-auto clustalo kalign").
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 0 '' "$@"
need_binaries alnadvise alnscore simulate_large agreement_sampling
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=${*:-1000 10000 100000}
flags=(-seqdiffwarn -ignoremissingseqs -ignoretestcase -truncname -quiet)
q_of() { "$build/alnscore" -test "$1" -ref "$2" "${flags[@]}" | sed 's/.*;Q=\([^;]*\);.*/\1/'; }

# measure NAME COMMAND...: runs it in a process group of its own; prints
# "NAME wall_s peak_MB".
measure() {
  local name=$1
  shift
  local start=$(date +%s%N) peak=0 kb
  setsid "$@" &
  local pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    kb=$(ps -o rss= -g "$pid" 2>/dev/null | awk '{ s += $1 } END { print s + 0 }')
    ((kb > peak)) && peak=$kb
    sleep 0.5
  done
  wait "$pid" || echo "$name failed" >&2
  awk -v n="$name" -v ns=$(($(date +%s%N) - start)) -v kb="$peak" \
    'BEGIN { printf "%s %.1f %d\n", n, ns / 1e9, kb / 1024 }'
}

printf '%8s %-14s %10s %9s %7s\n' sequences tool wall_s peak_MB Q
for n in $sizes; do
  family=$work/n$n
  if [[ -n ${FAMILIES:-} && -s $FAMILIES/n$n.ref.fasta ]]; then
    family=$FAMILIES/n$n
  else
    "$build/bench/scale/simulate_large" "$family" --sequences "$n" --length 250 \
      --indel-rate 0.002 --seed 11 >/dev/null
  fi
  ref=$family.ref.fasta
  results=$work/results-$n
  : >"$results"
  measure advisor sh -c "'$build/alnadvise' --tools '$build/tools' -j 2 -q --format json \
    -o '$work/advice-$n' '$family.fasta' >/dev/null" >>"$results"
  for peer in ${PEERS:-mafft-auto clustalo kalign}; do
    case $peer in
      mafft-auto) measure mafft-auto sh -c "mafft --auto --anysymbol --thread 2 --quiet \
        '$family.fasta' >'$work/auto-$n.fasta' 2>/dev/null" ;;
      clustalo) measure clustalo sh -c "clustalo -i '$family.fasta' -o '$work/clustalo-$n.fasta' \
        --outfmt=fa --threads=2 --force" ;;
      kalign) measure kalign sh -c "kalign -n 2 -i '$family.fasta' -o '$work/kalign-$n.fasta' \
        >/dev/null 2>&1" ;;
    esac >>"$results"
  done
  while read -r tool wall peak; do
    case $tool in
      advisor) aln=$work/advice-$n/best.fasta ;;
      mafft-auto) aln=$work/auto-$n.fasta ;;
      *) aln=$work/$tool-$n.fasta ;;
    esac
    q=NA
    [[ -s $aln ]] && q=$(q_of "$aln" "$ref")
    printf '%8d %-14s %10.1f %9d %7s\n' "$n" "$tool" "$wall" "$peak" "$q"
  done <"$results"
  python3 - "$work/advice-$n/report.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
b = r["budget"]
print("    advisor: budget %.1f s (MAFFT --auto expected %.1f s), expected %.1f s; best %s %s" % (
    b["seconds"] or 0, b["mafftAutoExpectedSeconds"], b["expectedWallSeconds"],
    r["candidates"][0]["aligner"], r["candidates"][0]["options"]))
for c in r["candidates"]:
    print("      %-9s %-40s expected %8.1f s  took %8s  %s" % (c["aligner"], c["options"][:40],
          c["expectedSeconds"] or 0, "%.1f s" % c["seconds"] if c["seconds"] is not None else "-",
          c["status"][:60]))
PY
  if ((n > 2000)); then
    mapfile -t alignments < <(ls "$work/advice-$n"/alignments/*.fasta 2>/dev/null)
    ((${#alignments[@]} >= 2)) && "$build/bench/scale/agreement_sampling" --seeds 5 \
      "${alignments[@]}" | sed 's/^/    /'
  fi
  [[ -n ${KEEP_RESULTS:-} ]] && mkdir -p "$KEEP_RESULTS" && cp -r "$work/advice-$n" "$KEEP_RESULTS/"
  rm -rf "$work/advice-$n" "$work/n$n".* "$work"/*-"$n".fasta
done
