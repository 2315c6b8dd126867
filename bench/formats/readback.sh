#!/usr/bin/env bash
# The best alignment's formats on a given alignment: writes best.fasta and
# best.{aln,sto,phy,msf} from it as alnadvise does (write_formats: median of
# 5 writes of each, with the peak memory of the whole), then reads each back
# with Biopython (Bio.AlignIO) and best.sto with hmmbuild, checking rows,
# names and residues against best.fasta (read_back.py).
#   bench/formats/readback.sh ALIGNMENT      (build directory: $BUILD_DIR or build-bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
alignment=${1:?usage: bench/formats/readback.sh ALIGNMENT}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGETCHAR_TESTS=OFF -DGETCHAR_BENCH=ON \
  >/dev/null
cmake --build "$build" --target write_formats -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/time -v "$build/bench/formats/write_formats" "$alignment" "$work" 5 2>"$work/time"
sed -n 's/^\tMaximum resident set size (kbytes): /peak_kB\t/p' "$work/time"
/usr/bin/python3 "$root/bench/formats/read_back.py" "$work"
