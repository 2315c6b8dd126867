#!/usr/bin/env bash
# scripts/reference_pair.py on small Stockholm and FASTA alignments: the pair
# it writes (read back by the scorer), its Pfam names, and its refusals.
#   reference_pair_test.sh CONVERTER SCORER
set -euo pipefail
convert=(/usr/bin/python3 "$1")
scorer=$2
source "$(dirname "$0")/check_helpers.sh"

# A Pfam seed: inserts in lower case with '.' gaps.
cat >"$tmp/seed.sth" <<'STO'
# STOCKHOLM 1.0
#=GF ID   Tiny_fam
#=GF AC   PF99999.7
a/1-9    ACD.EFGHIK
b/2-10   ACDqEFGH-K
d/1-9    AC-.EFGHIK
c/3-11   ACD.EF-HIK
//
STO
mkdir "$tmp/out"
"${convert[@]}" stockholm "" "$tmp/seed.sth" "$tmp/out" || fail "convert a seed"
ref=$tmp/out/PF99999_Tiny_fam.ref.fasta
[[ -f $ref && -f $tmp/out/PF99999_Tiny_fam.fasta ]] || fail "pair named by accession and id"
[[ $(grep '>' "$ref" | tr '\n' ' ') == ">a/1-9 >b/2-10 >d/1-9 >c/3-11 " ]] ||
  fail "names: $(grep '>' "$ref" | tr '\n' ' ')"
grep -qx 'ACDqEFGH-K' "$ref" || fail "case and gaps kept as '-'"
grep -qx 'ACDqEFGHK' "$tmp/out/PF99999_Tiny_fam.fasta" || fail "unaligned record"
"$scorer" -test "$ref" -ref "$ref" -quiet | grep -q 'Q=1;TC=1' || fail "the scorer reads the pair"

# A FASTA name seen twice, and a description after it.
printf '>x one\nAC-D\n>x two\nACD-\n>y\nACDD\n>z\nACDE\n' >"$tmp/twice.fasta"
mkdir "$tmp/twice"
"${convert[@]}" fasta twice "$tmp/twice.fasta" "$tmp/twice" || fail "convert FASTA"
[[ $(grep '>' "$tmp/twice/twice.ref.fasta" | tr '\n' ' ') == ">x >x_2 >y >z " ]] ||
  fail "repeated names: $(grep '>' "$tmp/twice/twice.ref.fasta" | tr '\n' ' ')"

# Too few records: skipped, nothing written, status 0.
head -4 "$tmp/seed.sth" >"$tmp/small.sth"
echo // >>"$tmp/small.sth"
mkdir "$tmp/small"
"${convert[@]}" stockholm small "$tmp/small.sth" "$tmp/small" 2>"$tmp/err" || fail "skip status"
grep -q skipped "$tmp/err" && [[ -z $(ls "$tmp/small") ]] || fail "a small alignment is skipped"

# Rows of unequal length and a record without residues: status 1.
printf '>a\nAC-D\n>b\nACD\n>c\nACDD\n>d\nACDE\n' >"$tmp/ragged.fasta"
printf '>a\nAC-D\n>b\n----\n>c\nACDD\n>d\nACDE\n' >"$tmp/empty.fasta"
for f in ragged empty; do
  mkdir "$tmp/$f"
  if "${convert[@]}" fasta "$f" "$tmp/$f.fasta" "$tmp/$f" 2>/dev/null; then
    fail "$f alignment accepted"
  fi
  [[ -z $(ls "$tmp/$f") ]] || fail "$f alignment left files"
done

finish_checks reference_pair
