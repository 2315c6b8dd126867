#!/usr/bin/env python3
"""The consensus choice among the peers' alignments of bench/advise/effort.sh.

  bench/advise/consensus_choice.py ALNSCORE OUT_DIR KIND=FOLDER [KIND=FOLDER ...]

OUT_DIR is effort.sh's output: OUT_DIR/KIND/NAME/METHOD.fasta for MAFFT
--auto ("auto") and the peers; FOLDER holds NAME.ref.fasta or NAME.msf, as
given to effort.sh. Per data set, each alignment's consensus Q is the mean
over the other methods of its Q with their alignment as the reference (one
method, one vote: alnadvise's --estimator consensus among these); the
choice keeps --auto's alignment unless another's consensus Q beats it by
more than the margin. Prints per kind and margin the mean Q of the choice,
of --auto and of the best method per data set, and the data sets more than
0.02 below --auto. Every alignment is cut to the reference's rows first, as
the reference scores only those (large families: a few curated rows).
"""
import os
import statistics
import subprocess
import sys
import tempfile

MARGINS = (0, 0.01, 0.02, 0.03)


def read_fasta(path):
    names, rows = [], {}
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith(">"):
                names.append(line[1:].split()[0])
                rows[names[-1]] = []
            elif names:
                rows[names[-1]].append(line.strip())
    return names, {n: "".join(r) for n, r in rows.items()}


def reference_names(path):
    if path.endswith(".msf"):
        names = []
        with open(path) as f:
            for line in f:
                if line.strip().startswith("Name:"):
                    names.append(line.split()[1])
        return names
    return read_fasta(path)[0]


def cut(alignment, names, out):
    _, rows = read_fasta(alignment)
    kept = [rows[n] for n in names]
    columns = [c for c in range(len(kept[0])) if any(r[c] not in "-." for r in kept)]
    with open(out, "w") as f:
        for n, r in zip(names, kept):
            f.write(">" + n + "\n" + "".join(r[c] for c in columns) + "\n")


def q(alnscore, test, ref):
    r = subprocess.run([alnscore, "-test", test, "-ref", ref, "-quiet"],
                       capture_output=True, text=True)
    if r.returncode != 0:
        raise SystemExit(f"alnscore failed on {test} against {ref}: {r.stderr.strip()}")
    return float(r.stdout.split("Q=")[1].split(";")[0])


def data_set(alnscore, folder, ref, tmp):
    methods = sorted(f[:-6] for f in os.listdir(folder)
                     if f.endswith(".fasta") and os.path.getsize(os.path.join(folder, f)) > 0)
    if "auto" not in methods or len(methods) < 2:
        return None
    names = reference_names(ref)
    files = {}
    for m in methods:
        files[m] = os.path.join(tmp, m + ".fasta")
        cut(os.path.join(folder, m + ".fasta"), names, files[m])
    quality = {m: q(alnscore, os.path.join(folder, m + ".fasta"), ref) for m in methods}
    consensus = {a: statistics.mean(q(alnscore, files[a], files[b]) for b in methods if b != a)
                 for a in methods}
    return quality, consensus


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    alnscore, out = sys.argv[1], sys.argv[2]
    for pair in sys.argv[3:]:
        kind, refs = pair.split("=", 1)
        results = []
        for name in sorted(os.listdir(os.path.join(out, kind))):
            ref = os.path.join(refs, name + ".ref.fasta")
            if not os.path.exists(ref):
                ref = os.path.join(refs, name + ".msf")
            with tempfile.TemporaryDirectory() as tmp:
                r = data_set(alnscore, os.path.join(out, kind, name), ref, tmp)
            if r:
                results.append(r)
        if not results:
            continue
        methods = sorted(results[0][0])
        auto = statistics.mean(r[0]["auto"] for r in results)
        best = statistics.mean(max(r[0].values()) for r in results)
        print(f"{kind}: {len(results)} data sets; methods {', '.join(methods)}")
        print(f"  --auto {auto:.4f}, best per data set {best:.4f}")
        for margin in MARGINS:
            chosen = []
            for quality, consensus in results:
                top = max(consensus, key=consensus.get)
                pick = top if consensus[top] > consensus["auto"] + margin else "auto"
                chosen.append((quality[pick], quality["auto"]))
            below = sum(c < a - 0.02 for c, a in chosen)
            print(f"  margin {margin:.2f}: choice {statistics.mean(c for c, _ in chosen):.4f},"
                  f" {below} of {len(chosen)} more than 0.02 below --auto")


if __name__ == "__main__":
    main()
