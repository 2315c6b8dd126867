# The one median of the benchmarks, sourced by their scripts: the middle
# value, or the mean of the two middle values for an even count (as Python's
# statistics.median). Numbers as arguments, or one a line on standard input.
median() {
  if (($#)); then printf '%s\n' "$@"; else cat; fi |
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
