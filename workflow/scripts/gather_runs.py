"""Joins the runs.tsv files of the training's batch jobs into one, in the
format alntrain --resume reads (its header once, then every run line).

    gather_runs.py OUT RUNS.tsv...

Every input must start with alntrain's header and end with a line end (a
torn last line means its job did not finish: refused, not cut). OUT is
written whole or not at all.
"""

import os
import sys
import tempfile

HEADER = "hash\tdata_set\taligner\toptions\tQ\tTC\tseconds\tstatus\n"


def gather(paths):
    lines = [HEADER]
    for path in paths:
        with open(path) as f:
            text = f.read()
        if not text.startswith(HEADER):
            raise ValueError(f"'{path}' does not start with the runs.tsv header")
        if not text.endswith("\n"):
            raise ValueError(f"'{path}' ends in a torn line")
        lines.append(text[len(HEADER):])
    return "".join(lines)


def main(argv):
    if len(argv) < 3:
        sys.stderr.write("usage: gather_runs.py OUT RUNS.tsv...\n")
        return 2
    try:
        text = gather(argv[2:])
    except (OSError, ValueError) as e:
        sys.stderr.write(f"gather_runs.py: {e}\n")
        return 1
    fd, tmp = tempfile.mkstemp(prefix=".runs.", dir=os.path.dirname(argv[1]) or ".")
    with os.fdopen(fd, "w") as f:
        f.write(text)
    os.replace(tmp, argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
