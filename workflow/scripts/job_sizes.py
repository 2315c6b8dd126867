"""Memory and time a job asks the scheduler for, from the size of its data
set: the number of sequences N and the longest sequence L.

The advisor's costliest runs are MAFFT's consistency strategies (all pairs
aligned, about N^2 L^2 work), which it runs only up to 200 sequences; above
that the progressive aligners and the merge dominate (about N^2 L + N L^2).
The constants come from measured runs (README, "The workflow"); the time
asked is several times the estimate, because a job past its limit is
killed, while one that ends early costs nothing. Each retry (attempt 2, 3,
...) asks for that much more again.
"""

import math

CONSISTENCY_LIMIT = 200  # the advisor runs L-INS-i and friends up to this many
SECONDS_PER_PAIR_CELL = 4e-8  # consistency strategies, per N^2 L^2
SECONDS_PER_PROGRESSIVE_CELL = 2e-6  # per N^2 L + N L^2
MB_PER_CELL = 2e-5  # the largest run's memory, per N L^2 (t_coffee's library)
BASE_MB = 500
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
    n, l = float(sequences), float(longest)
    progressive = SECONDS_PER_PROGRESSIVE_CELL * (n * n * l + n * l * l) / 1000
    consistency = SECONDS_PER_PAIR_CELL * n * n * l * l if sequences <= CONSISTENCY_LIMIT else 0
    return 5 + progressive + consistency


def runtime_minutes(sequences, longest, threads=1, attempt=1, runs=1):
    """Minutes to ask for; runs > 1 for a job that makes several runs."""
    estimate = estimated_seconds(sequences, longest) * runs / max(threads, 1)
    return max(MIN_MINUTES, math.ceil(TIME_MARGIN * estimate / 60)) * attempt


def mem_mb(sequences, longest, threads=1, attempt=1):
    """Megabytes to ask for: threads runs at once, each up to the largest."""
    per_run = 100 + MB_PER_CELL * sequences * longest * longest
    return int(math.ceil((BASE_MB + threads * per_run) * attempt))
