#!/usr/bin/env bash
# alnadvise --output-format with the real MAFFT on BB11001, its names made
# awkward (ids that collide, blanks, a 150-letter name, a leading '#', the
# marks of a tree): each
# best.<ext> read back by Biopython and best.sto by hmmbuild
# (bench/formats/read_back.py), and by alnscore; the column confidence in
# best.sto read by both, --mask and --trim; a bad format name refused
# before any run; best.phy's names safe in a tree and mapped back.
#   alignment_formats_test.sh ALNADVISE ALNSCORE READ_BACK_PY
set -euo pipefail
advisor=$1
scorer=$2
read_back=(/usr/bin/python3 "$3")
source "$(dirname "$0")/check_helpers.sh"

long=$(printf 'L%.0s' {1..150})
awk -v long="$long" '/^>/ { n++; $0 = n == 1 ? ">x one" : (n == 2 ? ">x  two" : \
  (n == 3 ? (">" long " three") : ">#4 (four): x,y;")) } { print }' \
  /usr/share/doc/kalign/examples/BB11001.tfa >"$tmp/names.fasta"
out=$tmp/out
"$advisor" "$tmp/names.fasta" -o "$out" --aligners mafft --no-merge --no-html -q --format tsv \
  --output-format clustal,stockholm,fasta,phylip,msf >/dev/null || fail "alnadvise"
"${read_back[@]}" "$out" clustal stockholm phylip-relaxed msf || fail "read back"
[[ $(head -1 "$out/best.sto") == "# STOCKHOLM 1.0" ]] || fail "Stockholm header"
grep -q "^${long}_three " "$out/best.aln" || fail "the long name whole in best.aln"
grep -q '^_#4_(four):_x,y; ' "$out/best.sto" || fail "'#' name prefixed"
# Newick's marks are not in best.phy's names; the map gives the headers back.
grep -q '^_#4__four___x_y_ ' "$out/best.phy" || fail "tree-safe PHYLIP name"
[[ $(sed -n 5p "$out/best.names.tsv") == $'_#4__four___x_y_\t#4 (four): x,y;' ]] ||
  fail "name map: $(cat "$out/best.names.tsv")"
for ref in best.aln best.sto best.msf; do
  "$scorer" -test "$out/best.msf" -ref "$out/$ref" -quiet | grep -q ';Q=1;TC=1$' ||
    fail "alnscore reads $ref"
done
python3 -c 'import json, sys; f = json.load(open(sys.argv[1]))["best"]["files"];
sys.exit(f != {"fasta": "best.fasta", "clustal": "best.aln", "stockholm": "best.sto",
               "phylip": "best.phy", "phylipNames": "best.names.tsv",
               "msf": "best.msf"})' "$out/report.json" ||
  fail "report.json lists the files"

# With a second aligner the column confidence is known: best.sto carries it
# in HMMER's posterior-probability lines, which Biopython and hmmbuild read;
# --mask and --trim write their files. With one aligner they cannot, and
# the advice says so and fails (--effort fast runs MAFFT --auto alone).
conf=$tmp/confidence
"$advisor" "$tmp/names.fasta" -o "$conf" --aligners mafft,kalign --no-merge --no-html -q \
  --format tsv --output-format stockholm --mask 0.5 --trim 0.5 >/dev/null || fail "alnadvise with confidence"
/usr/bin/python3 - "$conf/best.sto" <<'PY' || fail "confidence lines of best.sto"
import sys
from Bio import AlignIO
a = AlignIO.read(sys.argv[1], "stockholm")
marks = set("0123456789*.")
cons = a.column_annotations["posterior_probability"]
assert len(cons) == a.get_alignment_length() and set(cons) <= marks, cons
assert set(cons) - set("."), "no column has a confidence"
for r in a:
    pp = r.letter_annotations["posterior_probability"]
    assert all((c == "-") == (p == ".") or (c != "-" and p == ".") for c, p in zip(str(r.seq), pp)), r.id
    assert set(pp) <= marks, pp
PY
python3 -c 'import json, sys; c = json.load(open(sys.argv[1]))["confidence"]
sys.exit(not (c["known"] and c["calibrated"] and c["calibration"].endswith("confidence-calibration.json")))' \
  "$conf/report.json" || fail "report.json: the confidence is not the calibrated one"
hmmbuild --amino "$tmp/best.hmm" "$conf/best.sto" >"$tmp/hmmbuild.log" 2>&1 ||
  fail "hmmbuild on best.sto with confidence: $(tail -3 "$tmp/hmmbuild.log")"
for f in columns.tsv best.masked.fasta best.trimmed.fasta best.trimmed.columns.tsv; do
  [[ -s $conf/$f ]] || fail "$f not written"
done
cmp <(tr a-z A-Z <"$conf/best.masked.fasta") <(tr a-z A-Z <"$conf/best.fasta") >/dev/null ||
  fail "the masked alignment is not the best one"
grep -q '^[^>]*[a-z]' "$conf/best.masked.fasta" || fail "nothing masked at 0.5"
set +e
"$advisor" "$tmp/names.fasta" -o "$tmp/alone" --aligners mafft --effort fast --no-html -q \
  --format tsv --trim 0.5 >/dev/null 2>"$tmp/err"
status=$?
set -e
((status == 1)) || fail "status $status for --trim without a second alignment"
grep -q "^alnadvise: --trim: the column confidence is not known" "$tmp/err" || fail "$(cat "$tmp/err")"
[[ -s $tmp/alone/best.fasta && ! -e $tmp/alone/best.trimmed.fasta ]] ||
  fail "without confidence: best.fasta kept, no trimmed file"

# A broken file names itself and its line.
sed '4d' "$out/best.aln" >"$tmp/broken.aln"
if "$scorer" -test "$out/best.msf" -ref "$tmp/broken.aln" -quiet 2>"$tmp/err"; then
  fail "a broken Clustal file scored"
fi
grep -q "'$tmp/broken.aln': line [0-9]*:" "$tmp/err" || fail "error: $(cat "$tmp/err")"

# An unknown name is a usage error, before any run or folder.
set +e
"$advisor" "$tmp/names.fasta" -o "$tmp/never" --output-format clustal,nexus 2>"$tmp/err"
status=$?
set -e
((status == 2)) || fail "status $status for an unknown format"
grep -qx "alnadvise: --output-format: unknown format 'nexus'; .*" "$tmp/err" ||
  fail "message: $(cat "$tmp/err")"
[[ ! -e $tmp/never ]] || fail "output folder made for a usage error"
finish_checks alignment_formats
