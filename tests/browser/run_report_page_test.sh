#!/usr/bin/env bash
# Makes three reports and checks their pages in headless Chromium:
#   run_report_page_test.sh BUILD_DIR ALNADVISE MAKE_LARGE_REPORT
# BB11001 is advised with the real aligners (GETCHAR_TOOLS_DIR) and its
# reference, a small DNA family with two aligners; the large report is
# generated. Screenshots stay in
# BUILD_DIR/browser-report/.
set -euo pipefail
build="$1" alnadvise="$2" make_large="$3"
here="$(cd "$(dirname "$0")" && pwd)"
driver="$build/browser-driver/node_modules"
[[ -n "${GETCHAR_TOOLS_DIR:-}" ]] || { echo "GETCHAR_TOOLS_DIR is not set" >&2; exit 1; }
[[ -x /usr/bin/chromium ]] || { echo "no /usr/bin/chromium: run scripts/install-deps" >&2; exit 1; }
[[ -d "$driver/playwright-core" ]] ||
  { echo "no browser driver in $driver: run scripts/install-browser-driver $build/browser-driver" >&2; exit 1; }

out="$build/browser-report"
rm -rf "$out"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$alnadvise" -q -j 2 --tools "$GETCHAR_TOOLS_DIR" -o "$work/BB11001.advise" \
  -r /usr/share/doc/kalign/examples/BB11001.msf /usr/share/doc/kalign/examples/BB11001.tfa > /dev/null
# A small DNA family, advised by two aligners in nucleotide mode.
printf '>d1\nATGGCGTACGTTAGCCTAGGATCCATGCAAGTTCGA\n>d2\nATGGCGTACGTAGCCTAGGATCGATGCAAGTTCGA\n>d3\nATGACGTACGTTAGCCTTGGATCCATGCAGTTCGA\n>d4\nATGGCGTTCGTTAGCCTAGGTTCCATGCAAGTACGA\n' >"$work/dna.fa"
"$alnadvise" -q -j 2 --tools "$GETCHAR_TOOLS_DIR" --aligners mafft,kalign --no-merge \
  -o "$work/dna.advise" "$work/dna.fa" > /dev/null
mkdir "$work/large"
"$make_large" "$work/large"

NODE_PATH="$driver" node "$here/report_page_test.js" "$out" \
  "$work/BB11001.advise" "$work/large" "$work/dna.advise" "${REPORT_PAGE_LOADS:-5}"
