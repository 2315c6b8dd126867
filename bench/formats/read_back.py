#!/usr/bin/python3
"""Reads best.aln, best.sto, best.phy and best.msf of FOLDER back with
Biopython's readers, and best.sto with hmmbuild, and checks that each holds
best.fasta's rows in order, the same residues, and the names the writers
promise: the FASTA ids when they are unique, otherwise the whole headers with
blanks made '_' and repeats numbered; in best.phy, the marks a tree breaks on
made '_' too, and the names best.names.tsv maps back to the headers.
    read_back.py FOLDER [FORMAT...]     (default: every file present)
Prints one line per format with its rows, columns and seconds to read;
exits 1 on the first difference."""
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from Bio import AlignIO, SeqIO

FILES = {"clustal": "best.aln", "stockholm": "best.sto", "phylip-relaxed": "best.phy",
         "msf": "best.msf"}


def expected_names(headers):
    ids = [h.split()[0] if h.split() else "" for h in headers]
    ids = ["_" + n if n[:1] in ("#", "/") else n for n in ids]
    if all(ids) and len(set(ids)) == len(ids):
        return ids
    names, seen = [], set()
    for h in headers:
        base = re.sub(r"\s+", "_", h.strip())
        base = "_" + base if base[:1] in ("#", "/") else base
        name, n = base or "seq", 2
        while name in seen:
            name, n = f"{base}_{n}", n + 1
        seen.add(name)
        names.append(name)
    return names


def tree_safe(names):
    """The names made safe for Newick, repeats numbered past every name."""
    safe = [re.sub(r"[:,();\[\]'\"]", "_", n) for n in names]
    taken, seen, out = set(safe), set(), []
    for name in safe:
        if name in seen:
            n = 2
            while f"{name}_{n}" in taken:
                n += 1
            name = f"{name}_{n}"
            taken.add(name)
        seen.add(name)
        out.append(name)
    return out


def fail(message):
    print(f"read_back.py: {message}", file=sys.stderr)
    sys.exit(1)


def main():
    folder = Path(sys.argv[1])
    wanted = sys.argv[2:] or [f for f, name in FILES.items() if (folder / name).exists()]
    records = list(SeqIO.parse(folder / "best.fasta", "fasta"))
    if not records:
        fail(f"no rows in {folder / 'best.fasta'}")
    names = expected_names([r.description for r in records])
    rows = [str(r.seq).replace(".", "-") for r in records]
    for fmt in wanted:
        path = folder / FILES[fmt]
        start = time.perf_counter()
        alignment = AlignIO.read(path, fmt)
        seconds = time.perf_counter() - start
        got_names = [r.id for r in alignment]
        want_names = names
        if fmt == "phylip-relaxed":
            want_names = tree_safe(names)
            lines = (folder / "best.names.tsv").read_text().splitlines()
            if lines[1:] != [f"{n}\t{r.description}" for n, r in zip(want_names, records)]:
                fail(f"{folder / 'best.names.tsv'} does not map best.phy's names to the headers")
        got_rows = [str(r.seq).replace(".", "-") for r in alignment]
        if len(got_rows) != len(rows):
            fail(f"{path}: {len(got_rows)} rows, best.fasta has {len(rows)}")
        for i, (want, got) in enumerate(zip(want_names, got_names)):
            if want != got:
                fail(f"{path}: row {i + 1} is named {got!r}, expected {want!r}")
        for i, (want, got) in enumerate(zip(rows, got_rows)):
            if want.upper() != got.upper():
                fail(f"{path}: row {i + 1} ({names[i]}) differs from best.fasta")
        print(f"{fmt}\t{len(got_rows)} rows\t{alignment.get_alignment_length()} columns\t"
              f"Biopython {seconds:.3f} s")
    if "stockholm" in wanted:
        with tempfile.TemporaryDirectory() as tmp:
            start = time.perf_counter()
            run = subprocess.run(["hmmbuild", "--amino", "-o", f"{tmp}/summary", f"{tmp}/best.hmm",
                                  str(folder / "best.sto")], capture_output=True, text=True)
            seconds = time.perf_counter() - start
            if run.returncode != 0:
                fail(f"hmmbuild refused {folder / 'best.sto'}: {run.stderr.strip()}")
            nseq = re.search(r"^NSEQ\s+(\d+)", Path(f"{tmp}/best.hmm").read_text(), re.M)
            if not nseq or int(nseq.group(1)) != len(rows):
                fail(f"hmmbuild read {nseq.group(1) if nseq else 'no'} rows, expected {len(rows)}")
            print(f"stockholm\t{len(rows)} rows\thmmbuild {seconds:.3f} s")


if __name__ == "__main__":
    main()
