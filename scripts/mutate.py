#!/usr/bin/env python3
"""mutate.py [--build-dir DIR] [--jobs N] [--only NAME,...] LIST

Applies each one-token fault ("mutant") of LIST to the sources in turn,
rebuilds the test programs the line names, runs the tests it names, and
reports which mutants no test kills. A mutant is killed when a named test
fails or times out; a mutant that does not compile is counted apart.

LIST has one mutant a line, fields separated by " | ":
    name | file | text on the line | replacement | build targets | ctest regex
The text must occur exactly once in the file; "{newline}" in the text and the
replacement stands for a line break, for a line whose text alone is not
unique; "\\|" stands for a "|" where " | " would end the field. Blank lines
and lines starting with # are ignored.

--only NAME,NAME runs those mutants alone. --check builds nothing: it only
checks that every line still fits the tree (the text occurs once, the build
targets exist, the regex names at least one test of the configured build
directory), so that the list cannot go stale when code moves. The tree is restored after every
mutant, and also when the run is stopped (Ctrl-C, SIGTERM); a run killed
outright leaves a note in the build directory, and the next run restores the
file from it before anything else.
"""
import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def unescape(field):
    return field.replace("{newline}", "\n").replace("\\|", "|")


class Mutant:
    def __init__(self, line, number):
        fields = [field.strip() for field in line.split(" | ")]
        if len(fields) != 6:
            raise ValueError(f"line {number}: 6 fields separated by ' | ' expected")
        self.name, self.file, text, replacement, targets, self.tests = fields
        self.text = unescape(text)
        self.replacement = unescape(replacement)
        self.targets = targets.split()


def read_list(path):
    mutants = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.strip() and not line.lstrip().startswith("#"):
                mutants.append(Mutant(line, number))
    return mutants


class Restorer:
    """Keeps the original text of the one file under mutation, in memory and in
    a note on disk, and writes it back however the run ends."""

    def __init__(self, note):
        self.note = note
        self.path = None
        self.original = None

    def recover_from_note(self):
        if not os.path.exists(self.note):
            return
        with open(self.note) as f:
            saved = json.load(f)
        with open(saved["path"], "w") as f:
            f.write(saved["original"])
        os.remove(self.note)
        print(f"restored {os.path.relpath(saved['path'], ROOT)} left mutated by an earlier run")

    def mutate(self, path, original, mutated):
        self.path, self.original = path, original
        with open(self.note, "w") as f:
            json.dump({"path": path, "original": original}, f)
        with open(path, "w") as f:
            f.write(mutated)

    def restore(self):
        if self.path is None:
            return
        with open(self.path, "w") as f:
            f.write(self.original)
        if os.path.exists(self.note):
            os.remove(self.note)
        self.path = None


def run(command, timeout=None):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=timeout)


def configure(build_dir):
    if not os.path.exists(os.path.join(build_dir, "build.ninja")):
        print(f"configuring {build_dir} (the first build compiles everything)", flush=True)
    result = run(["cmake", "-S", ".", "-B", build_dir, "-G", "Ninja",
                  "-DCMAKE_BUILD_TYPE=Release", "-DMDIOHOST_WARNINGS_AS_ERRORS=ON"])
    if result.returncode != 0:
        sys.exit(result.stdout)


def check_list(mutants, build_dir):
    """Every line's problems, without building anything."""
    targets = run(["ninja", "-C", build_dir, "-t", "targets", "all"])
    if targets.returncode != 0:
        sys.exit(f"{build_dir} is not a configured build tree:\n" + targets.stdout[-2000:])
    known = {line.split(":")[0] for line in targets.stdout.splitlines()}
    tests = run(["ctest", "--test-dir", build_dir, "-N"])
    names = re.findall(r"Test +#\d+: (\S+)", tests.stdout)
    problems = []
    for mutant in mutants:
        path = os.path.join(ROOT, mutant.file)
        if not os.path.exists(path):
            problems.append(f"{mutant.name}: no file {mutant.file}")
            continue
        with open(path) as f:
            matches = f.read().count(mutant.text)
        if matches != 1:
            problems.append(f"{mutant.name}: {matches} matches of the text in {mutant.file}")
        for target in mutant.targets:
            if target not in known:
                problems.append(f"{mutant.name}: no build target {target}")
        if not any(re.search(mutant.tests, name) for name in names):
            problems.append(f"{mutant.name}: no test matches {mutant.tests}")
    return problems


def try_mutant(mutant, build_dir, jobs, restorer):
    path = os.path.join(ROOT, mutant.file)
    with open(path) as f:
        original = f.read()
    if original.count(mutant.text) != 1:
        return "bad line", f"{original.count(mutant.text)} matches of the text in {mutant.file}"
    restorer.mutate(path, original, original.replace(mutant.text, mutant.replacement))
    try:
        build = run(["cmake", "--build", build_dir, "-j", str(jobs), "--target"] + mutant.targets)
        if build.returncode != 0:
            return "not compiled", ""
        tests = run(["ctest", "--test-dir", build_dir, "-j", str(jobs), "--timeout", "120",
                     "-R", mutant.tests])
        if "No tests were found" in tests.stdout:
            return "bad line", "no test matches " + mutant.tests
        failed = [line.strip() for line in tests.stdout.splitlines() if "***" in line
                  or "(Failed)" in line or "(Timeout)" in line]
        return ("killed", failed[0] if failed else "") if tests.returncode != 0 else ("survived", "")
    finally:
        restorer.restore()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("list")
    parser.add_argument("--build-dir", default="build-mutation")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--only", help="run only the mutants of these names (comma-separated)")
    parser.add_argument("--check", action="store_true",
                        help="only check the list against the tree and the build directory")
    arguments = parser.parse_args()
    build_dir = os.path.join(ROOT, arguments.build_dir)
    if arguments.check:
        mutants = read_list(os.path.join(ROOT, arguments.list))
        problems = check_list(mutants, build_dir)
        for problem in problems:
            print(problem)
        print(f"{len(mutants)} mutants, {len(problems)} problems")
        return 1 if problems else 0
    os.makedirs(build_dir, exist_ok=True)

    restorer = Restorer(os.path.join(build_dir, "mutation-in-progress.json"))
    restorer.recover_from_note()

    def stop(signum, _frame):
        restorer.restore()
        sys.exit(128 + signum)

    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)

    mutants = read_list(os.path.join(ROOT, arguments.list))
    if arguments.only:
        mutants = [m for m in mutants if m.name in arguments.only.split(",")]
    configure(build_dir)
    # The unmutated tree first: every named test must pass, or a kill means nothing.
    all_targets = sorted({t for m in mutants for t in m.targets})
    baseline = run(["cmake", "--build", build_dir, "-j", str(arguments.jobs), "--target"]
                   + all_targets)
    if baseline.returncode != 0:
        sys.exit("the unmutated tree does not build:\n" + baseline.stdout[-3000:])
    every_test = "|".join(f"({m.tests})" for m in mutants)
    baseline = run(["ctest", "--test-dir", build_dir, "-j", str(arguments.jobs), "--timeout",
                    "120", "-R", every_test])
    if baseline.returncode != 0:
        sys.exit("tests fail on the unmutated tree:\n" + baseline.stdout[-3000:])

    outcomes = {}
    try:
        for mutant in mutants:
            start = time.time()
            outcome, detail = try_mutant(mutant, build_dir, arguments.jobs, restorer)
            outcomes.setdefault(outcome, []).append(mutant.name)
            print(f"{outcome:13} {mutant.name} ({time.time() - start:.0f} s) {detail}", flush=True)
    finally:
        restorer.restore()
        # Leave the build tree as the sources are.
        run(["cmake", "--build", build_dir, "-j", str(arguments.jobs), "--target"] + all_targets)

    killed = len(outcomes.get("killed", []))
    survived = outcomes.get("survived", [])
    judged = killed + len(survived)
    print(f"\n{killed} of {judged} mutants killed"
          + (f" ({100 * killed / judged:.0f} %)" if judged else "")
          + f"; {len(outcomes.get('not compiled', []))} did not compile"
          + f"; {len(outcomes.get('bad line', []))} lines of the list are wrong")
    for name in survived:
        print(f"  survived: {name}")
    return 1 if outcomes.get("bad line") else 0


if __name__ == "__main__":
    sys.exit(main())
