"""Memory and time a job asks the scheduler for, from the size of its data
set: the number of sequences N and the longest sequence L.

Time: the advisor's runs grow as N^2 L^2 (all pairs aligned: MAFFT's
consistency strategies, ClustalW, DIALIGN-TX, the merge's library). The
rate was measured on simulated families of 12 to 43 sequences of about 270
residues (6 to 30 s each, all five aligners and the merge, one run at a
time); above 200 sequences the advisor leaves the consistency strategies
out, and half the rate is assumed there. The time asked is several times
the estimate, because a job past its limit is killed while one that ends
early costs nothing.

Memory: t_coffee's merge takes about 450 MB whatever the size and runs
alone; the aligners take tens of MB on such families, growing as N L^2.

Each retry (attempt 2, 3, ...) asks for that much more again.
"""

import math

CONSISTENCY_LIMIT = 200  # the advisor runs L-INS-i and friends up to this many
SECONDS_PER_CELL = 1.5e-7  # all of a data set's runs, per N^2 L^2
MERGE_MB = 600  # t_coffee's merge, which runs alone: about 450 MB whatever the size
RUN_MB = 50  # one aligner run on a small data set (MAFFT: 25 MB at 12 x 257)
MB_PER_CELL = 1e-5  # one run's growth per N L^2
MIN_MINUTES = 10
TIME_MARGIN = 4


def measure(path):
    """(sequences, longest sequence) of a FASTA file; (0, 0) when unreadable
    (the job then fails with the advisor's own message)."""
    count = longest = length = 0
    try:
        with open(path, "rb") as f:
            for line in f:
                if line.startswith(b">"):
                    count += 1
                    longest = max(longest, length)
                    length = 0
                else:
                    length += len(line.strip())
    except OSError:
        return 0, 0
    return count, max(longest, length)


def estimated_seconds(sequences, longest):
    rate = SECONDS_PER_CELL if sequences <= CONSISTENCY_LIMIT else SECONDS_PER_CELL / 2
    return 5 + rate * float(sequences) ** 2 * float(longest) ** 2


def runtime_minutes(sequences, longest, threads=1, attempt=1, share=1.0):
    """Minutes to ask for. share: the job's part of a whole advice; a
    training job of k configurations is about k / 8 of one (the advisor runs
    about eight candidates and a merge)."""
    estimate = estimated_seconds(sequences, longest) * share / max(threads, 1)
    return max(MIN_MINUTES, math.ceil(TIME_MARGIN * estimate / 60)) * attempt


def mem_mb(sequences, longest, threads=1, attempt=1, merge=True):
    """Megabytes to ask for: threads runs at once, or the merge alone."""
    per_run = RUN_MB + MB_PER_CELL * sequences * longest * longest
    alone = MERGE_MB + per_run if merge else per_run
    return int(math.ceil(max(alone, threads * per_run, 200) * attempt))
