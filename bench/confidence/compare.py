#!/usr/bin/env python3
"""How well the advisor's column confidence tells right columns from wrong
ones, beside t_coffee's transitive consistency score (TCS) of the same
alignment.

  bench/confidence/compare.py OUT_DIR KIND=FOLDER [KIND=FOLDER ...]

OUT_DIR is bench/advise/effort.sh's output: OUT_DIR/KIND/NAME/advise-default
holds best.fasta and columns.tsv; FOLDER holds NAME.ref.fasta or NAME.msf.
Per column of best.fasta its truth is the share of its residue pairs that
the reference aligns too (residues in upper case in the reference only, as
Q counts them); columns with no such pair are left out. TCS comes from
`t_coffee -infile best.fasta -evaluate -output score_ascii` (its "cons"
line, digit d read as d/10 + 0.05), kept as best.tcs_ascii beside it
(TCS=0 leaves it out: on thousands of sequences it takes hours). With
MUSCLE5 naming MUSCLE 5's program, also MUSCLE 5's confidence of the same
alignment from its stratified ensemble (`muscle -align -stratified
-replicates 2`: eight replicates, two per guide-tree permutation, one
thread; with -replicates 1 it writes one alignment only; then `-letterconf` of
best.fasta against it), per column the mean of its residues' letter
confidences (digit d read as d/10 + 0.05); kept as best.efa and best.lc;
and the mean of the two, as a stand-in for adding the ensemble's votes.

Per kind, for each score, over all columns and over the
columns that at least half the rows fill: Spearman's correlation with the
truth; ROC AUC for "column correct" (every pair right) and for "residue
pair correct" (each aligned pair scored by its column); the mean absolute
difference between score and truth, weighted by the column's pairs; and
the reliability curve (ten bins of score: mean score, mean truth, pairs)
and its distance from the diagonal ("curve": per bin |mean score - mean
truth|, averaged by the bins' pairs: the calibration error proper, where
the column's difference also counts how far single columns scatter).
"""
import os
import subprocess
import sys

import numpy as np
from Bio import AlignIO, SeqIO


def rows_of(path):
    records = list(SeqIO.parse(path, "fasta"))
    return [r.id for r in records], [str(r.seq) for r in records]


def reference(path):
    alignment = AlignIO.read(path, "msf" if path.endswith(".msf") else "fasta")
    return {r.id: str(r.seq) for r in alignment}


def truth(names, rows, ref):
    """Per column: (right pairs, counted pairs)."""
    where = {}
    for name in names:
        if name not in ref:  # a reference of some rows only: the others are not counted
            where[name] = []
            continue
        cols = []
        for c, ch in enumerate(ref[name]):
            if ch not in "-.":
                cols.append(c if ch.isupper() else None)
        where[name] = cols
    out = []
    residue = [0] * len(names)
    for c in range(len(rows[0])):
        placed = []
        for i, name in enumerate(names):
            if rows[i][c] in "-.":
                continue
            k = residue[i]
            residue[i] += 1
            if k < len(where[name]) and where[name][k] is not None:
                placed.append(where[name][k])
        groups = {}
        for p in placed:
            groups[p] = groups.get(p, 0) + 1
        out.append((sum(g * (g - 1) // 2 for g in groups.values()), len(placed) * (len(placed) - 1) // 2))
    return out


def confidence(path):
    values = []
    with open(path) as f:
        next(f)
        for line in f:
            v = line.rstrip("\n").split("\t")[2]
            values.append(np.nan if v == "NA" else float(v))
    return values


def fresh(cache, source):
    """Whether cache was made from source as it is now (not older than it)."""
    return os.path.exists(cache) and os.path.getmtime(cache) >= os.path.getmtime(source)


def tcs(best):
    out = best[: -len(".fasta")] + ".tcs_ascii"
    if not fresh(out, best):
        subprocess.run(["t_coffee", "-infile", best, "-evaluate", "-output", "score_ascii",
                        "-outfile", out + ".tmp", "-quiet"], cwd=os.path.dirname(best),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        os.rename(out + ".tmp", out)
    cons = ""
    with open(out) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 2 and parts[0] in ("con", "cons") and parts[1] != ":":
                cons += parts[1]
    return [int(ch) / 10 + 0.05 if ch.isdigit() else np.nan for ch in cons]


def muscle5(best, program):
    """Per column of best: MUSCLE 5's mean letter confidence, NaN at none."""
    efa, lc = best[: -len(".fasta")] + ".efa", best[: -len(".fasta")] + ".lc"
    names, rows = rows_of(best)
    if not fresh(efa, best):
        plain = best[: -len(".fasta")] + ".plain.fasta"
        with open(plain, "w") as f:
            for name, row in zip(names, rows):
                f.write(f">{name}\n{row.replace('-', '')}\n")
        subprocess.run([program, "-align", plain, "-stratified", "-replicates", "2", "-threads", "1",
                        "-output", efa + ".tmp"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        os.rename(efa + ".tmp", efa)
    if not fresh(lc, efa):
        subprocess.run([program, "-letterconf", efa, "-ref", best, "-output", lc + ".tmp"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        os.rename(lc + ".tmp", lc)
    letters = dict(zip(*rows_of(lc)))
    out = []
    for c in range(len(rows[0])):
        values = [int(letters[n][c]) / 10 + 0.05 for n in names if letters[n][c].isdigit()]
        out.append(sum(values) / len(values) if values else np.nan)
    return out


def ranks(values):
    order = np.argsort(values, kind="mergesort")
    r = np.empty(len(values))
    sorted_values = values[order]
    i = 0
    while i < len(values):
        j = i
        while j + 1 < len(values) and sorted_values[j + 1] == sorted_values[i]:
            j += 1
        r[order[i:j + 1]] = (i + j) / 2 + 1
        i = j + 1
    return r


def spearman(a, b):
    return float(np.corrcoef(ranks(a), ranks(b))[0, 1])


def auc(scores, positive, weights=None):
    """Probability that a positive outranks a negative (ties half), each
    item counted weights times."""
    if weights is None:
        weights = np.ones(len(scores))
    order = np.argsort(scores, kind="mergesort")
    s, p, w = scores[order], positive[order], weights[order]
    negatives_below = 0.0
    total = 0.0
    i = 0
    while i < len(s):
        j = i
        while j + 1 < len(s) and s[j + 1] == s[i]:
            j += 1
        pos = float(np.sum(w[i:j + 1] * p[i:j + 1]))
        neg = float(np.sum(w[i:j + 1] * (1 - p[i:j + 1])))
        total += pos * (negatives_below + neg / 2)
        negatives_below += neg
        i = j + 1
    all_pos = float(np.sum(w * p))
    all_neg = float(np.sum(w * (1 - p)))
    return total / (all_pos * all_neg) if all_pos and all_neg else float("nan")


def calibration_error(v, t, n):
    """The reliability curve's distance from the diagonal: per tenth of the
    score, |mean score - mean truth|, averaged over the bins by their pairs."""
    bins = np.minimum((v * 10).astype(int), 9)
    gap = 0.0
    for b in range(10):
        sel = bins == b
        if sel.any():
            gap += abs(np.average(v[sel], weights=n[sel]) - np.average(t[sel], weights=n[sel])) * n[sel].sum()
    return gap / n.sum()


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    for pair in sys.argv[2:]:
        kind, folder = pair.split("=", 1)
        score = {"confidence": []}
        with_tcs = os.environ.get("TCS", "1") != "0"
        if with_tcs:
            score["TCS"] = []
        program = os.environ.get("MUSCLE5")
        if program:
            score["MUSCLE 5"] = []
            score["mean of both"] = []  # would the ensemble help as more votes?
        right, pairs, filled = [], [], []
        for name in sorted(os.listdir(os.path.join(out_dir, kind))):
            advice = os.path.join(out_dir, kind, name, "advise-default")
            table = os.path.join(advice, "columns.tsv")
            if not os.path.exists(table):
                continue  # one alignment only: no confidence
            ref = os.path.join(folder, name + ".ref.fasta")
            if not os.path.exists(ref):
                ref = os.path.join(folder, name + ".msf")
            names, rows = rows_of(os.path.join(advice, "best.fasta"))
            mine = confidence(table)
            theirs = tcs(os.path.join(advice, "best.fasta")) if with_tcs else None
            ensemble = muscle5(os.path.join(advice, "best.fasta"), program) if program else None
            for c, (r, n) in enumerate(truth(names, rows, reference(ref))):
                if n == 0 or np.isnan(mine[c]):
                    continue
                score["confidence"].append(mine[c])
                if with_tcs:
                    score["TCS"].append(theirs[c] if c < len(theirs) else np.nan)
                if program:
                    score["MUSCLE 5"].append(ensemble[c])
                    score["mean of both"].append((mine[c] + ensemble[c]) / 2)
                right.append(r)
                pairs.append(n)
                filled.append(sum(row[c] not in "-." for row in rows) * 2 >= len(rows))
        right, pairs, filled = np.array(right, float), np.array(pairs, float), np.array(filled)
        share = right / pairs
        print(f"{kind}: {len(share)} columns with a counted pair, {int(pairs.sum())} pairs")
        print("  score         columns  Spearman  AUC column  AUC pair  |score - truth|  curve")
        for method, values in score.items():
            values = np.array(values, float)
            for subset, mask in (("all", np.ones(len(values), bool)), ("filled", filled)):
                m = mask & ~np.isnan(values)
                if m.sum() < 2:
                    continue
                v, t, n = values[m], share[m], pairs[m]
                # Each pair of a column: right ones are positives.
                pair_scores = np.concatenate([v, v])
                pair_positive = np.concatenate([np.ones(len(v)), np.zeros(len(v))])
                pair_weights = np.concatenate([right[m], n - right[m]])
                print(f"  {method:12}  {subset:6}  {spearman(v, t):8.3f}  {auc(v, (t == 1).astype(float)):10.3f}"
                      f"  {auc(pair_scores, pair_positive, pair_weights):8.3f}"
                      f"  {np.average(np.abs(v - t), weights=n):8.3f}  {calibration_error(v, t, n):8.3f}")
            v, m = np.array(values, float), ~np.isnan(np.array(values, float))
            bins = np.minimum((v[m] * 10).astype(int), 9)
            curve = []
            for b in range(10):
                sel = bins == b
                if sel.any():
                    curve.append(f"{np.average(v[m][sel], weights=pairs[m][sel]):.2f}:"
                                 f"{np.average(share[m][sel], weights=pairs[m][sel]):.2f}"
                                 f"({int(pairs[m][sel].sum())})")
            print(f"  {method} reliability (score:truth(pairs)): " + " ".join(curve))


if __name__ == "__main__":
    main()
