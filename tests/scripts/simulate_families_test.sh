#!/usr/bin/env bash
# Runs scripts/simulate-families with the real INDELible on tiny families and
# checks its files, its repeatability and its failures.
#   simulate_families_test.sh SCRIPT
set -euo pipefail
script=$1
source "$(dirname "$0")/check_helpers.sh"

# Prints "name<TAB>sequence" per record, lines joined, gaps removed.
records() {
  awk '/^>/ { if (name != "") print name "\t" seq; name = substr($0, 2); seq = ""; next }
       { gsub(/-/, ""); seq = seq $0 }
       END { if (name != "") print name "\t" seq }' "$1"
}

# Runs the script expecting failure with a message holding $1.
expect_failure() {
  local message=$1
  shift
  if "$@" >"$tmp/out" 2>"$tmp/err"; then
    fail "succeeded: $*"
  elif ! grep -q -- "$message" "$tmp/err"; then
    fail "no '$message' in the error of: $* (got: $(cat "$tmp/err"))"
  fi
}

tiny=(--count 2 --seed 5 --sizes 4,6 --lengths 40,60 --heights 0.5 --indel-rates 0.1)

# Two tiny families and their files.
"$script" "$tmp/a" "${tiny[@]}" >/dev/null
[[ $(wc -l <"$tmp/a/families.tsv") -eq 3 ]] || fail "families.tsv does not hold a header and 2 lines"
for name in sim001 sim002; do
  seqs=$tmp/a/$name.fasta ref=$tmp/a/$name.ref.fasta
  [[ -s $seqs && -s $ref ]] || {
    fail "$name: files missing"
    continue
  }
  cmp -s <(records "$seqs") <(records "$ref") || fail "$name: unaligned rows differ from the degapped reference"
  n=$(grep -c '^>' "$seqs")
  ((n >= 4 && n <= 6)) || fail "$name: $n sequences, not 4 to 6"
  [[ $(grep '^>' "$seqs" | tr '\n' ' ') == "$(seq -f '>t%g' 1 "$n" | tr '\n' ' ')" ]] ||
    fail "$name: names are not t1..t$n"
  awk '!/^>/ && length($0) > 60 { bad = 1 } END { exit bad }' "$seqs" "$ref" ||
    fail "$name: lines longer than 60"
  grep -v '^>' "$seqs" | grep -q '[^ACDEFGHIKLMNPQRSTVWY]' && fail "$name: non-residue characters"
  # Reference rows of one length, and no column that is a gap in every row.
  awk '/^>/ { if (row != "") rows[++n] = row; row = ""; next } { row = row $0 }
       END { rows[++n] = row
             for (i = 2; i <= n; i++) if (length(rows[i]) != length(rows[1])) exit 1
             for (c = 1; c <= length(rows[1]); c++) {
               gaps = 0
               for (i = 1; i <= n; i++) gaps += substr(rows[i], c, 1) == "-"
               if (gaps == n) exit 1 } }' "$ref" || fail "$name: ragged reference or an all-gap column"
  # The true tree: one Newick line over the same names, each tip once.
  tree=$tmp/a/$name.tree
  [[ $(wc -l <"$tree") -eq 1 && $(<"$tree") == \(*\)\; ]] || fail "$name: no one-line Newick tree"
  [[ $(grep -o 't[0-9]*:' "$tree" | tr -d : | sort -V | tr '\n' ' ') == "$(seq -f 't%g' 1 "$n" | tr '\n' ' ')" ]] ||
    fail "$name: the tree's tips are not t1..t$n"
done

# The same seed gives the same bytes; another seed other families.
"$script" "$tmp/b" "${tiny[@]}" >/dev/null
diff -r "$tmp/a" "$tmp/b" >/dev/null || fail "the same seed gave different files"
"$script" "$tmp/c" "${tiny[@]}" --seed 6 >/dev/null
cmp -s "$tmp/a/sim001.fasta" "$tmp/c/sim001.fasta" && fail "another seed gave the same family"

# Terminal extensions: every tip gets both, each residue of them alone in
# its column of the true alignment, the rest of the family unchanged.
"$script" "$tmp/x" "${tiny[@]}" --extensions 1,20 >/dev/null
for name in sim001 sim002; do
  cmp -s <(records "$tmp/x/$name.fasta") <(records "$tmp/x/$name.ref.fasta") ||
    fail "$name with extensions: unaligned rows differ from the degapped reference"
  # Columns holding one residue: at least two per tip (one each end).
  lone=$(awk '/^>/ { if (row != "") rows[++n] = row; row = ""; next } { row = row $0 }
       END { rows[++n] = row
             for (c = 1; c <= length(rows[1]); c++) {
               k = 0
               for (i = 1; i <= n; i++) k += substr(rows[i], c, 1) != "-"
               lone += k == 1 }
             print lone }' "$tmp/x/$name.ref.fasta")
  n=$(grep -c '^>' "$tmp/x/$name.fasta")
  ((lone >= 2 * n)) || fail "$name with extensions: $lone lone columns for $n tips"
  # Removing each row's first and last lone runs gives back the family.
  for r in $(seq 1 "$n"); do
    with=$(records "$tmp/x/$name.fasta" | sed -n "${r}p" | cut -f2)
    without=$(records "$tmp/a/$name.fasta" | sed -n "${r}p" | cut -f2)
    [[ $with == *"$without"* && ${#with} -gt $((${#without} + 1)) ]] ||
      fail "$name tip $r: the extended sequence does not hold the original inside"
  done
done
expect_failure "--extensions wants P,MAX" "$script" "$tmp/d" --extensions 1.5,10

# DNA families: bases only, with extensions of bases too.
"$script" "$tmp/dna" "${tiny[@]}" --model HKY --extensions 1,5 >/dev/null
for name in sim001 sim002; do
  grep -v '^>' "$tmp/dna/$name.ref.fasta" | grep -q '[^ACGT-]' && fail "$name: DNA family holds other letters"
done
awk -F'\t' 'NR > 1 && $6 != "HKY" { bad = 1 } END { exit bad }' "$tmp/dna/families.tsv" ||
  fail "families.tsv does not name the DNA model"
expect_failure "--model wants LG, WAG, JTT, HKY or JC" "$script" "$tmp/d" --model GTR

# Bad arguments: a clear message, exit status 2, nothing written.
expect_failure "--count wants a whole number" "$script" "$tmp/d" --count 0
expect_failure "--sizes wants MIN,MAX" "$script" "$tmp/d" --sizes 8
expect_failure "the minimum 9 is above the maximum 8" "$script" "$tmp/d" --sizes 9,8
expect_failure "--heights: 'x' is not a number" "$script" "$tmp/d" --heights 0.1,x
expect_failure "unknown option '--bogus'" "$script" "$tmp/d" --bogus
expect_failure "no output folder given" "$script" --count 2
[[ ! -e $tmp/d ]] || fail "a rejected command line created its output folder"

# Existing files are kept unless --force.
expect_failure "exists already" "$script" "$tmp/a" "${tiny[@]}"
diff -r "$tmp/a" "$tmp/b" >/dev/null || fail "a refused run changed the existing files"
"$script" "$tmp/a" "${tiny[@]}" --force >/dev/null || fail "--force did not overwrite"

# An output folder that cannot be made.
touch "$tmp/file"
expect_failure "cannot create the output folder" "$script" "$tmp/file/out" "${tiny[@]}"

# INDELible failing: the error is shown and no family file is left behind.
mkdir "$tmp/fake"
printf '#!/bin/sh\necho "ERROR: broken simulator" >&2\nexit 255\n' >"$tmp/fake/indelible"
chmod +x "$tmp/fake/indelible"
PATH="$tmp/fake:$PATH" expect_failure "broken simulator" "$script" "$tmp/e" "${tiny[@]}"
[[ -z $(ls -A "$tmp/e") ]] || fail "a failed simulation left files: $(ls -A "$tmp/e")"

finish_checks simulate-families
