#!/usr/bin/env bash
# Runs scripts/train-cost-model for real on a small work folder: a training
# of two configurations on two BAliBASE sets, a large family of 60
# sequences, the merge timed by alnadvise; checks the model it ships, and
# that a failing alnadvise leaves the shipped model as it was.
#   train_cost_model_test.sh SCRIPT ALNTRAIN ALNADVISE   (GETCHAR_TOOLS_DIR set)
set -euo pipefail
script=$1 alntrain=$2 alnadvise=$3
source "$(dirname "$0")/check_helpers.sh"
# simulate_large is built in a folder of the test's own.
export BUILD_DIR=$tmp/build

work=$tmp/work
mkdir -p "$work/benchmark"
for name in BB11001 BB12006; do
  cp "/usr/share/doc/kalign/examples/$name.tfa" "$work/benchmark/$name.fasta"
  cp "/usr/share/doc/kalign/examples/$name.msf" "$work/benchmark/$name.msf"
done
printf 'KALIGN\t\nMUSCLE\t-maxiters 2\n' >"$tmp/list.txt"
"$alntrain" "$work/benchmark" --configurations "$tmp/list.txt" --runs-only -q \
  -o "$work/training" 2>"$tmp/err" || fail "the training failed: $(cat "$tmp/err")"

ALNTRAIN=$alntrain ALNADVISE=$alnadvise bash "$script" --work "$tmp/none" 2>"$tmp/err" && fail "no training, yet it succeeded"
grep -q "no training in" "$tmp/err" || fail "no message without a training: $(cat "$tmp/err")"
ALNTRAIN=$alntrain ALNADVISE=$alnadvise bash "$script" --work "$work" --data "$tmp/data" \
  --sizes 60 --timeout 60 --jobs 2 2>"$tmp/err" || fail "train-cost-model failed: $(cat "$tmp/err")"
model=$tmp/data/cost-model.json
python3 - "$model" <<'PY' || fail "the model lacks a family"
import json, sys
families = {f["family"]: f for f in json.load(open(sys.argv[1]))["families"]}
# The training's two, the large family's fast ones and the merge.
for name in ("kalign", "muscle-fast", "mafft-parttree", "clustalo", "merge"):
    assert name in families, name
assert families["kalign"]["sequences"] == [4, 60], families["kalign"]["sequences"]
PY

# A failed step ships nothing.
cp "$model" "$tmp/before.json"
ALNTRAIN=$alntrain ALNADVISE=/bin/false bash "$script" --work "$work" --data "$tmp/data" \
  --sizes 60 --timeout 60 2>"$tmp/err" && fail "alnadvise failed, yet it succeeded"
grep -q "alnadvise failed" "$tmp/err" || fail "no message for the failed merge: $(cat "$tmp/err")"
cmp -s "$model" "$tmp/before.json" || fail "the shipped model changed after a failure"
finish_checks train_cost_model
