"""results/summary.tsv and results/summary.svg: one line per data set, from
what its job left in results/NAME/ (outcome.json from advise_one.py, the
advisor's report.json), and a plot of the chosen aligners and scores.

Status per data set: "done"; "failed" with the reason; "not run" when there
is no outcome (not reached yet, or the job was killed before it could write
one: see NAME/workflow.log). Only "done" lines carry a chosen configuration
and scores.
"""

import json
import os
import subprocess
import tempfile

COLUMNS = ["data_set", "sequences", "aligner", "options", "Q", "TC", "agreement",
           "seconds", "status", "reason", "report"]

# One colour per aligner in the plot, the merge last.
COLOURS = {"CLUSTALW": "#1b9e77", "DIALIGNTX": "#d95f02", "KALIGN": "#7570b3",
           "MAFFT": "#e7298a", "MUSCLE": "#66a61e", "MERGE": "#e6ab02"}


def read_json(path):
    """The JSON of a file, or None when it is missing or unreadable."""
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def _number(value, decimals):
    return "NA" if value is None else f"{value:.{decimals}f}"


def _one_line(text):
    return " ".join(str(text).split()) or "NA"


def summarise(name, folder):
    """The summary fields of one data set, as a dict of COLUMNS."""
    line = dict.fromkeys(COLUMNS, "NA")
    line["data_set"] = name
    outcome = read_json(os.path.join(folder, "outcome.json"))
    if outcome is None:
        line["status"] = "not run"
        return line
    line["seconds"] = _number(outcome.get("seconds"), 2)
    report = read_json(os.path.join(folder, "report.json")) or {}
    sequences = report.get("dataSet", {}).get("sequences")
    line["sequences"] = "NA" if sequences is None else str(sequences)
    if os.path.exists(os.path.join(folder, "report.html")):
        line["report"] = f"{name}/report.html"
    if outcome.get("status") != "done":
        line["status"] = "failed"
        line["reason"] = _one_line(outcome.get("reason") or "no reason recorded")
        return line
    best = report.get("best") or {}
    chosen = [c for c in report.get("candidates", []) if c.get("id") == best.get("id")]
    if not chosen:
        line["status"] = "failed"
        line["reason"] = "report.json names no best candidate"
        return line
    c = chosen[0]
    line.update(aligner=c.get("aligner", "NA"), options=_one_line(c.get("options", "")),
                Q=_number(c.get("Q"), 3), TC=_number(c.get("TC"), 3),
                agreement=_number(c.get("agreement"), 3), status="done")
    return line


def write_atomically(path, data, mode="w"):
    folder = os.path.dirname(path) or "."
    fd, tmp = tempfile.mkstemp(prefix=".summary.", dir=folder)
    try:
        with os.fdopen(fd, mode) as f:
            f.write(data)
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def tsv(lines):
    rows = ["\t".join(COLUMNS)] + ["\t".join(line[c] for c in COLUMNS) for line in lines]
    return "\n".join(rows) + "\n"


def gnuplot_script(lines, title):
    """A gnuplot script drawing the summary; its data inline."""
    done = [l for l in lines if l["status"] == "done"]
    counts = {}
    for l in done:
        counts[l["aligner"]] = counts.get(l["aligner"], 0) + 1
    out = ["set terminal svg size 1000,440 dynamic background rgb 'white' font 'sans,11'",
           "set multiplot layout 1,2 title " + json.dumps(title)]
    if not done:
        out += ["unset border; unset tics; unset key",
                "set label 1 'no data set was advised' at graph 0.5,0.5 center",
                "plot [0:1][0:1] 1/0 notitle", "plot [0:1][0:1] 1/0 notitle",
                "unset multiplot"]
        return "\n".join(out) + "\n"
    aligners = sorted(counts, key=lambda a: (a == "MERGE", a))
    out.append("$counts << EOD")
    out += [f"{a} {counts[a]} 0x{COLOURS.get(a, '#555555')[1:]}" for a in aligners]
    out += ["EOD",
            "set title 'chosen configurations by aligner'",
            "set style fill solid 0.8 border -1; set boxwidth 0.6; set yrange [0:*]",
            f"set xrange [-0.6:{len(aligners) - 0.4}]",
            "set ylabel 'data sets'; unset key; set xtics nomirror; set grid ytics",
            "plot $counts using 0:2:3:xtic(1) with boxes lc rgb variable"]
    out += ["set title 'score of the chosen alignment'", "set xrange [*:*]", "set logscale x",
            "set xlabel 'sequences'; set ylabel 'Q (with a reference) or agreement'",
            "set yrange [0:1.05]; set xtics auto; set grid xtics ytics",
            "set key outside right top box"]
    series = []
    for a in aligners:
        for kind, column, point in (("Q", "Q", 7), ("agreement", "agreement", 6)):
            points = [f"{l['sequences']} {l[column]}" for l in done
                      if l["aligner"] == a and l[column] != "NA" and l["sequences"] != "NA"
                      and (kind == "agreement" or l["Q"] != "NA")
                      and (kind == "Q" or l["Q"] == "NA")]
            if not points:
                continue
            block = f"${a.lower()}_{kind.lower()}"
            out += [f"{block} << EOD"] + points + ["EOD"]
            series.append(f"{block} using 1:2 with points pt {point} ps 1.2 "
                          f"lc rgb '{COLOURS.get(a, '#555555')}' "
                          f"title '{a} {kind} ({len(points)})'")
    out.append("plot " + ", \\\n     ".join(series) if series else "plot 1/0 notitle")
    out.append("unset multiplot")
    return "\n".join(out) + "\n"


def write_summary(results, data_sets, gnuplot="gnuplot"):
    """Writes results/summary.tsv and results/summary.svg for the named data
    sets; returns the lines. Raises
    RuntimeError when gnuplot fails (the TSV is written first)."""
    os.makedirs(results, exist_ok=True)
    lines = [summarise(name, os.path.join(results, name)) for name in sorted(data_sets)]
    write_atomically(os.path.join(results, "summary.tsv"), tsv(lines))
    done = sum(l["status"] == "done" for l in lines)
    title = f"{done} of {len(lines)} data sets advised"
    svg = os.path.join(results, "summary.svg")
    try:
        process = subprocess.run([gnuplot], input=gnuplot_script(lines, title).encode(),
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    except OSError as e:
        raise RuntimeError(f"cannot run '{gnuplot}' for {svg}: {e.strerror}")
    if process.returncode != 0 or not process.stdout:
        raise RuntimeError(f"{gnuplot} failed to draw {svg}: "
                           + process.stderr.decode("utf-8", "replace").strip())
    write_atomically(svg, process.stdout, "wb")
    return lines
