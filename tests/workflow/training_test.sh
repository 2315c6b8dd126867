#!/usr/bin/env bash
# Runs the workflow's training target with the real Snakemake, alntrain and
# aligners: four configurations (a list and a front line) in batches of two
# on two data sets, four jobs. Checks the gathered runs against alntrain
# making the same runs itself, and that alnadvise takes the learned table
# and front.
#   training_test.sh REPOSITORY BUILD_DIR
set -euo pipefail
repo=$1
build=$2
tmp=$(mktemp -d)
failures=0
trap '((failures)) || rm -rf -- "$tmp"' EXIT
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

examples=/usr/share/doc/kalign/examples
bench=$tmp/benchmark
mkdir -p "$bench"
cp "$examples/BB11001.tfa" "$examples/BB11001.msf" "$bench/"
"$repo/scripts/simulate-families" "$tmp/sim" --count 1 --seed 3 --sizes 5,6 --lengths 60,80 \
  --heights 0.5 --indel-rates 0.05 >/dev/null
cp "$tmp/sim/sim001.fasta" "$tmp/sim/sim001.ref.fasta" "$bench/"
printf 'MAFFT\t\nMAFFT\t--retree 1\n\nKALIGN\t\n0.3;0.4;0.1;2;-gpo 3.5\nMAFFT\t\n' >"$tmp/list"

cd "$tmp"
snakemake -s "$repo/workflow/Snakefile" --cores 2 --keep-going train --config \
  benchmark="$bench" configurations="$tmp/list" batch=2 alnadvise="$build/alnadvise" \
  alntrain="$build/alntrain" >train.log 2>&1 || fail "the training failed: $(tail -20 train.log)"
[[ $(grep -c '^rule train_runs:' train.log) -eq 4 ]] || fail "not 4 jobs of runs (2 sets x 2 batches)"
[[ $(wc -l <training/runs.tsv) -eq 9 ]] || fail "runs.tsv does not hold a header and 8 runs"
for f in front.txt reference-table.txt report.txt; do
  [[ -s training/learned/$f ]] || fail "no learned $f"
done
[[ $(wc -l <training/learned/reference-table.txt) -eq 2 ]] || fail "the table has not 2 lines"

# The same runs made by alntrain alone: the same Q and TC for every run.
"$build/alntrain" training/benchmark --configurations "$tmp/list" --runs-only -o direct -q \
  >/dev/null 2>&1 || fail "alntrain alone failed"
runs() { cut -f1-6 "$1" | sort; }
cmp -s <(runs training/runs.tsv) <(runs direct/runs.tsv) ||
  fail "the gathered runs differ from alntrain's: $(diff <(runs training/runs.tsv) <(runs direct/runs.tsv))"

# What was learned advises a data set.
"$build/alnadvise" -q --no-merge -t training/learned/reference-table.txt \
  -f training/learned/front.txt -o advice "$bench/sim001.fasta" >/dev/null ||
  fail "alnadvise refused the learned table and front"

# Nothing left to do on a second run; a torn batch file is refused.
snakemake -s "$repo/workflow/Snakefile" --cores 2 -n train --config benchmark="$bench" \
  configurations="$tmp/list" batch=2 alnadvise="$build/alnadvise" alntrain="$build/alntrain" \
  >again.log 2>&1
grep -q "Nothing to be done" again.log || fail "a second run plans jobs: $(grep '^rule' again.log)"
printf 'hash\tdata_set\taligner\toptions\tQ\tTC\tseconds\tstatus\nabc\tx' >torn.tsv
python3 "$repo/workflow/scripts/gather_runs.py" gathered.tsv training/runs.tsv torn.tsv \
  2>gather.err && fail "a torn runs.tsv was gathered"
grep -q "torn line" gather.err && [[ ! -e gathered.tsv ]] || fail "the torn file is not named"

if ((failures)); then
  echo "$failures check(s) failed; logs were in $tmp" >&2
  exit 1
fi
echo "training workflow: all checks passed"
