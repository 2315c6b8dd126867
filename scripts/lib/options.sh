# Sourced by the scripts that take --NAME options: one parser, so that each
# script declares its options instead of repeating the loop.
#
#   source "$root/scripts/lib/usage.sh"
#   source "$root/scripts/lib/options.sh"
#   work=$root/build/w jobs=$(nproc) fresh=0     # the defaults
#   parse_options "work jobs" "fresh" "$@"
#
# Each --NAME VALUE of the first list sets the variable NAME (a dash in NAME
# becomes an underscore), each --NAME of the second sets it to 1; -h or
# --help prints the usage and exits 0; the other words go, in order, into
# the array `arguments`. An unknown option or a missing value is a usage
# error (exit 2).
parse_options() {
  # Underscored locals, so that none hides the variable an option sets.
  local _valued=" $1 " _flags=" $2 " _name
  shift 2
  arguments=()
  while (($#)); do
    case $1 in
      -h | --help)
        usage
        exit 0
        ;;
      --?*)
        _name=${1#--}
        if [[ $_valued == *" $_name "* ]]; then
          (($# >= 2)) || die "option $1 needs a value"
          printf -v "${_name//-/_}" '%s' "$2"
          shift 2
        elif [[ $_flags == *" $_name "* ]]; then
          printf -v "${_name//-/_}" '%s' 1
          shift
        else
          die "unknown option '$1' (see --help)"
        fi
        ;;
      -?*) die "unknown option '$1' (see --help)" ;;
      *)
        arguments+=("$1")
        shift
        ;;
    esac
  done
}
