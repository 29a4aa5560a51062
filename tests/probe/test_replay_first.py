"""A replay that tries a formerly caught mutant on its old catchers first:
what it builds and runs, and that the outcome matches a whole run."""

import importlib.machinery
import importlib.util
import tempfile
import types
import unittest
from pathlib import Path

_path = Path(__file__).resolve().parents[2] / "scripts" / "mutation-probe"
_loader = importlib.machinery.SourceFileLoader("mutation_probe_replay", str(_path))
probe = importlib.util.module_from_spec(importlib.util.spec_from_loader(_loader.name, _loader))
_loader.exec_module(probe)

SOURCE = "int f(int n)\n{\n    if (n < 3 && n > 0)\n        return 1;\n    return 0;\n}\n"


class CatchersFirst(unittest.TestCase):
    def run_one(self, old_status, old_failed, failing_now, catchers_first=True, slow=(),
                hung=(), seconds=None, renamed=None):
        """One replayed mutant; failing_now: the tests that fail on it today,
        slow: over their limit beside another test, hung: over it alone too.
        Returns (entry, targets built in order, tests run in order)."""
        with tempfile.TemporaryDirectory() as d:
            p = probe.Probe(types.SimpleNamespace(
                work=d, state=None, catchers_first=catchers_first, jobs=2,
                timeout_factor=5.0, timeout_min=15.0, no_netns=True, renamed=[]))
            p.renamed = renamed or {}
            (p.tree / "src/m").mkdir(parents=True)
            (p.tree / "src/m/a.cpp").write_text(SOURCE)
            m = next(m for m in probe.mutants_of(SOURCE, "src/m/a.cpp") if m["op"] == "and-or")
            m.update(status=old_status, failed=old_failed)
            built, ran = [], []
            p.exes_for = lambda rel: ["t1", "t2"]
            p.baseline = lambda state, exes: None
            p.build_targets = lambda targets: built.append(sorted(targets)) or True

            def run_tests(names, limits, jobs=None):
                ran.append(list(names))
                self.assertIn("n < 3 || n > 0", (p.tree / "src/m/a.cpp").read_text())
                late = set(hung) | (set(slow) if jobs is None else set())
                return {n: ("timeout" if n in late else "failed" if n in failing_now
                            else "passed", 0.1) for n in names}
            p.run_tests = run_tests
            state = {"params": {"replay": "old.json"}, "baseline": {
                "exes": {"t1": ["A"], "t2": ["B", "C"]},
                "tests": {n: {"status": "passed", "seconds": (seconds or {}).get(n, 1.0)}
                          for n in "ABC"}}}
            entry = p.one(state, m, ["src/m/a.cpp"], {})
            self.assertEqual((p.tree / "src/m/a.cpp").read_text(), SOURCE)
            return entry, built, ran

    def test_what_is_built_and_run_and_the_outcome(self):
        # An old catcher still fails: only its executable, only it.
        e, built, ran = self.run_one("caught", ["B"], {"B", "C"})
        self.assertEqual((e["status"], e["failed"], e.get("first")), ("caught", ["B"], True))
        self.assertEqual((built, ran), ([["t2"]], [["B"]]))
        # The old catcher passes now: everything else is built and run.
        e, built, ran = self.run_one("caught", ["B"], {"A"})
        self.assertEqual((e["status"], e["failed"], e.get("first")), ("caught", ["A"], None))
        self.assertEqual((built, ran), ([["t2"], ["t1", "t2"]], [["B"], ["A", "C"]]))
        e, _, _ = self.run_one("caught", ["B"], set())
        self.assertEqual(e["status"], "survived")
        # A former survivor, a catcher renamed since, or the option off: a whole run.
        for status, failed, first in [("survived", [], True), ("caught", ["Gone"], True),
                                      ("caught", ["B"], False)]:
            e, built, ran = self.run_one(status, failed, {"C"}, first)
            self.assertEqual((e["status"], built, ran), ("caught", [["t1", "t2"]], [["A", "B", "C"]]))

    def test_old_catchers_run_one_at_a_time_quickest_first_under_their_new_names(self):
        # C is quicker than A: it runs first, and its failure ends the mutant.
        e, built, ran = self.run_one("caught", ["A", "C"], {"A", "C"}, seconds={"A": 9.0})
        self.assertEqual((e["failed"], built, ran), (["C"], [["t2"]], [["C"]]))
        # C passes now: A is built and run next, and the rest only after both.
        e, built, ran = self.run_one("caught", ["A", "C"], {"B"}, seconds={"A": 9.0})
        self.assertEqual((e["failed"], built, ran),
                         (["B"], [["t2"], ["t1"], ["t1", "t2"]], [["C"], ["A"], ["B"]]))
        # A catcher merged into B since: B is tried first.
        e, built, ran = self.run_one("caught", ["Old"], {"B"},
                                     renamed={"Old": "B"})
        self.assertEqual((e["failed"], ran), (["B"], [["B"]]))

    def test_renames_file_follows_chains(self):
        with tempfile.TemporaryDirectory() as d:
            f = Path(d) / "r.tsv"
            f.write_text("Old\tMid\nMid\tNew\nbad line\nX\tY\n")
            p = probe.Probe(types.SimpleNamespace(work=d, state=None, renamed=[str(f)]))
            self.assertEqual(p.renamed, {"Old": "New", "Mid": "New", "X": "Y"})

    def test_a_time_out_counts_only_when_the_test_is_late_alone_too(self):
        e, _, ran = self.run_one("survived", [], set(), slow={"B"})
        self.assertEqual((e["status"], ran), ("survived", [["A", "B", "C"], ["B"]]))
        e, _, ran = self.run_one("survived", [], set(), hung={"B"})
        self.assertEqual((e["status"], e["timeouts"], ran), ("caught", ["B"], [["A", "B", "C"], ["B"]]))
        e, _, ran = self.run_one("survived", [], {"A"}, slow={"B"})
        self.assertEqual((e["status"], len(ran)), ("caught", 1))

    def test_partial_catches_stay_out_of_the_redundancy_report(self):
        def m(i, failed, first=None):
            return {"id": i, "status": "caught", "failed": failed, "tests": ["A", "B"],
                    "file": "src/m/a.cpp", "first": first}
        catches, alone, _, _ = probe.redundancy({"mutants": [m("1", ["A", "B"]),
                                                             m("2", ["B"], True)]})
        self.assertEqual(alone, ["A", "B"])


if __name__ == "__main__":
    unittest.main()
