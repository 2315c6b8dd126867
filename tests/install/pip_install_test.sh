#!/usr/bin/env bash
# pip install of the Python package into a fresh virtual environment (with
# the system's site packages, offline), then the installed package: imported,
# python3 -m getchar on a real data set, the aligners found through
# GETCHAR_TOOLS_DIR and through the alnadvise on PATH, and its failures.
# The source tree must be left as it was.
#   pip_install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
root=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=/usr/share/doc/kalign/examples/BB11001.tfa
fail() { echo "$*"; exit 1; }

# What pip writes into the source tree, build folders (build*/) aside, shows
# as files newer than this mark; setuptools' own build/lib* is looked for too.
touch "$work/mark"
sleep 1
written_into_source() {
  find "$root" \( -path "$root/build*" -o -path "$root/.git" \) -prune -o -newer "$work/mark" -print
  compgen -G "$root/build/lib.*" || true
  compgen -G "$root/build/bdist.*" || true
}

/usr/bin/python3 -m venv --system-site-packages "$work/venv"
venv=$work/venv/bin
mkdir "$work/tmp"
GETCHAR_PIP_BUILD_DIR=$work/pip-build TMPDIR=$work/tmp CMAKE_BUILD_PARALLEL_LEVEL=2 \
  "$venv/pip" install --no-build-isolation --no-index --no-cache-dir \
  --disable-pip-version-check "$root" >"$work/pip.log" 2>&1 || { cat "$work/pip.log"; fail "pip install failed"; }
[[ -z $(written_into_source) ]] ||
  { written_into_source; fail "pip install wrote into the source tree"; }

mkdir "$work/run"
cd "$work/run"
# Nothing but the package: no aligners by the environment or on PATH.
clean=(env -u GETCHAR_TOOLS_DIR -u PYTHONPATH PATH="$work/empty")

# Imported from the environment, with its shipped data inside the package.
"${clean[@]}" "$venv/python" - "$work/venv" <<'PY'
import os, sys
import getchar
venv = os.path.realpath(sys.argv[1])
if not os.path.realpath(getchar.__file__).startswith(venv + "/"):
    sys.exit("imported %s, not the pip-installed package" % getchar.__file__)
package = os.path.dirname(getchar.__file__)
for name in ("reference-table.txt", "front.txt", "choice-model.json", "cost-model.json",
             "gain-model.json", "confidence-calibration.json"):
    if not os.path.isfile(os.path.join(package, "data", name)):
        sys.exit("the package lacks data/" + name)
if list(getchar.FEATURES)[:2] != ["sequences", "meanLength"]:
    sys.exit("FEATURES: %r" % (getchar.FEATURES,))
PY

# The features, one per line, as the module computes them.
"${clean[@]}" "$venv/python" -m getchar features "$data" >features.txt
[[ $(cut -f1 features.txt | paste -sd,) == "sequences,meanLength,lengthSD,f3,f4,RHK,DE,STNQ,CUGP,AVILMFYW" ]] ||
  { cat features.txt; fail "python3 -m getchar features printed something else"; }
[[ $(awk -F'\t' '$1 == "sequences" { print $2 + 0 }' features.txt) == "$(grep -c '^>' "$data")" ]] ||
  fail "python3 -m getchar features: wrong number of sequences"
rm features.txt

# The advice with the aligners named by GETCHAR_TOOLS_DIR, then found through
# the alnadvise on PATH (the build folder's, whose aligners lie in tools/).
GETCHAR_TOOLS_DIR=$build/tools "$venv/python" -m getchar advise --aligners kalign --out "$work/out1" \
  "$data" >advise1.txt || { cat advise1.txt; fail "python3 -m getchar advise failed"; }
grep -q "^best	KALIGN" advise1.txt || { cat advise1.txt; fail "no best KALIGN configuration"; }
[[ -s $work/out1/best.fasta && -s $work/out1/report.json ]] || fail "no best.fasta or report.json"
env -u GETCHAR_TOOLS_DIR PATH="$build:$PATH" "$venv/python" -m getchar advise --aligners kalign \
  --out "$work/out2" "$data" >advise2.txt || { cat advise2.txt; fail "advise through PATH failed"; }
"$venv/python" - "$work" "$build" <<'PY'
import json, os, sys
import getchar
work, build = sys.argv[1], os.path.realpath(sys.argv[2])
package = os.path.dirname(os.path.realpath(getchar.__file__))
for out, tools in (("out1", None), ("out2", os.path.join(build, "tools"))):
    tables = json.load(open(os.path.join(work, out, "report.json")))["tables"]
    for key, name in (("table", "reference-table.txt"), ("front", "front.txt")):
        if tables[key] != os.path.join(package, "data", name):
            sys.exit("%s: %s is %s, not the package's" % (out, key, tables[key]))
    if tools and tables["tools"] != tools:
        sys.exit("%s: the aligners of %s, not of the alnadvise on PATH" % (out, tables["tools"]))
PY
rm advise1.txt advise2.txt

# Failures: a status of 1, "getchar: " and the message on standard error,
# nothing on standard output.
expect_failure() {
  local message=$1
  shift
  local status=0
  "$@" >out.txt 2>err.txt || status=$?
  [[ $status == 1 && ! -s out.txt ]] || { cat out.txt err.txt; fail "status $status for: $*"; }
  grep -q "^getchar: .*$message" err.txt || { cat err.txt; fail "no '$message' for: $*"; }
  rm out.txt err.txt
}
expect_failure "$work/missing.fasta" "${clean[@]}" "$venv/python" -m getchar features "$work/missing.fasta"
expect_failure "no aligners found; looked in" \
  "${clean[@]}" "$venv/python" -m getchar advise --aligners kalign "$data"
package=$("$venv/python" -c 'import getchar, os; print(os.path.dirname(getchar.__file__))')
mv "$package/data/front.txt" "$work/front.txt"
expect_failure "the shipped file front.txt is missing; looked in $package/data/front.txt" \
  env PATH="$work/empty" GETCHAR_TOOLS_DIR="$build/tools" "$venv/python" -m getchar advise "$data"
mv "$work/front.txt" "$package/data/front.txt"
[[ -z $(ls -A) ]] || { ls -A; fail "files left in the working folder"; }
echo "pip-installed into a virtual environment, imported, run, and its failures named"
