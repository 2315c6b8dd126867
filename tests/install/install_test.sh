#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds a user's program against the
# CMake package, and runs the installed alnadvise without any location flag.
#   install_test.sh BUILD_DIR CONSUMER_SOURCE_DIR
set -euo pipefail
build=$1
consumer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

# An install must not change the system's packages: apt-get is watched (and
# then run) on its way; only "download" may pass.
mkdir "$work/watch"
cat >"$work/watch/apt-get" <<WATCH
#!/bin/sh
echo "\$*" >>"$work/apt-get.calls"
exec /usr/bin/apt-get "\$@"
WATCH
chmod +x "$work/watch/apt-get"
PATH="$work/watch:$PATH" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  exit 1
}
if grep -qvE '^download( |$)' "$work/apt-get.calls" 2>/dev/null; then
  echo "cmake --install ran apt-get other than to download:"
  cat "$work/apt-get.calls"
  exit 1
fi
# The same where every package is missing (dpkg-query says so): the aligners
# are laid out as far as they can be, the missing ones named, none installed.
printf '#!/bin/sh\nexit 1\n' >"$work/watch/dpkg-query"
chmod +x "$work/watch/dpkg-query"
root=$(cd "$(dirname "$0")/../.." && pwd)
PATH="$work/watch:$PATH" bash "$root/scripts/install-aligners" --no-install "$work/tools2" \
  "$prefix/bin/alnscore" >"$work/no-install.log" 2>&1 || {
  cat "$work/no-install.log"
  exit 1
}
grep -q "not installed: mafft muscle3 kalign" "$work/no-install.log" ||
  { echo "the missing packages are not named:"; cat "$work/no-install.log"; exit 1; }
if grep -qvE '^download( |$)' "$work/apt-get.calls" 2>/dev/null; then
  echo "install-aligners --no-install ran apt-get other than to download:"
  cat "$work/apt-get.calls"
  exit 1
fi
[[ -L $work/tools2/bin/mafft ]] || { echo "install-aligners --no-install laid out nothing"; exit 1; }
for f in bin/getChar bin/alnscore bin/alnadvise bin/alntrain lib/libgetChar.a include/getChar.h \
  share/getChar/reference-table.txt share/getChar/front.txt share/getChar/option-space.json \
  lib/cmake/getChar/getCharConfig.cmake libexec/getChar/tools/bin/mafft; do
  [[ -e $prefix/$f ]] || { echo "missing after install: $f"; exit 1; }
done
package=$prefix/lib/python3/dist-packages/getchar
compgen -G "$package/_getchar.*.so" >/dev/null && [[ -e $package/__init__.py && -e $package/__main__.py ]] ||
  { echo "missing after install: the Python package getchar or its compiled module"; exit 1; }
# The man pages, wherever help2man is there to make them.
if command -v help2man >/dev/null; then
  for program in getChar alnadvise alntrain alnscore; do
    [[ -s $prefix/share/man/man1/$program.1 ]] || { echo "missing after install: man page $program.1"; exit 1; }
  done
  LANG=C MANWIDTH=120 man -l "$prefix/share/man/man1/alnadvise.1" | grep -q -- "--aligners" ||
    { echo "the installed alnadvise.1 does not render its options"; exit 1; }
fi

cmake -S "$consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 &&
  cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1 || {
  cat "$work/consumer.log"
  exit 1
}
[[ $("$work/consumer/consumer") == "-1 1" ]] || { echo "consumer printed something else"; exit 1; }

# The installed advisor finds its tools and data beside itself.
mkdir "$work/run"
cd "$work/run"
env -u GETCHAR_TOOLS_DIR "$prefix/bin/alnadvise" -q --no-merge --format json \
  /usr/share/doc/kalign/examples/BB11001.tfa >report.json
[[ -s BB11001.advise/best.fasta ]] || { echo "no best.fasta"; exit 1; }
python3 - "$prefix" <<'PY'
import json, os, sys
prefix = os.path.realpath(sys.argv[1])
tables = json.load(open("report.json"))["tables"]
for key, where in (("tools", "libexec/getChar/tools"), ("table", "share/getChar/reference-table.txt"),
                   ("front", "share/getChar/front.txt")):
    if os.path.realpath(tables[key]) != os.path.join(prefix, where):
        sys.exit("%s: %s is not the installed one" % (key, tables[key]))
PY

# The installed Python module, imported from the prefix, finds the same.
mkdir "$work/module-run"
cd "$work/module-run"
env -u GETCHAR_TOOLS_DIR PYTHONPATH="$prefix/lib/python3/dist-packages" /usr/bin/python3 - "$prefix" <<'PY'
import os, sys
import getchar
prefix = os.path.realpath(sys.argv[1])
if not os.path.realpath(getchar.__file__).startswith(prefix + "/lib/python3/dist-packages/"):
    sys.exit("imported %s, not the installed module" % getchar.__file__)
report = getchar.advise("/usr/share/doc/kalign/examples/BB11001.tfa", aligners=["kalign"])
for key, where in (("tools", "libexec/getChar/tools"), ("table", "share/getChar/reference-table.txt"),
                   ("front", "share/getChar/front.txt")):
    if os.path.realpath(report["tables"][key]) != os.path.join(prefix, where):
        sys.exit("module: %s: %s is not the installed one" % (key, report["tables"][key]))
if report["best"] is None or os.listdir("."):
    sys.exit("module: no best, or files left in the working folder")
PY
env -u GETCHAR_TOOLS_DIR PYTHONPATH="$prefix/lib/python3/dist-packages" /usr/bin/python3 -m getchar \
  advise --aligners kalign /usr/share/doc/kalign/examples/BB11001.tfa >advice.txt ||
  { cat advice.txt; echo "python3 -m getchar advise failed on the installed package"; exit 1; }
grep -q "^best	KALIGN" advice.txt || { cat advice.txt; echo "python3 -m getchar: no best"; exit 1; }
rm advice.txt
echo "installed, found by find_package and run without flags, the Python package and man pages too"
