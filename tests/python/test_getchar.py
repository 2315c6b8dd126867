# The Python module against the programs it stands beside: the same numbers
# and the same messages, no state left between calls, nothing left behind.
# Run by ctest (tests/CMakeLists.txt) with the built module on PYTHONPATH and
# GETCHAR_BUILD naming the build folder.
import glob
import json
import os
import random
import signal
import statistics
import subprocess
import sys
import threading
import time

import pytest

import getchar

BUILD = os.environ["GETCHAR_BUILD"]
EXAMPLES = "/usr/share/doc/kalign/examples"
DATA = EXAMPLES + "/BB11001.tfa"
REF = EXAMPLES + "/BB11001.msf"
FAST = ["kalign", "mafft"]


def run(program, *args, cwd=None):
    return subprocess.run([os.path.join(BUILD, program), *args], capture_output=True, text=True,
                          cwd=cwd)


def run_folders():
    return glob.glob("/tmp/fasta%d*" % os.getpid())


def read_fasta(path):
    records, name = {}, None
    for line in open(path):
        line = line.strip()
        if line.startswith(">"):
            name = line[1:]
            records[name] = ""
        elif name is not None:
            records[name] += line
    return records


@pytest.fixture(autouse=True)
def in_empty_folder(tmp_path, monkeypatch):
    """Each test in a fresh working folder, which must stay empty."""
    work = tmp_path / "work"
    work.mkdir()
    monkeypatch.chdir(work)
    yield tmp_path
    assert os.listdir(work) == []
    assert run_folders() == []


def test_features_are_the_core_ones_in_order(tmp_path):
    f = getchar.features(DATA)
    assert list(f) == list(getchar.FEATURES)
    seqs = list(read_fasta(DATA).values())
    lengths = [len(s) for s in seqs]
    groups = ["RHK", "DE", "STNQ", "CUGP", "AVILMFYW"]
    expected = [len(seqs), statistics.mean(lengths), statistics.pstdev(lengths), 0, 0] + [
        sum(c in g for s in seqs for c in s) / len(seqs) for g in groups]
    assert list(f.values()) == pytest.approx(expected)
    # The very numbers alnadvise reports for the data set.
    out = tmp_path / "cli"
    assert run("alnadvise", "-q", "--no-merge", "--aligners", "kalign", "-o", str(out),
               DATA).returncode == 0
    assert json.load(open(out / "report.json"))["dataSet"]["features"] == list(f.values())


def test_score_is_alnscore_s(tmp_path):
    advice = getchar.advise(DATA, out=str(tmp_path / "a"), aligners=["kalign"], budget=0)
    test = str(tmp_path / "a" / "best.fasta")
    s = getchar.score(test, REF)
    assert list(s) == ["Q", "TC"]
    cli = run("alnscore", "-test", test, "-ref", REF, "-quiet")
    assert cli.returncode == 0
    fields = dict(kv.split("=") for kv in cli.stdout.strip().split(";")[2:])
    assert "%.3g" % s["Q"] == fields["Q"] and "%.3g" % s["TC"] == fields["TC"]
    assert getchar.score(REF, REF) == {"Q": 1.0, "TC": 1.0}
    assert advice["candidates"][0]["Q"] is None  # agreement mode: no Q in the report


def test_agreement_in_the_order_given(tmp_path):
    out = tmp_path / "cli"
    assert run("alnadvise", "-q", "--no-merge", "--estimator", "agreement", "--budget", "0",
               "--aligners", ",".join(FAST), "-o", str(out), DATA).returncode == 0
    report = json.load(open(out / "report.json"))
    done = [c for c in report["candidates"] if c["file"]]
    paths = [str(out / c["file"]) for c in done]
    scores = getchar.agreement(paths)
    assert scores == pytest.approx([c["agreement"] for c in done], abs=5e-4)
    assert getchar.agreement(list(reversed(paths))) == pytest.approx(list(reversed(scores)))
    # An alignment that aligns no pair has no agreement of its own.
    lonely = tmp_path / "lonely.fasta"
    seqs = read_fasta(DATA)
    width = sum(len(s) for s in seqs.values())
    with open(lonely, "w") as f:
        at = 0
        for name, s in seqs.items():
            f.write(">%s\n%s\n" % (name, "-" * at + s + "-" * (width - at - len(s))))
            at += len(s)
    assert getchar.agreement([str(lonely), paths[0]]) == [None, 0.0]


def expect_same_message(call, cli, exception):
    result = cli()
    assert result.returncode != 0
    with pytest.raises(exception) as caught:
        call()
    program = os.path.basename(result.args[0])
    assert result.stderr.strip() == "%s: %s" % (program, caught.value)
    return caught.value


def test_errors_carry_the_command_lines_messages(tmp_path):
    bad = tmp_path / "bad.fasta"
    bad.write_text("not fasta\n>a\nACD\n")
    other = tmp_path / "other.fasta"
    other.write_text(">x\nACDEF\n>y\nACDEG\n")
    missing = str(tmp_path / "missing.fasta")
    e = expect_same_message(lambda: getchar.advise(missing),
                            lambda: run("alnadvise", missing), getchar.FileError)
    assert isinstance(e, OSError) and e.errno == 2
    expect_same_message(lambda: getchar.advise(str(bad)),
                        lambda: run("alnadvise", str(bad)), getchar.InputError)
    expect_same_message(lambda: getchar.advise(DATA, aligners=["kalign", "nosuch"]),
                        lambda: run("alnadvise", "--aligners", "kalign,nosuch", DATA),
                        getchar.InputError)
    expect_same_message(lambda: getchar.advise(DATA, ref=str(other)),
                        lambda: run("alnadvise", "--ref", str(other), DATA), getchar.InputError)
    expect_same_message(lambda: getchar.score(missing, REF),
                        lambda: run("alnscore", "-test", missing, "-ref", REF), getchar.FileError)
    expect_same_message(lambda: getchar.score(str(other), REF),
                        lambda: run("alnscore", "-test", str(other), "-ref", REF),
                        getchar.InputError)
    with pytest.raises(getchar.InputError, match="is not FASTA"):
        getchar.features(str(bad))
    with pytest.raises(ValueError):
        getchar.advise(DATA, budget=-1)
    with pytest.raises(getchar.InputError, match="unknown effort 'quick'"):
        getchar.advise(DATA, effort="quick")
    with pytest.raises(getchar.InputError, match="two alignments"):
        getchar.agreement([REF])
    with pytest.raises(getchar.InputError, match="other.fasta"):
        getchar.agreement([REF, str(other)])
    # A folder where the output folder should be.
    blocked = tmp_path / "file"
    blocked.write_text("")
    with pytest.raises(getchar.FileError, match="cannot create the output folder"):
        getchar.advise(DATA, out=str(blocked / "out"), aligners=FAST)


def test_advice_with_and_without_an_output_folder(tmp_path):
    out = tmp_path / "out"
    with_ref = getchar.advise(DATA, ref=REF, out=str(out), jobs=2, aligners=FAST, merge=True)
    assert with_ref == json.load(open(out / "report.json"))
    assert sorted(os.listdir(out)) == ["advise.log", "best.fasta", "report.json"]
    assert with_ref["mode"] == "reference" and with_ref["best"]["file"] == "best.fasta"
    assert {c["aligner"] for c in with_ref["candidates"]} <= {"KALIGN", "MAFFT", "MERGE"}
    best = read_fasta(out / "best.fasta")
    assert {n: s.replace("-", "") for n, s in best.items()} == read_fasta(DATA)
    # The chosen alignment's column confidence, calibrated, one value a column.
    confidence = with_ref["confidence"]
    assert confidence["known"] and confidence["calibrated"]
    assert len(confidence["columns"]) == len(next(iter(best.values())))
    assert all(v is None or 0 <= v <= 1 for v in confidence["columns"])
    # Without a folder nothing is written; a second call is as independent
    # of the first as a second process would be.
    first = getchar.advise(DATA, aligners=["kalign"], budget=0)
    other = getchar.advise(DATA, aligners=["mafft"], budget=0)
    again = getchar.advise(DATA, aligners=["kalign"], budget=0)

    def plan(r):
        return [(c["aligner"], c["options"], c["status"], c["agreement"]) for c in r["candidates"]]

    assert plan(first) == plan(again)
    assert {c["aligner"] for c in other["candidates"]} == {"MAFFT"}  # no merge unless asked
    assert next(c for c in other["candidates"] if c["id"] == 1)["options"] == "--auto"
    assert first["mode"] == "agreement" and first["reference"] is None


def test_every_run_failed_is_an_error_with_the_report(tmp_path, monkeypatch):
    tools = tmp_path / "tools"
    (tools / "bin").mkdir(parents=True)
    (tools / "lib").mkdir()
    failing = tools / "bin" / "kalign2"
    failing.write_text("#!/bin/sh\nexit 1\n")
    failing.chmod(0o755)
    monkeypatch.setenv("GETCHAR_TOOLS_DIR", str(tools))
    with pytest.raises(getchar.RunError, match="every run failed") as caught:
        getchar.advise(DATA, aligners=["kalign"], budget=0)
    assert caught.value.report["best"] is None
    assert all(c["status"].startswith("failed") for c in caught.value.report["candidates"])


def test_signal_handlers_come_back_and_the_gil_is_released():
    seen = []
    worker = threading.Thread(target=lambda: seen.append(
        getchar.advise(DATA, aligners=["dialign-tx", "mafft"], budget=0, jobs=1)))
    worker.start()
    while worker.is_alive() and not run_folders():
        time.sleep(0.005)
    # Python ran while the advice worked: its run folder was seen.
    assert run_folders() and worker.is_alive()
    worker.join()
    assert seen and seen[0]["best"]
    # Python's own SIGINT handler is back.
    with pytest.raises(KeyboardInterrupt):
        os.kill(os.getpid(), signal.SIGINT)
        time.sleep(1)


@pytest.mark.parametrize("command,told", [
    (["-c", "import getchar, sys; getchar.advise(sys.argv[1], "
            "aligners=['dialign-tx'], budget=0, jobs=1)"],
     "KeyboardInterrupt: interrupted; runs stopped"),
    (["-m", "getchar", "advise", "--aligners", "dialign-tx", "--budget", "0", "--jobs", "1"],
     "getchar: interrupted; runs stopped")])
def test_ctrl_c_stops_the_runs(tmp_path, command, told):
    rng = random.Random(7)
    family = tmp_path / "family.fasta"
    base = "".join(rng.choice("ACDEFGHIKLMNPQRSTVWY") for _ in range(400))
    with open(family, "w") as f:
        for i in range(40):
            s = "".join(c if rng.random() > 0.3 else rng.choice("ACDEFGHIKLMNPQRSTVWY") for c in base)
            f.write(">s%d\n%s\n" % (i, s))
    child = subprocess.Popen([sys.executable] + command + [str(family)],
                             stderr=subprocess.PIPE, text=True)
    pattern = "/tmp/fasta%d*" % child.pid
    while child.poll() is None and not glob.glob(pattern + "/input.fasta"):
        time.sleep(0.01)
    folder = glob.glob(pattern)[0]

    def at_work():  # the aligners read the run folder's copy of the family
        return subprocess.run(["pgrep", "-f", folder], capture_output=True, text=True).stdout

    while child.poll() is None and not at_work():
        time.sleep(0.05)
    assert at_work(), "no aligner seen at work in " + folder
    child.send_signal(signal.SIGINT)
    _, err = child.communicate(timeout=60)
    assert child.returncode != 0
    assert told in err
    assert glob.glob(pattern) == []
    assert at_work() == ""


def test_another_python_is_told_which_one_the_module_is_for(tmp_path):
    """The package's __init__.py, without the compiled _getchar beside it
    (as another python3 of another version sees it), names the Python the
    module was built for."""
    assert getchar._getchar.__file__.endswith(".so")
    source = open(os.path.join(BUILD, "python", "getchar", "__init__.py")).read()
    major, minor = sys.version_info[:2]
    for built_for, message in [
            ((major, minor), "getchar: the compiled module is missing beside"),
            ((2, 7), "getchar was built for Python 2.7 (/usr/bin/python3); this is Python "
                     "%d.%d (%s): run it with /usr/bin/python3" % (major, minor, sys.executable))]:
        folder = tmp_path / ("%d%d" % built_for)
        (folder / "getchar").mkdir(parents=True)
        (folder / "getchar" / "__init__.py").write_text(
            source.replace("_BUILT_FOR = (%d, %d)" % (major, minor), "_BUILT_FOR = %r" % (built_for,)))
        done = subprocess.run([sys.executable, "-c", "import getchar"], capture_output=True,
                              text=True, env=dict(os.environ, PYTHONPATH=str(folder)))
        assert done.returncode == 1
        assert "ImportError: " + message in done.stderr, done.stderr
