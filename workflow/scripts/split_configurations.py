"""Splits a list of configurations into the training's batches.

    split_configurations.py LIST OUT_DIR BATCH

LIST holds one configuration a line, as alntrain --configurations reads
them (ALIGNER<TAB>options, or the lines of a front file); blank lines and
lines starting with '#' are skipped, and a line seen before is dropped.
OUT_DIR/0001.tsv, 0002.tsv, ... get BATCH lines each (the last one the
rest). An empty list is refused: there would be nothing to train on.
"""

import os
import sys


def split(lines, batch):
    seen, kept = set(), []
    for line in lines:
        line = line.rstrip("\r\n")
        if not line.strip() or line.startswith("#") or line in seen:
            continue
        seen.add(line)
        kept.append(line)
    return [kept[i:i + batch] for i in range(0, len(kept), batch)]


def main(argv):
    if len(argv) != 4 or not argv[3].isdigit() or int(argv[3]) < 1:
        sys.stderr.write("usage: split_configurations.py LIST OUT_DIR BATCH (BATCH >= 1)\n")
        return 2
    with open(argv[1]) as f:
        batches = split(f, int(argv[3]))
    if not batches:
        sys.stderr.write(f"no configuration in '{argv[1]}'\n")
        return 1
    os.makedirs(argv[2], exist_ok=True)
    for i, batch in enumerate(batches, 1):
        with open(os.path.join(argv[2], f"{i:04d}.tsv"), "w") as f:
            f.write("".join(line + "\n" for line in batch))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
