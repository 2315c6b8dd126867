#!/usr/bin/env bash
# Runs the workflow (workflow/Snakefile) with the real Snakemake, alnadvise
# and aligners on three small data sets and a bad one: locally with two
# cores, and through Snakemake's cluster path with the local stand-in for a
# cluster (workflow/tests/local-cluster). Checks the summary against
# alnadvise run on each file alone, the failed lines, and that a re-run
# redoes only what failed or changed.
#   workflow_test.sh REPOSITORY BUILD_DIR
set -euo pipefail
repo=$1
build=$2
snakefile=$repo/workflow/Snakefile
tmp=$(mktemp -d)
failures=0
trap '((failures)) || rm -rf -- "$tmp"' EXIT
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# MAFFT alone keeps the runs short; the choice is still made among its
# strategies. No budget: the checks compare advices of one data set made at
# different times, and a run is never stopped, however busy the machine.
options=(alnadvise="$build/alnadvise" aligners=mafft budget=0)

# The summary's field $2 (a column name) of data set $1 in summary $3.
field() {
  awk -F'\t' -v name="$1" -v column="$2" \
    'NR == 1 { for (i = 1; i <= NF; i++) c[$i] = i; next } $1 == name { print $c[column] }' "$3"
}

examples=/usr/share/doc/kalign/examples
data=$tmp/data
mkdir -p "$data"
cp "$examples/BB11001.tfa" "$examples/BB11001.msf" "$examples/BB12006.tfa" "$data/"
"$repo/scripts/simulate-families" "$tmp/sim" --count 1 --seed 3 --sizes 5,6 --lengths 60,80 \
  --heights 0.5 --indel-rates 0.05 >/dev/null
cp "$tmp/sim/sim001.fasta" "$tmp/sim/sim001.ref.fasta" "$data/"
printf '>a\nMKV*LA\n>b\nMKVLA\n' >"$data/bad.fasta"

# Locally: the bad data set fails, the others finish.
cd "$tmp"
if snakemake -s "$snakefile" --cores 2 --keep-going --config data="$data" "${options[@]}" \
  >local.log 2>&1; then
  fail "a run with a bad data set succeeded"
fi
summary=results/summary.tsv
[[ -s $summary && -s results/summary.svg ]] || fail "no summary.tsv or summary.svg"
[[ $(wc -l <"$summary") -eq 5 ]] || fail "the summary does not hold a header and 4 lines"
[[ $(field bad status "$summary") == failed ]] || fail "bad.fasta is not a failed line"
field bad reason "$summary" | grep -q "not a residue letter" ||
  fail "bad.fasta's reason is not alnadvise's message: $(field bad reason "$summary")"
[[ ! -e results/bad/best.fasta ]] || fail "a failed data set has a best.fasta"
grep -q '<svg' results/summary.svg || fail "summary.svg is not an SVG file"

# Each done line against alnadvise on the file alone: the same mode and
# number of sequences, and the chosen configuration scores as the best
# there does (equal scores may rank the other way round by time).
for name in BB11001 BB12006 sim001; do
  [[ $(field $name status "$summary") == done && -s results/$name/best.fasta ]] ||
    fail "$name is not done"
  ref=()
  [[ $name == BB11001 ]] && ref=(--ref "$data/BB11001.msf")
  [[ $name == sim001 ]] && ref=(--ref "$data/sim001.ref.fasta")
  file=$data/$name.tfa
  [[ -e $file ]] || file=$data/$name.fasta
  "$build/alnadvise" -q --aligners mafft --budget 0 "${ref[@]}" -o "one/$name" "$file" >/dev/null
  python3 - "$summary" "one/$name/report.json" "$name" <<'EOF' || fail "$name: summary and alnadvise disagree"
import csv, json, sys
line = next(l for l in csv.DictReader(open(sys.argv[1]), delimiter="\t") if l["data_set"] == sys.argv[3])
report = json.load(open(sys.argv[2]))
fmt = lambda v: "NA" if v is None else f"{v:.3f}"
scores = lambda c: (fmt(c["Q"]), fmt(c["TC"]), fmt(c["agreement"]))
best = next(c for c in report["candidates"] if c["id"] == report["best"]["id"])
same = [c for c in report["candidates"] if c["aligner"] == line["aligner"]
        and (c["options"] or "NA") == line["options"] and scores(c) == scores(best)]
ok = line["sequences"] == str(report["dataSet"]["sequences"]) and same \
    and (line["Q"], line["TC"], line["agreement"]) == scores(best)
sys.exit(0 if ok else f"summary {line} against best {best}")
EOF
done
[[ $(field BB11001 Q "$summary") != NA && $(field BB12006 agreement "$summary") != NA ]] ||
  fail "BB11001 is not scored by its MSF reference or BB12006 not by agreement"
[[ $(field BB11001 report "$summary") == BB11001/report.html && -s results/BB11001/report.html &&
  $(field bad report "$summary") == NA ]] || fail "the report column does not link the report pages"

# MultiQC run on the results folder finds the advice table: a row per data
# set, the failed one without scores, the others as in summary.tsv.
multiqc --quiet --fullnames --cl-config "no_version_check: true" --outdir "$tmp/multiqc" results \
  >multiqc.log 2>&1 || fail "multiqc on the results failed: $(tail -5 multiqc.log)"
python3 - "$summary" "$tmp/multiqc/multiqc_data/multiqc_alignment_advice.txt" <<'EOF' ||
import csv, sys
lines = {l["data_set"]: l for l in csv.DictReader(open(sys.argv[1]), delimiter="\t")}
rows = {r["Sample"]: r for r in csv.DictReader(open(sys.argv[2]), delimiter="\t")}
assert sorted(rows) == sorted(lines), f"rows {sorted(rows)}"
bad = rows.pop("bad")
assert bad["status"] == "failed" and "not a residue letter" in bad["reason"], bad
assert not any(bad[c] for c in ("configuration", "Q", "seconds", "auto_seconds", "gain")), bad
fmt = lambda v: "NA" if v == "" else f"{float(v):.3f}"
for name, r in rows.items():
    line = lines[name]
    assert r["status"] == "done" and not r["reason"], r
    assert r["configuration"].split()[0] == line["aligner"], (r, line)
    assert fmt(r["Q"]) == line["Q"], (r, line)
    assert float(r["seconds"]) > 0 and float(r["auto_seconds"]) > 0, r
    score = "Q" if line["Q"] != "NA" else "predicted_Q" if r["predicted_Q"] else "agreement"
    assert abs(float(r[score]) - float(r["auto_" + score]) - float(r["gain"])) < 1e-9, r
assert rows["BB11001"]["auto_Q"] and rows["sim001"]["auto_Q"] and not rows["BB12006"]["Q"]
EOF
  fail "MultiQC's advice table does not hold the data sets as summary.tsv does"

# A dry run plans the failed data set alone; once it is fixed, only it runs.
planned() { grep -c '^rule advise:' "$1" || true; }
snakemake -s "$snakefile" --cores 2 -n --config data="$data" "${options[@]}" >dry.log 2>&1
[[ $(planned dry.log) -eq 1 ]] && grep -q 'wildcards: name=bad' dry.log ||
  fail "the dry run does not plan bad alone: $(grep -A6 '^rule advise' dry.log)"
printf '>a\nMKVLA\n>b\nMKVLAG\n>c\nMRVLA\n' >"$data/bad.fasta"
before=$(stat -c %Y.%y results/BB11001/best.fasta)
snakemake -s "$snakefile" --cores 2 --config data="$data" "${options[@]}" multiqc=true \
  >fixed.log 2>&1 || fail "the run after the fix failed"
grep -P '^bad\tdone\t' results/multiqc/multiqc_data/multiqc_alignment_advice.txt >/dev/null &&
  grep -q 'Alignment advice' results/multiqc/multiqc_report.html ||
  fail "the workflow's MultiQC page does not show the fixed data set"
[[ $(planned fixed.log) -eq 1 ]] || fail "the run after the fix redid more than bad"
[[ $(field bad status "$summary") == done && $(grep -c $'\tdone\t' "$summary") -eq 4 ]] ||
  fail "the summary after the fix is not 4 done lines"
[[ $(stat -c %Y.%y results/BB11001/best.fasta) == "$before" ]] ||
  fail "BB11001 was redone although nothing changed"

# Every aligner failing (a tools folder of aligners that fail) is a failed
# line with alnadvise's reason.
mkdir -p "$tmp/failing/bin" "$tmp/failing/lib" "$tmp/one-set"
for program in clustalw2 dialign-tx kalign2 mafft muscle3.8 t_coffee qscore; do
  printf '#!/bin/sh\nexit 1\n' >"$tmp/failing/bin/$program"
  chmod +x "$tmp/failing/bin/$program"
done
cp "$examples/BB12006.tfa" "$tmp/one-set/"
snakemake -s "$snakefile" --cores 2 --config data="$tmp/one-set" results=failing-results \
  tools="$tmp/failing" "${options[@]}" >failing.log 2>&1 && fail "every aligner failed, yet success"
[[ $(field BB12006 status failing-results/summary.tsv) == failed ]] &&
  field BB12006 reason failing-results/summary.tsv | grep -q "every run failed" ||
  fail "every aligner failing is not a failed line with its reason"

# Through the cluster path: the three good data sets as jobs of the stand-in.
rm "$data/bad.fasta"
snakemake -s "$snakefile" --profile "$repo/workflow/tests/local-cluster" \
  --config data="$data" results=cluster-results "${options[@]}" >cluster.log 2>&1 ||
  fail "the run through the cluster path failed: $(tail -20 cluster.log)"
[[ $(grep -c "with external jobid" cluster.log) -eq 3 ]] || fail "not 3 jobs submitted"
[[ $(cat .snakemake/local-cluster/*/exit | tr -d '\n') == 000 ]] ||
  fail "the stand-in's jobs did not all end with status 0"
for name in BB11001 BB12006 sim001; do
  for column in aligner Q TC agreement status; do
    [[ $(field $name $column cluster-results/summary.tsv) == $(field $name $column "$summary") ]] ||
      fail "$name: $column differs between the local and the cluster run"
  done
done

# A changed data set is planned alone.
printf '>extra\nMKVLAGHEQ\n' >>"$data/BB12006.tfa"
snakemake -s "$snakefile" --cores 2 -n --config data="$data" "${options[@]}" >changed.log 2>&1
[[ $(planned changed.log) -eq 1 ]] && grep -q 'wildcards: name=BB12006' changed.log ||
  fail "a changed data set is not planned alone"

# Loud failures of the workflow's own programs.
snakemake -s "$snakefile" --cores 1 --config data="$data" alnadvise="$tmp/none" >none.log 2>&1 &&
  fail "a missing alnadvise was not refused"
grep -q "no program '$tmp/none'" none.log || fail "a missing alnadvise is not named"
snakemake -s "$snakefile" --cores 1 --config data="$data" gnuplot="$tmp/none" "${options[@]}" \
  >gnuplot.log 2>&1 && fail "a missing gnuplot was not refused"
grep -q "cannot run '$tmp/none'" gnuplot.log || fail "a missing gnuplot is not named"
printf '#!/bin/sh\necho "no room left" >&2\nexit 1\n' >"$tmp/failing/multiqc"
chmod +x "$tmp/failing/multiqc"
snakemake -s "$snakefile" --cores 1 --config data="$data" multiqc=true \
  multiqc_program="$tmp/failing/multiqc" "${options[@]}" >multiqc-failing.log 2>&1 &&
  fail "a failing multiqc was not refused"
grep -q "failed to write.*no room left" multiqc-failing.log || fail "a failing multiqc is not told"

if ((failures)); then
  echo "$failures check(s) failed; logs were in $tmp" >&2
  exit 1
fi
echo "workflow: all checks passed"
