# Sourced by the benchmarks and training scripts: where they find the
# project's programs, by one rule. The build folder is $BUILD_DIR when set,
# else the project's build/. The programs asked for are brought up to date
# there with cmake (the folder configured Release first when it is not
# configured; the benchmark programs turned on when one of them is asked
# for); with SKIP_BUILD=1 the folder is taken as it is and a missing
# program is an error.
#
#   source "$root/scripts/lib/binaries.sh"      # and with it usage.sh
#   need_binaries alnadvise simulate_large   # sets $build
#   "$(binary_path simulate_large)" ...      # bench/scale/simulate_large in $build
#   need_program alntrain ALNTRAIN           # sets $alntrain: $ALNTRAIN when set,
#                                            # else found or built
#   need_aligners                            # sets $tools: $GETCHAR_TOOLS_DIR, else
#                                            # $build/tools laid out by install-aligners

binaries_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$binaries_root/scripts/lib/usage.sh"

# The path of program NAME in $build: a benchmark's program sits under
# bench/TOPIC/ (the folder whose CMakeLists.txt adds it), the others at the top.
binary_path() {
  local declared
  declared=$(grep -l "add_executable($1 " "$binaries_root"/bench/*/CMakeLists.txt 2>/dev/null | head -n 1)
  if [[ -n $declared ]]; then
    echo "$build/bench/$(basename "$(dirname "$declared")")/$1"
  else
    echo "$build/$1"
  fi
}

binaries_fail() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# Runs cmake quietly; its output is shown only when it fails.
binaries_cmake() {
  local log
  log=$(mktemp)
  if ! cmake "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    binaries_fail "cmake $* failed"
  fi
  rm -f "$log"
}

need_binaries() {
  build=${BUILD_DIR:-$binaries_root/build}
  local name
  if [[ ${SKIP_BUILD:-0} != 1 ]]; then
    local options=() cache=$build/CMakeCache.txt
    [[ -f $cache ]] || options+=(-DCMAKE_BUILD_TYPE=Release)
    for name; do
      if [[ $(binary_path "$name") == "$build/bench/"* ]] &&
        ! grep -q '^GETCHAR_BENCH:BOOL=ON$' "$cache" 2>/dev/null; then
        options+=(-DGETCHAR_BENCH=ON)
        break
      fi
    done
    ((${#options[@]} == 0)) || binaries_cmake -S "$binaries_root" -B "$build" "${options[@]}"
    binaries_cmake --build "$build" --target "$@" -j2
    grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$cache" ||
      echo "$(basename "$0"): note: $build is not a Release build; its timings say little" >&2
  fi
  [[ -d $build ]] || binaries_fail "no build folder $build"
  build=$(cd "$build" && pwd)
  for name; do
    if [[ $name == getchar ]]; then  # the Python module: getchar.cpython-*.so
      compgen -G "$build/getchar.*.so" >/dev/null || binaries_fail "no Python module in $build"
    else
      [[ -x $(binary_path "$name") ]] || binaries_fail "$(binary_path "$name") is not built"
    fi
  done
}

need_program() {
  local override=${!2:-}
  if [[ -n $override ]]; then
    [[ -f $override && -x $override ]] || binaries_fail "$2 names '$override', which is not a program"
    printf -v "$1" '%s' "$override"
  else
    need_binaries "$1"
    printf -v "$1" '%s' "$(binary_path "$1")"
  fi
}

need_aligners() {
  if [[ -n ${GETCHAR_TOOLS_DIR:-} ]]; then
    tools=$GETCHAR_TOOLS_DIR
  else
    need_binaries alnscore  # the layout's scorer
    tools=$build/tools
    [[ ${SKIP_BUILD:-0} == 1 ]] ||
      "$binaries_root/scripts/install-aligners" "$tools" "$build/alnscore" >/dev/null
  fi
  [[ -d $tools/bin ]] || binaries_fail "no aligners in $tools (scripts/install-aligners $tools ALNSCORE)"
}
