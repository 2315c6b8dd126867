#!/usr/bin/env python3
"""Trees from the advice, from its trimmed and masked forms, from a
TCS-filtered one and from mafft --auto's, against the true tree of
simulated families: which form of the alignment gives the better tree.

  bench/confidence/trees.py OUT_DIR KIND=FOLDER [KIND=FOLDER ...]

OUT_DIR is bench/advise/effort.sh's output, made with ADVISE_OPTIONS
"--output-format stockholm": OUT_DIR/KIND/NAME holds auto.fasta and
advise-default/ with best.sto and columns.tsv. FOLDER holds what
scripts/simulate-families wrote: NAME.tree (the true tree), NAME.ref.fasta
(the true alignment) and families.tsv.

Per family, the alignments:
  true         the true alignment (what no aligner can beat)
  auto         mafft --auto
  advice       best.fasta, as the advisor writes it
  trim-T       without the columns of confidence below T (as --trim T)
  mask-T       residues of confidence below T made gaps (as --mask T, with
               the lower-case residues read as missing data)
  tcs-filter   without the columns whose TCS (t_coffee -evaluate of
               best.fasta, cached as best.tcs_ascii) is below 5
Trees: FastTree -lg -gamma and IQ-TREE 2 -m LG+G4 -fast, one thread each,
two at a time; each is cached under OUT_DIR/KIND/NAME/trees. Where no
tree can be built (no column left, or IQ-TREE fails on rows left without a
residue), the star tree stands for it. The distance
is the normalised Robinson-Foulds distance between unrooted trees: the
splits in one tree and not in the other, over all 2(n - 3) splits.

It prints per kind and program the mean distance of each alignment over
all families, over the divergent ones (true identity below 0.4) and over
the families where every alignment gave a tree, and on how many families
it is below / above auto's; OUT_DIR/trees.tsv holds
every distance.
"""
import csv
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

from Bio import AlignIO, Phylo, SeqIO

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import confidence, tcs  # noqa: E402

THRESHOLDS = [float(t) for t in os.environ.get("THRESHOLDS", "0.3 0.5 0.7").split()]
MASKS = [float(t) for t in os.environ.get("MASKS", "0.3 0.5").split()]
DIVERGENT = 0.4


def read_fasta(path):
    return [(r.id, str(r.seq)) for r in SeqIO.parse(path, "fasta")]


def keep_columns(rows, keep):
    return [(name, "".join(ch for ch, k in zip(seq, keep) if k)) for name, seq in rows]


def pp_value(ch):
    """HMMER's posterior-probability character as a value; None at no pair."""
    if ch == "*":
        return 1.0
    return int(ch) / 10 if ch.isdigit() else None


def masked(sto, threshold):
    alignment = AlignIO.read(sto, "stockholm")
    out = []
    for record in alignment:
        pp = record.letter_annotations["posterior_probability"]
        seq = "".join(ch if ch in "-." or (pp_value(p) is not None and pp_value(p) >= threshold)
                      else "-" for ch, p in zip(str(record.seq), pp))
        out.append((record.id, seq))
    return out


def variants(work, ref):
    advice = os.path.join(work, "advise-default")
    best = read_fasta(os.path.join(advice, "best.fasta"))
    out = {"true": read_fasta(ref), "auto": read_fasta(os.path.join(work, "auto.fasta")),
           "advice": best}
    table = os.path.join(advice, "columns.tsv")
    if os.path.exists(table):  # one alignment only: no confidence to cut by
        values = confidence(table)
        for t in THRESHOLDS:
            out[f"trim-{t:g}"] = keep_columns(best, [v == v and v >= t for v in values])
        for t in MASKS:
            out[f"mask-{t:g}"] = masked(os.path.join(advice, "best.sto"), t)
    scores = tcs(os.path.join(advice, "best.fasta"))
    out["tcs-filter"] = keep_columns(best, [s == s and s >= 0.5 for s in scores])
    return out


def write_alignment(rows, folder, label):
    """Path of the alignment written for the trees; None without columns."""
    if not rows or not rows[0][1]:
        return None
    os.makedirs(folder, exist_ok=True)
    aln = os.path.join(folder, f"{label}.fasta")
    text = "".join(f">{name}\n{seq}\n" for name, seq in rows)
    if os.path.exists(aln) and open(aln).read() == text:
        return aln  # its cached trees are of this very alignment
    # A new advice in the same folder: no tree of the old one is kept.
    for program in ("fasttree", "iqtree"):
        for stale in (f"{label}.{program}.nwk", f"{label}.{program}.nwk.failed"):
            if os.path.exists(os.path.join(folder, stale)):
                os.remove(os.path.join(folder, stale))
    with open(aln + ".tmp", "w") as f:
        f.write(text)
    os.replace(aln + ".tmp", aln)
    return aln


def build_tree(program, aln, folder, label):
    """Path of the tree of the alignment by program, built once."""
    tree = os.path.join(folder, f"{label}.{program}.nwk")
    if os.path.exists(tree):
        return tree
    if os.path.exists(tree + ".failed"):
        return None
    if program == "fasttree":
        with open(tree + ".tmp", "w") as out:
            subprocess.run(["FastTree", "-lg", "-gamma", "-quiet", "-nopr", aln], stdout=out,
                           stderr=subprocess.DEVNULL, check=True)
    else:
        prefix = os.path.join(folder, f"{label}.iq")
        run = subprocess.run(["iqtree2", "-s", aln, "-m", "LG+G4", "-fast", "-T", "1", "-seed", "1",
                              "-quiet", "-redo", "--prefix", prefix], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        for suffix in (".iqtree", ".log", ".bionj", ".mldist", ".ckp.gz", ".uniqueseq.phy"):
            if os.path.exists(prefix + suffix):
                os.remove(prefix + suffix)
        if run.returncode != 0:  # e.g. rows left without a residue: no tree
            if os.path.exists(prefix + ".treefile"):
                os.remove(prefix + ".treefile")
            open(tree + ".failed", "w").close()
            return None
        os.replace(prefix + ".treefile", tree + ".tmp")
    os.replace(tree + ".tmp", tree)
    return tree


def splits(path):
    tree = Phylo.read(path, "newick")
    tips = sorted(t.name for t in tree.get_terminals())
    anchor = tips[0]
    out = set()
    for clade in tree.find_clades():
        below = frozenset(t.name for t in clade.get_terminals())
        if 1 < len(below) < len(tips) - 1:
            out.add(below if anchor not in below else frozenset(tips) - below)
    return tips, out


def normalised_rf(a, b):
    """The distance of tree file a (None: the star tree) to tree file b."""
    tips_b, sb = splits(b)
    tips_a, sa = splits(a) if a else (tips_b, set())
    assert tips_a == tips_b, (a, b)
    return len(sa ^ sb) / (2 * (len(tips_a) - 3)) if len(tips_a) > 3 else 0.0


def summarise(kind, table, failed, identity, programs):
    names = sorted({n for n, _, _ in table})
    labels = list(dict.fromkeys(label for _, label, _ in table))
    divergent = [n for n in names if identity[n] < DIVERGENT]
    print(f"{kind}: {len(names)} families, {len(divergent)} divergent (true identity below {DIVERGENT})")
    for program in programs:
        # The families where every alignment gave a tree: a paired comparison.
        common = [n for n in names if not any((n, label, program) in failed for label in labels)]
        print(f"  {program}: mean normalised RF, all / divergent / the {len(common)} families with"
              f" every tree; families below / above auto's")
        for label in labels:
            have = [n for n in names if (n, label, program) in table]
            mean = sum(table[(n, label, program)] for n in have) / len(have)
            div = [table[(n, label, program)] for n in divergent if n in have]
            mean_div = sum(div) / len(div) if div else float("nan")
            below = sum(table[(n, label, program)] < table[(n, "auto", program)] for n in have)
            above = sum(table[(n, label, program)] > table[(n, "auto", program)] for n in have)
            none = sum((n, label, program) in failed for n in have)
            missing = f"  ({none} without a tree: star tree)" if none else ""
            paired = sum(table[(n, label, program)] for n in common) / len(common) if common else float("nan")
            print(f"    {label:11} {mean:.3f} / {mean_div:.3f} / {paired:.3f}   {below:2} / {above:2}{missing}")


def main():
    if len(sys.argv) < 3 or sys.argv[1] in ("-h", "--help"):
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    rows_out = []
    programs = ("fasttree", "iqtree")
    pooled, pooled_failed, pooled_identity = {}, {}, {}
    for pair in sys.argv[2:]:
        kind, _, folder = pair.partition("=")
        for need in (os.path.join(folder, "families.tsv"), os.path.join(out_dir, kind)):
            if not os.path.exists(need):
                sys.exit(f"trees.py: no {need} (see --help)")
        identity = {r["name"]: float(r["identity"])
                    for r in csv.DictReader(open(os.path.join(folder, "families.tsv")), delimiter="\t")}
        jobs = []
        with ThreadPoolExecutor(max_workers=2) as pool:
            for name in sorted(os.listdir(os.path.join(out_dir, kind))):
                work = os.path.join(out_dir, kind, name)
                true_tree = os.path.join(folder, name + ".tree")
                if not os.path.exists(true_tree):
                    continue
                trees = os.path.join(work, "trees")
                for label, rows in variants(work, os.path.join(folder, name + ".ref.fasta")).items():
                    aln = write_alignment(rows, trees, label)
                    for program in programs:
                        jobs.append((name, label, program, true_tree,
                                     pool.submit(build_tree, program, aln, trees, label)
                                     if aln else None))
        table, failed = {}, {}
        for name, label, program, true_tree, future in jobs:
            tree = future.result() if future else None
            # Without a tree (no column left, or the program failed): a star
            # tree, which has none of the true splits.
            d = normalised_rf(tree, true_tree) if tree else normalised_rf(None, true_tree)
            if not tree:
                failed[(name, label, program)] = True
            table[(name, label, program)] = d
            rows_out.append((kind, name, identity[name], label, program, d))
        summarise(kind, table, failed, identity, programs)
        for key, d in table.items():
            pooled[(kind,) + key] = d
        for key in failed:
            pooled_failed[(kind,) + key] = True
        pooled_identity.update({(kind, n): v for n, v in identity.items()})
    if len(sys.argv) > 3:
        summarise("all kinds", {((k, n), l, p): d for (k, n, l, p), d in pooled.items()},
                  {((k, n), l, p): True for (k, n, l, p) in pooled_failed},
                  pooled_identity, programs)
    with open(os.path.join(out_dir, "trees.tsv"), "w") as f:
        f.write("kind\tdata_set\tidentity\talignment\tprogram\tnormalised_rf\n")
        for kind, name, ident, label, program, d in rows_out:
            f.write(f"{kind}\t{name}\t{ident}\t{label}\t{program}\t{d:.4f}\n")


if __name__ == "__main__":
    main()
