"""results/summary_mqc.json: the advice of every data set as a MultiQC
custom-content table, so that `multiqc results/` (or the workflow with
--config multiqc=true) shows it beside the other reports of a project.

One row per data set: its status (as in summary.tsv: done, failed, not run),
the chosen configuration with its score and run time, and the same figures
for MAFFT --auto when it ran. The score is Q against the reference when the
data set has one; without one, the learnt estimator's predicted Q, or the
agreement when the advice ranked by agreement. A row that is not done holds
its status, the reason and nothing else: no score of an earlier run.
"""

import json
import os
import subprocess

import summary

TABLE_FILE = "summary_mqc.json"
TABLE_ID = "alignment_advice"

_SCORE = {"format": "{:,.3f}", "min": 0, "max": 1, "scale": "RdYlGn"}
_SECONDS = {"format": "{:,.2f}", "min": 0, "scale": "Blues", "suffix": " s"}

# Column id: its header. MultiQC keeps this order.
HEADERS = {
    "status": {"title": "Status", "description": "done, failed or not run (summary.tsv)",
               "scale": False},
    "configuration": {"title": "Chosen configuration",
                      "description": "Aligner and options of the best alignment (best.fasta)",
                      "scale": False},
    "Q": dict(_SCORE, title="Q", description="Q of the chosen alignment against the reference"),
    "predicted_Q": dict(_SCORE, title="Predicted Q",
                        description="The learnt estimator's Q of the chosen alignment "
                                    "(no reference)"),
    "agreement": dict(_SCORE, title="Agreement",
                      description="Agreement of the chosen alignment with the other "
                                  "candidates' (no reference)"),
    "seconds": dict(_SECONDS, title="Time",
                    description="Run time of the chosen configuration"),
    "auto_Q": dict(_SCORE, title="--auto Q", description="Q of MAFFT --auto's alignment"),
    "auto_predicted_Q": dict(_SCORE, title="--auto predicted Q",
                             description="The learnt estimator's Q of MAFFT --auto's alignment"),
    "auto_agreement": dict(_SCORE, title="--auto agreement",
                           description="Agreement of MAFFT --auto's alignment"),
    "auto_seconds": dict(_SECONDS, title="--auto time", description="Run time of MAFFT --auto"),
    "gain": {"title": "Gain over --auto", "format": "{:+,.3f}", "scale": "RdBu", "min": -0.2,
             "max": 0.2, "description": "Score of the chosen alignment minus MAFFT --auto's "
                                        "(the score the advice ranked by)"},
    "advice_seconds": dict(_SECONDS, title="Advice time",
                           description="Wall time of the whole advice of the data set"),
    "reason": {"title": "Reason", "description": "Why the advice failed", "scale": False},
}

# The score kinds, most telling first: the one a row's gain is taken in.
_KINDS = (("Q", "Q"), ("predicted_Q", "predictedQ"), ("agreement", "agreement"))


def _is_mafft_auto(candidate):
    return candidate.get("aligner") == "MAFFT" and candidate.get("options", "").split() == ["--auto"]


def _configuration(candidate):
    options = " ".join(str(candidate.get("options") or "").split()) or "(its defaults)"
    return f"{candidate.get('aligner', '?')} {options}"


def _in_column_order(result):
    return {column: result[column] for column in HEADERS if column in result}


def row(name, folder):
    """The table row of one data set: a dict of some of HEADERS' columns."""
    line = summary.summarise(name, folder)
    outcome = summary.read_json(os.path.join(folder, "outcome.json")) or {}
    result = {"status": line["status"]}
    if isinstance(outcome.get("seconds"), (int, float)):
        result["advice_seconds"] = round(outcome["seconds"], 3)
    if line["status"] != "done":
        if line["reason"] != "NA":
            result["reason"] = line["reason"]
        return _in_column_order(result)
    # summarise() has read report.json and found its best candidate.
    report = summary.read_json(os.path.join(folder, "report.json"))
    candidates = report.get("candidates", [])
    best = next(c for c in candidates if c.get("id") == report["best"]["id"])
    auto = next((c for c in candidates if _is_mafft_auto(c) and c.get("status") == "done"), None)
    result["configuration"] = _configuration(best)
    kind = None
    for column, key in _KINDS:
        if best.get(key) is not None:
            result[column] = best[key]
            kind = kind or (column, key)
    if best.get("seconds") is not None:
        result["seconds"] = best["seconds"]
    if auto:
        for column, key in _KINDS:
            if auto.get(key) is not None:
                result["auto_" + column] = auto[key]
        if auto.get("seconds") is not None:
            result["auto_seconds"] = auto["seconds"]
        if kind and auto.get(kind[1]) is not None:
            result["gain"] = best[kind[1]] - auto[kind[1]]
    return _in_column_order(result)


def table(results, data_sets):
    """The custom-content document for the named data sets under results/."""
    rows = {name: row(name, os.path.join(results, name)) for name in sorted(data_sets)}
    done = sum(r["status"] == "done" for r in rows.values())
    used = {column for r in rows.values() for column in r}
    # Columns no data set has (--auto's without MAFFT, agreement with a
    # reference) are left out rather than shown empty.
    headers = {c: dict(h) for c, h in HEADERS.items() if c in used or c in ("status", "reason")}
    return {
        "id": TABLE_ID,
        "section_name": "Alignment advice",
        "description": f"{done} of {len(rows)} data sets advised by alnadvise: the chosen "
                       "configuration of each against MAFFT --auto. Q is measured against "
                       "the data set's reference; without one the score is the learnt "
                       "estimator's predicted Q (or the agreement). Details: NAME/report.html.",
        "plot_type": "table",
        "pconfig": {"id": TABLE_ID, "title": "Alignment advice", "namespace": "alnadvise",
                    "col1_header": "Data set", "sortRows": False},
        "headers": headers,
        "data": rows,
    }


def write_table(results, data_sets):
    """Writes results/summary_mqc.json; returns its path."""
    os.makedirs(results, exist_ok=True)
    path = os.path.join(results, TABLE_FILE)
    summary.write_atomically(path, json.dumps(table(results, data_sets), indent=2) + "\n")
    return path


def run_multiqc(results, multiqc="multiqc"):
    """Runs MultiQC on the table into results/multiqc/; raises RuntimeError
    when it cannot run or fails."""
    out = os.path.join(results, "multiqc")
    report = os.path.join(out, "multiqc_report.html")
    if os.path.exists(report):
        os.remove(report)  # an earlier run's page never passes for this one's
    # The title as configuration: given as --title, it would rename the page.
    # --fullnames: MultiQC's cleaning of sample names would cut data set
    # names such as x_R1 and x_R2 to one row.
    command = [multiqc, "--force", "--quiet", "--fullnames", "--outdir", out, "--cl-config",
               "{no_version_check: true, title: Alignment advice}",
               os.path.join(results, TABLE_FILE)]
    try:
        process = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT)
    except OSError as e:
        raise RuntimeError(f"cannot run '{multiqc}' for {out}: {e.strerror}")
    if process.returncode != 0 or not os.path.isfile(report):
        said = process.stdout.decode("utf-8", "replace").strip().splitlines()[-5:]
        raise RuntimeError(f"{multiqc} failed to write {report} (exit status "
                           f"{process.returncode}): " + " / ".join(said))
    return report
