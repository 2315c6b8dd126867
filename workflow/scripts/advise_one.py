"""Advises one data set for the workflow and records how it went.

    advise_one.py OUT_DIR OUTCOME -- ALNADVISE_COMMAND...

The workflow owns OUT_DIR: everything in it but the job's own log
(workflow.log) is removed first, so nothing of an earlier run (a best.fasta
from before the file went bad) survives a failed one. The command then runs
with its standard error passed through; OUTCOME (a JSON file, written whole
or not at all) records the status ("done" or "failed"), the exit status, the
reason (the last line alnadvise printed on standard error, when it failed)
and the wall time. The exit status is the command's, so a failed data set
is a failed job to Snakemake: its outputs are removed and a later run makes
it again.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

KEPT = {"workflow.log"}


def clear_folder(folder):
    os.makedirs(folder, exist_ok=True)
    for entry in os.listdir(folder):
        if entry in KEPT:
            continue
        path = os.path.join(folder, entry)
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        else:
            os.remove(path)


def write_json_atomically(path, value):
    folder = os.path.dirname(path) or "."
    fd, tmp = tempfile.mkstemp(prefix=".outcome.", dir=folder)
    try:
        with os.fdopen(fd, "w") as f:
            json.dump(value, f, indent=2)
            f.write("\n")
            f.flush()
            os.fsync(f.fileno())
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def last_line(text):
    for line in reversed(text.splitlines()):
        line = line.strip()
        if line:
            return line[len("alnadvise: "):] if line.startswith("alnadvise: ") else line
    return ""


def run(folder, outcome_path, command):
    clear_folder(folder)
    start = time.monotonic()
    try:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
    except OSError as e:
        process, status, stderr = None, 127, f"cannot run '{command[0]}': {e.strerror}\n"
    if process:
        # A scheduler that stops the job signals this process: pass it on, so
        # alnadvise stops its runs and removes its run folder.
        for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(number, lambda n, _: process.send_signal(n))
        stderr = process.communicate()[1].decode("utf-8", "replace")
        status = process.returncode
    sys.stderr.write(stderr)
    seconds = time.monotonic() - start
    if status < 0:
        reason, status = f"killed by signal {-status}", 128 - status
    elif status == 0:
        reason = ""
    else:
        reason = last_line(stderr) or f"exit status {status}"
    write_json_atomically(
        outcome_path,
        {
            "status": "done" if status == 0 else "failed",
            "exitStatus": status,
            "reason": reason,
            "seconds": round(seconds, 3),
            "command": command,
        },
    )
    return status


def main(argv):
    if len(argv) < 5 or argv[3] != "--":
        sys.stderr.write("usage: advise_one.py OUT_DIR OUTCOME -- COMMAND...\n")
        return 2
    return run(argv[1], argv[2], argv[4:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
