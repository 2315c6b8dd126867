# Sourced by the script tests: a temporary folder removed on exit, and fail,
# which reports a check and counts it; finish_checks ends the test with the
# count.
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
finish_checks() {
  if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$1: all checks passed"
}
