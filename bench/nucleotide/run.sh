#!/usr/bin/env bash
# The advisor on simulated DNA families (scripts/simulate-families --model
# HKY): per family and in the mean, the Q against the true alignment of the
# advisor's choice without a reference (alnadvise -j 2, the alphabet
# detected, nucleotide candidates ranked by agreement), of MAFFT's default
# (`mafft`, which detects nucleotides itself; it writes lower case, so Q
# ignores case) and of `mafft --auto`; the
# median wall seconds of RUNS runs of each and the advisor's peak memory.
#
#   bench/nucleotide/run.sh
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
# Environment: FAMILIES (8), SEED (3), RUNS (3), KEEP_RESULTS (a folder to
# copy the families and the advisor's output folders into).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
source "$root/bench/median.sh"
expect_arguments 0 0 "$@"
families=${FAMILIES:-8} seed=${SEED:-3} runs=${RUNS:-3}
need_binaries alnadvise alnscore
need_aligners
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/simulate-families" "$work/fam" --model HKY --count "$families" --seed "$seed" \
  --sizes 10,60 --lengths 300,600 --heights 0.1,0.25,0.5,0.8 --indel-rates 0.05,0.15 \
  --prefix dna >/dev/null

q() { "$build/alnscore" -test "$1" -ref "$2" -quiet -ignoretestcase | sed 's/.*;Q=\([^;]*\);.*/\1/'; }
# Runs the command RUNS times; prints "median_seconds peak_megabytes" of them.
timed() {
  local k out=$work/time
  : >"$out"
  for ((k = 0; k < runs; k++)); do
    /usr/bin/time -f '%e %M' -o "$work/one" "$@" >/dev/null || { echo "failed: $*" >&2; exit 1; }
    cat "$work/one" >>"$out"
  done
  printf '%s %.0f\n' "$(awk '{ print $1 }' "$out" | median)" \
    "$(awk '$2 > m { m = $2 } END { print m / 1024 }' "$out")"
}

printf '%-8s %4s %6s %6s | %7s %7s %6s | %7s %7s | %7s %7s\n' family n length height \
  advisor s MB mafft s auto s
tail -n +2 "$work/fam/families.tsv" | while IFS=$'\t' read -r name n length height _; do
  input=$work/fam/$name.fasta ref=$work/fam/$name.ref.fasta out=$work/advice-$name
  read -r advise_s advise_mb < <(timed "$build/alnadvise" -q -j 2 --no-html --force -o "$out" \
    --tools "$tools" "$input")
  grep -q '"alphabet": "dna"' "$out/report.json" || { echo "$name: not advised as DNA" >&2; exit 1; }
  read -r mafft_s _ < <(timed sh -c 'mafft --quiet "$1" > "$2"' sh "$input" "$work/mafft.fasta")
  read -r auto_s _ < <(timed sh -c 'mafft --auto --quiet "$1" > "$2"' sh "$input" "$work/auto.fasta")
  printf '%-8s %4d %6d %6s | %7s %7s %6s | %7s %7s | %7s %7s\n' "$name" "$n" "$length" "$height" \
    "$(q "$out/best.fasta" "$ref")" "$advise_s" "$advise_mb" \
    "$(q "$work/mafft.fasta" "$ref")" "$mafft_s" "$(q "$work/auto.fasta" "$ref")" "$auto_s"
  [[ -z ${KEEP_RESULTS:-} ]] || { mkdir -p "$KEEP_RESULTS"; cp -r "$out" "$KEEP_RESULTS/"; }
done | tee "$work/table"
[[ -z ${KEEP_RESULTS:-} ]] || cp -r "$work/fam" "$KEEP_RESULTS/families"
awk '{ q[1] += $6; t[1] += $7; q[2] += $10; t[2] += $11; q[3] += $13; t[3] += $14; ++n }
     END { printf "mean over %d families: Q advisor %.3f (%.1f s), mafft %.3f (%.1f s), mafft --auto %.3f (%.1f s)\n",
           n, q[1] / n, t[1] / n, q[2] / n, t[2] / n, q[3] / n, t[3] / n }' "$work/table"
