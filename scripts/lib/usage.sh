# Sourced by the scripts: their usage is the comment block under the first
# line, up to the first line that is not a comment, so that what --help
# prints cannot drift from the text above the code.
#
#   source "$root/scripts/lib/usage.sh"
#   help_on_request "$@"        # a first argument -h or --help prints it and exits 0
#   expect_arguments 1 2 "$@"   # that too, and the usage with exit 2 unless
#                               # 1 to 2 arguments are given ('' for no limit)
#   die "MESSAGE"               # a usage error: the message, exit 2

usage() {
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
}

help_on_request() {
  if [[ ${1:-} == -h || ${1:-} == --help ]]; then
    usage
    exit 0
  fi
}

expect_arguments() {
  local min=$1 max=$2
  shift 2
  help_on_request "$@"
  if (($# < min)) || { [[ -n $max ]] && (($# > max)); }; then
    usage >&2
    exit 2
  fi
}

# A usage error: the message on stderr, exit 2.
die() {
  echo "$(basename "$0"): $*" >&2
  exit 2
}
