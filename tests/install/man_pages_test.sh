#!/usr/bin/env bash
# Renders each program's man page with man -l and checks that it is the
# program's own: its name line, synopsis, description and some of its options.
# The pages are made from --help and --version: both succeed, and --version
# prints the project's version.
#   man_pages_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
man_dir=$build/man
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# program, then text its page must hold (the NAME line's words and options
# taken from its --help).
check() {
  local program=$1 page="$man_dir/$1.1" text
  shift
  [[ -s $page ]] || { echo "no man page $page"; exit 1; }
  LANG=C LC_ALL=C MANWIDTH=120 man -l "$page" >"$work/$program.txt" 2>"$work/$program.err" ||
    { echo "man -l $page failed:"; cat "$work/$program.err"; exit 1; }
  [[ ! -s $work/$program.err ]] || { echo "man -l $page warned:"; cat "$work/$program.err"; exit 1; }
  for text in NAME SYNOPSIS DESCRIPTION OPTIONS "--help" "--version" "$@"; do
    grep -qF -- "$text" "$work/$program.txt" ||
      { echo "$program.1 lacks '$text':"; cat "$work/$program.txt"; exit 1; }
  done
}

check getChar "getChar - features of a protein data set" "getChar <DataSet> <optionFile>" "DIALIGNTX"
check alnadvise "alnadvise - advise and run the best aligner configuration" "--aligners" "--effort"
check alntrain "alntrain - learn the advisor's table" "--generations" "--folds"
check alnscore "alnscore - score a test alignment" "-ignoremissingseqs" "-truncname"
for program in getChar alnadvise alntrain alnscore; do
  [[ $("$build/$program" --version) == "$program $version" ]] ||
    { echo "$program --version: $("$build/$program" --version 2>&1)"; exit 1; }
  "$build/$program" --help >"$work/help.txt" || { echo "$program --help failed"; exit 1; }
  grep -q "^Usage: $program " "$work/help.txt" || { echo "$program --help has no usage line"; exit 1; }
  # Each page carries the project's version.
  grep -qF "\"$program $version\"" "$man_dir/$program.1" ||
    { echo "$program.1 lacks version $version in its title line:"; head -5 "$man_dir/$program.1"; exit 1; }
done
echo "four man pages render with their names, synopses and options"
