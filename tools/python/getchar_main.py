"""python3 -m getchar: the module's features and advice from the command line.

  python3 -m getchar features FASTA
  python3 -m getchar advise FASTA [--aligners A,B] [--effort E] [--budget S] [--jobs N] [--out DIR]
"""
import argparse
import sys

import getchar


def print_features(args):
    for name, value in getchar.features(args.fasta).items():
        print("%s\t%s" % (name, value))


def print_advice(args):
    aligners = args.aligners.split(",") if args.aligners else None
    report = getchar.advise(args.fasta, out=args.out, jobs=args.jobs, budget=args.budget,
                            aligners=aligners, effort=args.effort)
    best = next(c for c in report["candidates"] if c["id"] == report["best"]["id"])
    print("best\t%s %s" % (best["aligner"], best["options"]) if best["options"]
          else "best\t%s" % best["aligner"])
    for key in ("Q", "agreement", "predictedQ"):
        if best[key] is not None:
            print("%s\t%s" % (key, best[key]))
    if args.out:
        print("alignment\t%s/best.fasta" % args.out)


def parser():
    p = argparse.ArgumentParser(prog="python3 -m getchar",
                                description="getChar's features and advice for a protein FASTA file.")
    p.add_argument("--version", action="version", version="getchar " + getchar.__version__)
    commands = p.add_subparsers(dest="command", required=True)
    f = commands.add_parser("features", help="print the ten features of a data set")
    f.add_argument("fasta")
    f.set_defaults(run=print_features)
    a = commands.add_parser("advise", help="run the advice and print the best configuration")
    a.add_argument("fasta")
    a.add_argument("--aligners", help="comma-separated aligners to choose from (default: all)")
    a.add_argument("--effort", default="default", help="fast, default or thorough")
    a.add_argument("--budget", type=float, help="seconds the runs may take")
    a.add_argument("--jobs", type=int, help="runs at once (default: the cores)")
    a.add_argument("--out", help="folder that receives best.fasta, report.json and advise.log")
    a.set_defaults(run=print_advice)
    return p


def main(argv=None):
    args = parser().parse_args(argv)
    try:
        args.run(args)
    except getchar.Error as e:
        print("getchar: %s" % e, file=sys.stderr)
        return 1
    except KeyboardInterrupt as e:  # the runs are already stopped and cleaned
        print("getchar: %s" % (e or "interrupted"), file=sys.stderr)
        return 130
    return 0


if __name__ == "__main__":
    sys.exit(main())
