"""The mutation probe's faults: where they go, that a seed repeats them, and
that they are found again in a tree whose lines have moved."""

import importlib.machinery
import importlib.util
import itertools
import tempfile
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
        def m(i, failed, status="caught"):
            return {"id": i, "status": status, "failed": failed, "tests": list("ABCDE"),
                    "file": "src/m/a.cpp"}
        state = {"mutants": [m("1", ["A", "B"]), m("2", ["A"]), m("3", ["B", "C"]),
                             m("4", ["C", "D"]), m("5", [], "survived")]}
        catches, alone, removable, unique = probe.redundancy(state)
        self.assertEqual(alone, ["B", "C", "D", "E"])
        self.assertEqual(removable, ["E", "D", "B"])
        self.assertEqual(unique["A"], 1)


if __name__ == "__main__":
    unittest.main()
