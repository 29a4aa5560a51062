"""The mutation probe: where its faults go, that a seed repeats them and finds
them again in a moved tree, and what a catchers-first replay builds and runs."""

import importlib.machinery
import importlib.util
import itertools
import tempfile
import types
import unittest
from pathlib import Path

_path = Path(__file__).resolve().parents[2] / "scripts" / "mutation-probe"
_loader = importlib.machinery.SourceFileLoader("mutation_probe", str(_path))
probe = importlib.util.module_from_spec(importlib.util.spec_from_loader(_loader.name, _loader))
_loader.exec_module(probe)

SOURCE = r'''#include "a.h"
#define LIMIT(a) ((a) < 2 && (a) > 0)
#if VERSION > 1
// if (n < limit && ok) return 3;
#endif
static const int kTable[] = {7, 8};
/* a <= b || c != 1; x = 0; */
bool Filter::accepts(int n, const std::vector<int> &v) const
{
    const QString s = QStringLiteral("n < 10 && n > 2; return 1;");
    const char c = '<';
    const auto raw = R"(a == b) || (x >= 4)";
    if (n < limit && static_cast<int>(v.size()) != 0)
        count_ += 1;
    while (!done)
        step();
    return ok;
}
'''

HEADER = r'''#pragma once
struct Limits
{
    static constexpr int kMax = 5;
    bool within(int a = 1) const;
    int next(int k) const { return k < 3 ? k : 0; }
};
'''


def sites(text, path):
    return sorted((m["op"], m["orig"], m["repl"]) for m in probe.mutants_of(text, path))


class Placement(unittest.TestCase):
    def test_faults_only_in_code_never_in_comments_strings_directives_declarations(self):
        muts = probe.mutants_of(SOURCE, "src/m/a.cpp")
        forbidden = ["// if", "/* a <=", '"n < 10', "'<'", 'R"(a ==', "#define", "#if",
                     "std::vector<int>", "static_cast<int>"]
        for m, f in itertools.product(muts, forbidden):
            self.assertIn(f, probe.apply(SOURCE, m), probe.describe(m))
        self.assertEqual(sorted({m["op"] for m in muts}), sorted(probe.OPS))
        funcs = {m["func"] for m in muts}
        self.assertEqual(funcs, {"Filter::accepts", "=kTable"})
        self.assertIn(("negation", "! done", "! ( ! done )"), sites(SOURCE, "src/m/a.cpp"))
        self.assertIn(("statement", "step ( ) ;", ";"), sites(SOURCE, "src/m/a.cpp"))
        # In a header only function bodies: no default argument, no constant.
        self.assertEqual(sites(HEADER, "src/m/a.h"), sorted([
            ("comparison", "<", "<="), ("comparison", "<", ">"),
            ("off-by-one", "3", "4"), ("off-by-one", "3", "2"), ("constant", "3", "0"),
            ("off-by-one", "0", "1"), ("return", "k < 3 ? k : 0", "{}")]))
        self.assertEqual(sites(HEADER, "src/m/a.cpp")[0][:2], ("comparison", "<"))


class Drawing(unittest.TestCase):
    def test_same_seed_same_mutants_and_every_kind_early(self):
        cands = probe.mutants_of(SOURCE, "src/m/a.cpp")
        first = [m["id"] for m in probe.draw(cands, 5)]
        self.assertEqual(first, [m["id"] for m in probe.draw(cands, 5)])
        self.assertNotEqual(first, [m["id"] for m in probe.draw(cands, 6)])
        self.assertEqual(sorted(first), sorted(m["id"] for m in cands))
        self.assertEqual(len(set(first)), len(first))
        early = {m["op"] for m in list(probe.draw(cands, 5))[:20]}
        self.assertEqual(early, set(probe.OPS))


MOVED = SOURCE.replace('#include "a.h"\n', '#include "a.h"\n#include <map>\n\nint helper()\n'
                       '{\n    return 42;\n}\n').replace(
    "    while (!done)\n        step();", "    while (!done) {\n        step();\n    }").replace(
    "count_ += 1;", "count_ += 2;").replace("v.size()", "v.count()")


class FoundAgain(unittest.TestCase):
    def test_by_content_after_lines_move_with_not_applicable_for_edited_code(self):
        old = probe.mutants_of(SOURCE, "src/m/a.cpp")
        with tempfile.TemporaryDirectory() as d:
            root = Path(d)
            (root / "src/m").mkdir(parents=True)
            (root / "src/m/a.cpp").write_text(MOVED)
            files = ["src/m/a.cpp"]
            how = {}
            for m in old:
                found, how[m["id"]] = probe.locate(m, root, files)
                if found:
                    a, b = found["span"]
                    self.assertEqual(" ".join(t.text for t in probe.lex(MOVED[a:b])), m["orig"])
                    self.assertEqual(found["new"], m["new"].replace("size", "count"))
                    self.assertGreater(found["line"], m["line"])
            for m in old:  # a changed statement or condition is not the same mutant
                want = "not applicable" if "count_" in m["context"] or "size" in m["orig"] \
                    else "close" if "size" in m["context"] else "exact"
                self.assertEqual(how[m["id"]], want, probe.describe(m))

            # The function went to a file of its own (a split): still found.
            (root / "src/m/a.cpp").write_text('#include "a.h"\n')
            (root / "src/m/filter.cpp").write_text(SOURCE)
            m = next(m for m in old if m["op"] == "and-or")
            found, h = probe.locate(m, root, ["src/m/a.cpp", "src/m/filter.cpp"])
            self.assertEqual((found["file"], h), ("src/m/filter.cpp", "moved"))


class Results(unittest.TestCase):
    def test_ctest_lines(self):
        for line, want in [
            ("        Start  12: IniFile.Reads", ("start", "IniFile.Reads")),
            (" 3/20 Test  #12: IniFile.Reads ......   Passed    0.01 sec",
             ("done", "IniFile.Reads", "passed", 0.01)),
            ("4/9 Test #3: P/Case.Name/0 ...***Failed    1.50 sec",
             ("done", "P/Case.Name/0", "failed", 1.5)),
            ("5/9 Test #4: S.T ....***Exception: SegFault  0.20 sec", ("done", "S.T", "failed", 0.2)),
            ("6/9 Test #5: S.U ....***Skipped   0.10 sec", ("done", "S.U", "skipped", 0.1)),
            ("[ RUN      ] S.T", None)]:
            self.assertEqual(probe.parse_ctest_line(line), want)

    def test_tests_whose_catches_others_also_make(self):
        def m(i, failed, status="caught", first=None):
            return {"id": i, "status": status, "failed": failed, "tests": list("ABCDE"),
                    "file": "src/m/a.cpp", "first": first}
        # 6 ended at its first old catcher: it says nothing about D alone.
        state = {"mutants": [m("1", ["A", "B"]), m("2", ["A"]), m("3", ["B", "C"]),
                             m("4", ["C", "D"]), m("5", [], "survived"), m("6", ["D"], first=True)]}
        catches, alone, removable, unique = probe.redundancy(state)
        self.assertEqual(alone, ["B", "C", "D", "E"])
        self.assertEqual(removable, ["E", "D", "B"])
        self.assertEqual(unique["A"], 1)


SMALL = "int f(int n)\n{\n    if (n < 3 && n > 0)\n        return 1;\n    return 0;\n}\n"


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
            (p.tree / "src/m/a.cpp").write_text(SMALL)
            m = next(m for m in probe.mutants_of(SMALL, "src/m/a.cpp") if m["op"] == "and-or")
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
            self.assertEqual((p.tree / "src/m/a.cpp").read_text(), SMALL)
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
        e, built, ran = self.run_one("caught", ["Old"], {"B"}, renamed={"Old": "B"})
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
        # An old catcher that hangs is run again alone at once; late again, it
        # ends the mutant, with nothing else built or run.
        e, built, ran = self.run_one("caught", ["B"], set(), hung={"B"})
        self.assertEqual((e["status"], e["timeouts"], built, ran),
                         ("caught", ["B"], [["t2"]], [["B"], ["B"]]))
        e, built, ran = self.run_one("caught", ["B"], {"A"}, slow={"B"})
        self.assertEqual((e["failed"], ran), (["A"], [["B"], ["B"], ["A", "C"]]))


if __name__ == "__main__":
    unittest.main()
