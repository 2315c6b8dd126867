"""The workflow's helpers alone: finding data sets, the job wrapper's
outcome and folder handling, the summary and the MultiQC table of failed and
missing outcomes, and the job sizes.
    python3 workflow_scripts_test.py REPOSITORY
"""

import json
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(sys.argv.pop(1), "workflow", "scripts"))
import advise_one  # noqa: E402
import data_sets  # noqa: E402
import job_sizes  # noqa: E402
import multiqc_table  # noqa: E402
import summary  # noqa: E402


def write(path, text=">a\nMKV\n>b\nMKL\n"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


class DataSetsTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.d = self.dir.name

    def tearDown(self):
        self.dir.cleanup()

    def test_pairs_data_sets_with_references_and_skips_the_rest(self):
        for f in ["a.fasta", "a.ref.fasta", "b.TFA", "b.msf", "c.faa", ".hidden.fa", "notes.txt",
                  "orphan.ref.fa"]:
            write(os.path.join(self.d, f))
        os.mkdir(os.path.join(self.d, "folder.fasta"))
        found = data_sets.find_data_sets(self.d)
        self.assertEqual(sorted(found), ["a", "b", "c"])
        self.assertEqual(found["a"][1], os.path.join(self.d, "a.ref.fasta"))
        self.assertEqual(found["b"][1], os.path.join(self.d, "b.msf"))
        self.assertIsNone(found["c"][1])

    def test_refuses_ambiguous_names(self):
        for files, message in [(["x.fa", "x.fasta"], "two data sets named 'x'"),
                               (["x.fa", "x.msf", "x.ref.fa"], "two references named 'x'"),
                               (["x\ty.fa"], "tab or a line end")]:
            with tempfile.TemporaryDirectory() as d:
                for f in files:
                    write(os.path.join(d, f))
                with self.assertRaisesRegex(data_sets.DataSetError, message):
                    data_sets.find_data_sets(d)
        with self.assertRaisesRegex(data_sets.DataSetError, "cannot read"):
            data_sets.find_data_sets(os.path.join(self.d, "missing"))


class AdviseOneTest(unittest.TestCase):
    def test_clears_the_folder_but_the_log_and_records_a_failure(self):
        with tempfile.TemporaryDirectory() as d:
            out = os.path.join(d, "NAME")
            write(os.path.join(out, "best.fasta"))
            write(os.path.join(out, "alignments", "1-MAFFT.fasta"))
            write(os.path.join(out, "workflow.log"), "kept")
            outcome = os.path.join(out, "outcome.json")
            script = "import sys; sys.stderr.write('alnadvise: first\\nalnadvise: the reason\\n'); " \
                     "sys.exit(2)"
            status = advise_one.run(out, outcome, [sys.executable, "-c", script])
            self.assertEqual(status, 2)
            self.assertEqual(sorted(os.listdir(out)), ["outcome.json", "workflow.log"])
            record = json.load(open(outcome))
            self.assertEqual((record["status"], record["exitStatus"], record["reason"]),
                             ("failed", 2, "the reason"))
            status = advise_one.run(out, outcome, [os.path.join(d, "none")])
            self.assertEqual(status, 127)
            self.assertIn("cannot run", json.load(open(outcome))["reason"])
            self.assertEqual(advise_one.run(out, outcome, ["true"]), 0)
            self.assertEqual(json.load(open(outcome))["status"], "done")


class SummaryTest(unittest.TestCase):
    def test_missing_failed_and_inconsistent_outcomes(self):
        with tempfile.TemporaryDirectory() as d:
            self.assertEqual(summary.summarise("x", os.path.join(d, "x"))["status"], "not run")
            write(os.path.join(d, "y", "outcome.json"),
                  json.dumps({"status": "failed", "reason": "every run\tfailed", "seconds": 1.5}))
            line = summary.summarise("y", os.path.join(d, "y"))
            self.assertEqual((line["status"], line["reason"], line["seconds"], line["aligner"]),
                             ("failed", "every run failed", "1.50", "NA"))
            write(os.path.join(d, "z", "outcome.json"), json.dumps({"status": "done"}))
            write(os.path.join(d, "z", "report.json"), json.dumps({"best": None}))
            self.assertEqual(summary.summarise("z", os.path.join(d, "z"))["status"], "failed")


def candidate(id, aligner, options, seconds, **scores):
    entry = {"id": id, "aligner": aligner, "options": options, "seconds": seconds,
             "status": "done", "Q": None, "predictedQ": None, "agreement": None}
    entry.update(scores)
    return entry


def advised(folder, best, candidates, status="done", reason=""):
    write(os.path.join(folder, "outcome.json"),
          json.dumps({"status": status, "reason": reason, "seconds": 4.25}))
    write(os.path.join(folder, "report.json"),
          json.dumps({"dataSet": {"sequences": 3}, "best": {"id": best},
                      "candidates": candidates}))


class MultiqcTableTest(unittest.TestCase):
    def test_rows_of_done_failed_and_missing_data_sets(self):
        auto = candidate(1, "MAFFT", "--auto", 0.5, Q=0.75)
        with tempfile.TemporaryDirectory() as d:
            advised(os.path.join(d, "ref"), 9,
                     [auto, candidate(9, "KALIGN", "--type  divergent", 0.25, Q=0.875)])
            advised(os.path.join(d, "noref"), 2,
                     [candidate(1, "MAFFT", "--auto", 0.5, predictedQ=0.5),
                      candidate(2, "MUSCLE", "", 0.125, predictedQ=0.75, agreement=0.5)])
            # A failed advice beside a report with scores: none of them shows.
            advised(os.path.join(d, "failed"), 9, [auto], status="failed",
                    reason="not a residue\tletter")
            # No MAFFT among the aligners: no --auto figures, no gain.
            advised(os.path.join(d, "nomafft"), 4, [candidate(4, "KALIGN", "", 0.25, Q=0.5)])
            path = multiqc_table.write_table(d, ["ref", "noref", "failed", "nomafft", "missing"])
            self.assertEqual(path, os.path.join(d, "summary_mqc.json"))
            with open(path) as f:
                document = json.load(f)
            self.assertEqual((document["id"], document["plot_type"]),
                             ("alignment_advice", "table"))
            self.assertIn("3 of 5 data sets advised", document["description"])
            rows = document["data"]
            self.assertEqual(list(rows), ["failed", "missing", "nomafft", "noref", "ref"])
            self.assertEqual(rows["ref"], {
                "status": "done", "configuration": "KALIGN --type divergent", "Q": 0.875,
                "seconds": 0.25, "auto_Q": 0.75, "auto_seconds": 0.5, "gain": 0.125,
                "advice_seconds": 4.25})
            # Without a reference the gain is in predicted Q, the score ranked by.
            self.assertEqual((rows["noref"]["configuration"], rows["noref"]["predicted_Q"],
                              rows["noref"]["gain"], rows["noref"]["agreement"]),
                             ("MUSCLE (its defaults)", 0.75, 0.25, 0.5))
            self.assertEqual(rows["failed"], {"status": "failed", "advice_seconds": 4.25,
                                              "reason": "not a residue letter"})
            self.assertEqual(rows["missing"], {"status": "not run"})
            self.assertNotIn("auto_Q", rows["nomafft"])
            self.assertNotIn("gain", rows["nomafft"])
            headers = document["headers"]
            self.assertTrue(all("title" in h and "description" in h for h in headers.values()))
            self.assertNotIn("auto_agreement", headers)  # no data set has it
            self.assertEqual(headers["Q"]["format"], "{:,.3f}")

    def test_failures_to_write_and_to_run_multiqc_are_raised(self):
        with tempfile.TemporaryDirectory() as d:
            write(os.path.join(d, "file"))
            with self.assertRaises(OSError):
                multiqc_table.write_table(os.path.join(d, "file"), ["x"])
            multiqc_table.write_table(d, ["x"])
            with self.assertRaisesRegex(RuntimeError, "cannot run"):
                multiqc_table.run_multiqc(d, os.path.join(d, "none"))
            # Success without a page (an earlier one is removed first) is a failure.
            write(os.path.join(d, "multiqc", "multiqc_report.html"), "old")
            with self.assertRaisesRegex(RuntimeError, "failed to write"):
                multiqc_table.run_multiqc(d, "true")
            with self.assertRaisesRegex(RuntimeError, r"exit status 1\): oops"):
                multiqc_table.run_multiqc(d, write_program(d, "echo oops; exit 1"))


def write_program(folder, body):
    path = os.path.join(folder, "program")
    write(path, "#!/bin/sh\n" + body + "\n")
    os.chmod(path, 0o755)
    return path


class JobSizesTest(unittest.TestCase):
    def test_grows_with_the_data_set_threads_and_attempts(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "s.fasta")
            write(path, ">a\nMKV\nLLA\n>b\nMK\n\n>c\n")
            self.assertEqual(job_sizes.measure(path), (3, 6))
            self.assertEqual(job_sizes.measure(os.path.join(d, "none")), (0, 0))
        small, large = (8, 250), (200, 1000)
        self.assertLess(job_sizes.mem_mb(*small), job_sizes.mem_mb(*large))
        self.assertLess(job_sizes.mem_mb(*large), job_sizes.mem_mb(*large, threads=4))
        self.assertEqual(job_sizes.runtime_minutes(*small), job_sizes.MIN_MINUTES)
        self.assertLess(job_sizes.runtime_minutes(*small), job_sizes.runtime_minutes(*large))
        self.assertEqual(job_sizes.runtime_minutes(*large, attempt=2),
                         2 * job_sizes.runtime_minutes(*large))


if __name__ == "__main__":
    unittest.main()
