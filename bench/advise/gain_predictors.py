#!/usr/bin/env python3
"""Which predictor of a configuration's gain over MAFFT --auto earns its place.

  bench/advise/gain_predictors.py WORK [--folds 16]

WORK is an alntrain work folder (scripts/train-estimator's or
scripts/train-defaults'): WORK/training/runs.tsv and the data sets in
WORK/benchmark. Per data set and configuration the gain is its Q minus
--auto's, floored at -0.1 as data/gain-model.json does (a failed run counts
Q = 0). Each predictor is cross-validated by whole data sets (data set i,
in name order, in fold i mod FOLDS) and scored by the root mean square of
predicted minus true gain over every held-out pair:

  zero           no gain (--auto is always best)
  mean           each configuration's mean gain
  ridge          the shipped form: ridge regression on ln N, ln mean length
                 and the lengths' spread (penalty 1 per data set)
  ridge+identity the same with an identity estimate made before any run:
                 the mean identity of 30 sampled pairs of sequences,
                 globally aligned (BLOSUM62, gaps 10/0.5)
  nearest K      the mean gain on the K nearest training data sets (the
                 nearest references), on the four descriptors
  xgboost D      gradient-boosted trees of depth D (50 rounds, eta 0.1)

Needs numpy, Biopython and XGBoost (Debian: python3-numpy,
python3-biopython, python3-xgboost).
"""
import argparse
import csv
import itertools
import math
import random

import numpy as np
import xgboost
from Bio import SeqIO
from Bio.Align import PairwiseAligner, substitution_matrices

AUTO = "MAFFT --auto"
GAIN_FLOOR = -0.1
RIDGE = 1.0


def identity_estimate(sequences, pairs=30, seed=1):
    aligner = PairwiseAligner()
    aligner.substitution_matrix = substitution_matrices.load("BLOSUM62")
    aligner.open_gap_score, aligner.extend_gap_score = -10, -0.5
    all_pairs = list(itertools.combinations(range(len(sequences)), 2))
    random.Random(seed).shuffle(all_pairs)
    identities = []
    for i, j in all_pairs[:pairs]:
        a, b = sequences[i], sequences[j]
        best = aligner.align(a, b)[0]
        same = sum(x == y for (s1, e1), (s2, e2) in zip(*best.aligned)
                   for x, y in zip(a[s1:e1], b[s2:e2]))
        identities.append(same / min(len(a), len(b)))
    return float(np.mean(identities))


def descriptors(path):
    sequences = [str(r.seq).upper().replace("-", "") for r in SeqIO.parse(path, "fasta")]
    lengths = np.array([len(s) for s in sequences], dtype=float)
    mean = lengths.mean()
    return [math.log(len(sequences)), math.log(mean), lengths.std() / mean,
            identity_estimate(sequences)]


def read_gains(work):
    q = {}
    with open(f"{work}/training/runs.tsv") as f:
        for r in csv.DictReader(f, delimiter="\t"):
            label = (r["aligner"] + " " + r["options"]).strip()
            q[(r["data_set"], label)] = float(r["Q"]) if r["status"] == "done" else 0.0
    sets = sorted({s for s, _ in q if (s, AUTO) in q})
    labels = sorted({c for _, c in q if c != AUTO})
    gains = np.array([[max(GAIN_FLOOR, q.get((s, c), 0.0) - q[(s, AUTO)]) for c in labels]
                      for s in sets])
    return sets, labels, gains


def ridge(x_train, y_train, x_test):
    centre, scale = x_train.mean(0), x_train.std(0)
    scale[scale == 0] = 1
    z, z_test = (x_train - centre) / scale, (x_test - centre) / scale
    z_test = np.clip(z_test, z.min(0), z.max(0))  # the shipped model clamps to its range
    intercept = y_train.mean()
    a = z.T @ z + RIDGE * len(y_train) * np.eye(z.shape[1])
    return intercept + z_test @ np.linalg.solve(a, z.T @ (y_train - intercept))


def nearest(x_train, y_train, x_test, k):
    centre, scale = x_train.mean(0), x_train.std(0)
    z, z_test = (x_train - centre) / scale, (x_test - centre) / scale
    out = []
    for row in z_test:
        order = np.argsort(((z - row) ** 2).sum(1))
        out.append(y_train[order[:k]].mean())
    return np.array(out)


def boosted(x_train, y_train, x_test, depth):
    params = {"max_depth": depth, "eta": 0.1, "min_child_weight": 3, "verbosity": 0}
    booster = xgboost.train(params, xgboost.DMatrix(x_train, label=y_train), num_boost_round=50)
    return booster.predict(xgboost.DMatrix(x_test))


def held_out_error(predict, x, gains, folds):
    errors = []
    for fold in range(folds):
        test = [i for i in range(len(x)) if i % folds == fold]
        train = [i for i in range(len(x)) if i % folds != fold]
        if not test:
            continue
        for c in range(gains.shape[1]):
            errors.extend(predict(x[train], gains[train, c], x[test]) - gains[test, c])
    return math.sqrt(np.mean(np.square(errors)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("work")
    parser.add_argument("--folds", type=int, default=16)
    args = parser.parse_args()
    sets, labels, gains = read_gains(args.work)
    x = np.array([descriptors(f"{args.work}/benchmark/{s}.fasta") for s in sets])
    shipped, full = x[:, :3], x
    predictors = [
        ("zero", lambda xt, yt, xs: np.zeros(len(xs)), full),
        ("mean", lambda xt, yt, xs: np.full(len(xs), yt.mean()), full),
        ("ridge", ridge, shipped),
        ("ridge+identity", ridge, full),
    ]
    for k in (3, 5, 8):
        predictors.append((f"nearest {k}", lambda xt, yt, xs, k=k: nearest(xt, yt, xs, k), full))
    for depth in (1, 2):
        for name, columns in (("", shipped), ("+identity", full)):
            predictors.append((f"xgboost {depth}{name}",
                               lambda xt, yt, xs, d=depth: boosted(xt, yt, xs, d), columns))
    print(f"{len(sets)} data sets, {len(labels)} configurations, {args.folds} folds")
    print("predictor\theld-out RMS error of the gain")
    for name, predict, columns in predictors:
        print(f"{name}\t{held_out_error(predict, columns, gains, args.folds):.4f}")


if __name__ == "__main__":
    main()
