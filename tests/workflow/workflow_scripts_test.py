"""The workflow's helpers alone: finding data sets, the job wrapper's
outcome and folder handling, the summary of failed and missing outcomes, and
the job sizes.
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
