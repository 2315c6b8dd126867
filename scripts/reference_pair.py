"""Writes a reference alignment as a benchmark pair NAME.ref.fasta and
NAME.fasta (the same records without gaps) into a folder.

usage: reference_pair.py FORMAT NAME INPUT OUT_DIR
FORMAT is a Biopython AlignIO format (fasta, stockholm); INPUT may be
gzip-compressed. An empty NAME takes a Stockholm file's accession and
identifier (PF00032_Cytochrom_B_C). An alignment of fewer than four records
is skipped with a line on standard error; rows of unequal length and a record
without residues are refused with status 1.
"""
import gzip
import os
import sys

from Bio import AlignIO


def open_text(path):
    with open(path, "rb") as f:
        compressed = f.read(2) == b"\x1f\x8b"
    return gzip.open(path, "rt") if compressed else open(path)


def pfam_name(path):
    fields = {}
    with open_text(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 3 and parts[0] == "#=GF" and parts[1] in ("AC", "ID"):
                fields.setdefault(parts[1], parts[2])
    return fields["AC"].split(".")[0] + "_" + fields["ID"]


def main():
    fmt, name, path, out = sys.argv[1:]
    try:
        with open_text(path) as f:
            alignment = AlignIO.read(f, fmt)
    except (OSError, ValueError) as e:
        sys.exit("%s: %s: %s" % (sys.argv[0], path, e))
    name = name or pfam_name(path)
    rows, used = [], set()
    for record in alignment:
        base = record.id.split()[0].replace(";", "_") or "seq"
        label, k = base, 1
        while label in used:
            k += 1
            label = "%s_%d" % (base, k)
        used.add(label)
        rows.append((label, str(record.seq).replace(".", "-").replace("~", "-")))
    if len(rows) < 4:
        print("%s: %s: skipped, %d records" % (sys.argv[0], path, len(rows)), file=sys.stderr)
        return
    if len({len(r) for _, r in rows}) != 1:
        sys.exit("%s: %s: rows of unequal length" % (sys.argv[0], path))
    if any(not r.replace("-", "") for _, r in rows):
        sys.exit("%s: %s: a record without residues" % (sys.argv[0], path))
    for suffix, strip in ((".ref.fasta", False), (".fasta", True)):
        with open(os.path.join(out, name + suffix), "w") as f:
            for label, row in rows:
                f.write(">%s\n%s\n" % (label, row.replace("-", "") if strip else row))


if __name__ == "__main__":
    main()
