#!/usr/bin/env bash
# alnadvise's CWL description (workflow/cwl/alnadvise.cwl) with the real
# cwltool, without containers: it validates; a run advises a small data set
# into the outputs it declares, with the best alignment alnadvise writes when
# run directly; a missing input and a failing advice are failed runs.
#   cwl_test.sh REPOSITORY BUILD_DIR
set -euo pipefail
repo=$1
build=$(cd "$2" && pwd)
tool=$repo/workflow/cwl/alnadvise.cwl
tmp=$(mktemp -d)
failures=0
trap '((failures)) || rm -rf -- "$tmp"' EXIT
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
export PATH=$build:$PATH GETCHAR_TOOLS_DIR=$build/tools
cwl() {
  local out=$1
  shift
  cwltool --no-container --preserve-environment GETCHAR_TOOLS_DIR --outdir "$tmp/$out" \
    --tmpdir-prefix "$tmp/cwl-tmp/" --tmp-outdir-prefix "$tmp/cwl-out/" "$tool" "$@"
}

cwltool --validate "$tool" >"$tmp/validate.log" 2>&1 ||
  fail "the description is not valid CWL: $(tail -5 "$tmp/validate.log")"

# A reference and no budget: the choice is the best Q among a fixed set of
# runs, the same however busy the machine.
examples=/usr/share/doc/kalign/examples
cat >"$tmp/job.yml" <<EOF
sequences: {class: File, path: $examples/BB11001.tfa}
reference: {class: File, path: $examples/BB11001.msf}
aligners: [mafft, kalign]
budget: 0
jobs: 2
alignment_formats: [clustal]
EOF
cwl run "$tmp/job.yml" >"$tmp/outputs.json" 2>"$tmp/run.log" ||
  fail "the CWL run failed: $(tail -5 "$tmp/run.log")"
alnadvise -q --aligners mafft,kalign --budget 0 --jobs 2 --ref "$examples/BB11001.msf" \
  -o "$tmp/direct" "$examples/BB11001.tfa" >/dev/null
python3 - "$tmp/outputs.json" "$tmp/run" "$tmp/direct" <<'EOF' || fail "the CWL outputs are not alnadvise's"
import json, os, sys
outputs = json.load(open(sys.argv[1]))
run, direct = sys.argv[2], sys.argv[3]
expected = {"best_alignment": "advice/best.fasta", "report_json": "advice/report.json",
            "report_tsv": "advice/report.tsv", "report_html": "advice/report.html",
            "summary": "summary.txt"}
for name, path in expected.items():
    assert outputs[name]["path"] == os.path.join(run, path), (name, outputs[name]["path"])
    assert os.path.getsize(outputs[name]["path"]) > 0, name
assert outputs["advice"]["path"] == os.path.join(run, "advice")
assert [f["basename"] for f in outputs["best_alignment_formats"]] == ["best.aln"]
same = lambda a, b: open(a, "rb").read() == open(b, "rb").read()
assert same(outputs["best_alignment"]["path"], os.path.join(direct, "best.fasta"))
chosen = lambda folder: (lambda r: next((c["aligner"], c["options"], c["Q"])
                                       for c in r["candidates"] if c["id"] == r["best"]["id"]))(
    json.load(open(os.path.join(folder, "report.json"))))
assert chosen(os.path.join(run, "advice")) == chosen(direct), "a different choice"
assert same(outputs["summary"]["path"], outputs["report_tsv"]["path"])
EOF

# Failures: an input file that is not there, and an advice whose aligners all
# fail (given as the tools folder input), end with cwltool's non-zero status.
sed 's|BB11001.tfa|none.tfa|' "$tmp/job.yml" >"$tmp/missing.yml"
cwl missing "$tmp/missing.yml" >"$tmp/missing.json" 2>"$tmp/missing.log" &&
  fail "a missing input file was a successful run"
grep -q "none.tfa" "$tmp/missing.log" || fail "the missing input is not named"
mkdir -p "$tmp/failing/bin" "$tmp/failing/lib"
for program in kalign2 mafft qscore; do
  printf '#!/bin/sh\nexit 1\n' >"$tmp/failing/bin/$program"
  chmod +x "$tmp/failing/bin/$program"
done
printf 'tools: {class: Directory, path: %s}\n' "$tmp/failing" >>"$tmp/job.yml"
cwl failing "$tmp/job.yml" >"$tmp/failing.json" 2>"$tmp/failing.log" &&
  fail "an advice whose runs all failed was a successful run"
grep -q "permanentFail" "$tmp/failing.log" && grep -q "every run failed" "$tmp/failing.log" ||
  fail "the failed advice is not told: $(tail -5 "$tmp/failing.log")"

if ((failures)); then
  echo "$failures check(s) failed; logs were in $tmp" >&2
  exit 1
fi
echo "cwl: all checks passed"
