#!/usr/bin/env bash
# scripts/lib: the usage a script prints, the option parser, and where the
# programs are found, with failures that stop the script with a message.
#   script_lib_test.sh LIB_DIR BUILD_DIR    (BUILD_DIR: a build with alnscore)
set -euo pipefail
lib=$1 built=$2
source "$(dirname "$0")/check_helpers.sh"

# A script using the library: prints its options, or fails.
cat >"$tmp/tool" <<EOF2
#!/usr/bin/env bash
# Line one of the usage.
#
#   tool [--name V] [--dry-run] ARG...
set -euo pipefail
# not usage
source "$lib/binaries.sh"
source "$lib/options.sh"
name=default dry_run=0
parse_options "name" "dry-run" "\$@"
echo "name=\$name dry_run=\$dry_run arguments=\${arguments[*]}"
EOF2
run() { bash "$tmp/tool" "$@" 2>"$tmp/err"; }

[[ $(run --help) == $'Line one of the usage.\n\n  tool [--name V] [--dry-run] ARG...' ]] ||
  fail "--help does not print the comment block alone: $(run --help)"
[[ $(run a --name x --dry-run b) == "name=x dry_run=1 arguments=a b" ]] ||
  fail "options and arguments misread: $(run a --name x --dry-run b)"
[[ $(run) == "name=default dry_run=0 arguments=" ]] || fail "defaults lost: $(run)"
for bad in "--name" "--bogus" "-x"; do
  status=0
  run $bad >/dev/null || status=$?
  ((status == 2)) || fail "'$bad' ends with status $status, not 2"
  grep -q "^tool: " "$tmp/err" || fail "'$bad' gives no message: $(cat "$tmp/err")"
done

# A script that takes one or two arguments.
printf '#!/usr/bin/env bash\n# Takes A [B].\nsource "%s/usage.sh"\nexpect_arguments 1 2 "$@"\necho fine\n' \
  "$lib" >"$tmp/counted"
for count in 0 3; do
  status=0
  bash "$tmp/counted" $(seq "$count") >/dev/null 2>"$tmp/err" || status=$?
  ((status == 2)) && [[ $(cat "$tmp/err") == "Takes A [B]." ]] ||
    fail "$count arguments: status $status, stderr '$(cat "$tmp/err")', not the usage and 2"
done
[[ $(bash "$tmp/counted" a b) == fine ]] || fail "two arguments were refused"

# Programs: BUILD_DIR as it is (SKIP_BUILD=1), a benchmark's program under
# bench/TOPIC/, an override that is not a program, a missing program.
programs() {  # runs the library's functions in a script of their own
  BUILD_DIR=$1 SKIP_BUILD=1 bash -c "source '$lib/binaries.sh'; $2" tool 2>"$tmp/err"
}
[[ $(programs "$built" 'need_binaries alnscore; echo "$build"') == "$(cd "$built" && pwd)" ]] ||
  fail "BUILD_DIR is not the build folder: $(cat "$tmp/err")"
[[ $(programs "$built" 'build=B; binary_path simulate_large') == B/bench/scale/simulate_large ]] ||
  fail "a benchmark's program is looked for elsewhere"
programs "$tmp/none" 'need_binaries alnscore' && fail "a missing build folder was taken"
grep -q "no build folder" "$tmp/err" || fail "no message for a missing build folder: $(cat "$tmp/err")"
mkdir "$tmp/empty"
programs "$tmp/empty" 'need_binaries alnscore' && fail "a missing program was taken"
grep -q "alnscore is not built" "$tmp/err" || fail "no message for a missing program: $(cat "$tmp/err")"
ALNTRAIN=$tmp/empty programs "$built" 'need_program alntrain ALNTRAIN' && fail "a folder was taken as a program"
grep -q "ALNTRAIN names" "$tmp/err" || fail "no message for a bad override: $(cat "$tmp/err")"
[[ $(ALNTRAIN=/bin/true programs "$built" 'need_program alntrain ALNTRAIN; echo "$alntrain"') == /bin/true ]] ||
  fail "the override is not taken: $(cat "$tmp/err")"
GETCHAR_TOOLS_DIR=$tmp/empty programs "$built" 'need_aligners' && fail "a folder without aligners was taken"
grep -q "no aligners in" "$tmp/err" || fail "no message for missing aligners: $(cat "$tmp/err")"

finish_checks script_lib
