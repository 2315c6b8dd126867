#!/usr/bin/env bash
# The best alignment's formats on a given alignment: writes best.fasta and
# best.{aln,sto,phy,msf} from it as alnadvise does (write_formats: median of
# 5 writes of each, with the peak memory of the whole), then reads each back
# with Biopython (Bio.AlignIO) and best.sto with hmmbuild, checking rows,
# names and residues against best.fasta (read_back.py).
#   bench/formats/readback.sh ALIGNMENT
# Programs: $BUILD_DIR, else build/ (scripts/lib/binaries.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/binaries.sh"
expect_arguments 1 1 "$@"
alignment=$1
need_binaries write_formats
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/time -v "$build/bench/formats/write_formats" "$alignment" "$work" 5 2>"$work/time"
sed -n 's/^\tMaximum resident set size (kbytes): /peak_kB\t/p' "$work/time"
/usr/bin/python3 "$root/bench/formats/read_back.py" "$work"
