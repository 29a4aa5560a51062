#include "history/LineDiff.h"

#include <QHash>

#include <algorithm>

namespace LineDiff
{

namespace
{

// Beyond this many differing lines the shortest edit is not searched for:
// the differing middle is shown as removed, then added.
constexpr int MaxEdits = 2000;

enum class Op { Equal, Delete, Insert };
struct Step {
    Op op;
    int left;
    int right;
};

// Myers' shortest edit script between a and b (line ids), as steps from the
// start. Each round d keeps the furthest x per diagonal k in [-d, d].
std::vector<Step> shortestEdit(const std::vector<int> &a, const std::vector<int> &b)
{
    const int n = int(a.size());
    const int m = int(b.size());
    const int max = std::min(n + m, MaxEdits);
    const int off = max + 1;
    std::vector<int> v(std::size_t(2 * max + 3), 0);
    std::vector<std::vector<int>> trace;
    int found = -1;
    for (int d = 0; d <= max && found < 0; ++d) {
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[k - 1 + off] < v[k + 1 + off])) ? v[k + 1 + off]
                                                                             : v[k - 1 + off] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            v[k + off] = x;
            if (x >= n && y >= m)
                found = d;
        }
        trace.emplace_back(v.begin() + (off - d), v.begin() + (off + d + 1));
    }

    std::vector<Step> steps;
    if (found < 0) {
        for (int i = 0; i < n; ++i)
            steps.push_back({Op::Delete, i, -1});
        for (int j = 0; j < m; ++j)
            steps.push_back({Op::Insert, -1, j});
        return steps;
    }
    int x = n;
    int y = m;
    for (int d = found; d > 0; --d) {
        const std::vector<int> &prev = trace[std::size_t(d - 1)];
        auto at = [&](int k) { return prev[std::size_t(k + d - 1)]; };
        const int k = x - y;
        const int prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        const int prevX = at(prevK);
        const int prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x;
            --y;
            steps.push_back({Op::Equal, x, y});
        }
        if (x == prevX)
            steps.push_back({Op::Insert, -1, y - 1});
        else
            steps.push_back({Op::Delete, x - 1, -1});
        x = prevX;
        y = prevY;
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        steps.push_back({Op::Equal, x, y});
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

} // namespace

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QStringList sectionsOf(const QStringList &lines)
{
    QStringList out;
    out.reserve(lines.size());
    QString section;
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            const qsizetype end = line.indexOf(u']');
            section = line.mid(1, end < 0 ? -1 : end - 1);
        } else if (line.startsWith(QLatin1String("Version"))) {
            section = QStringLiteral("Version");
        }
        out << section;
    }
    return out;
}

QString keyOf(const QString &line)
{
    if (line.startsWith(u'['))
        return {};
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq);
}

std::vector<Row> compare(const QStringList &left, const QStringList &right, bool ini)
{
    // Lines become numbers, so the search compares integers.
    QHash<QString, int> ids;
    auto idsOf = [&ids](const QStringList &lines) {
        std::vector<int> out;
        out.reserve(std::size_t(lines.size()));
        for (const QString &l : lines) {
            auto it = ids.constFind(l);
            if (it == ids.constEnd())
                it = ids.insert(l, int(ids.size()));
            out.push_back(it.value());
        }
        return out;
    };
    const std::vector<int> a = idsOf(left);
    const std::vector<int> b = idsOf(right);
    const QStringList leftSections = ini ? sectionsOf(left) : QStringList();
    const QStringList rightSections = ini ? sectionsOf(right) : QStringList();

    std::vector<Row> rows;
    auto push = [&](RowKind kind, int l, int r) {
        Row row;
        row.kind = kind;
        row.left = l;
        row.right = r;
        if (l >= 0)
            row.leftText = left.at(l);
        if (r >= 0)
            row.rightText = right.at(r);
        if (ini) {
            row.section = r >= 0 ? rightSections.at(r) : leftSections.at(l);
            row.key = keyOf(r >= 0 ? row.rightText : row.leftText);
        }
        rows.push_back(std::move(row));
    };

    const std::vector<Step> steps = shortestEdit(a, b);
    for (std::size_t i = 0; i < steps.size();) {
        if (steps[i].op == Op::Equal) {
            push(RowKind::Same, steps[i].left, steps[i].right);
            ++i;
            continue;
        }
        std::vector<int> removed, added;
        for (; i < steps.size() && steps[i].op != Op::Equal; ++i) {
            if (steps[i].op == Op::Delete)
                removed.push_back(steps[i].left);
            else
                added.push_back(steps[i].right);
        }
        // Pairs never cross: each removed line looks for its partner only
        // after the last one paired.
        std::size_t next = 0;
        for (std::size_t r = 0; r < removed.size(); ++r) {
            std::size_t partner = added.size();
            if (ini) {
                const QString key = keyOf(left.at(removed[r]));
                for (std::size_t j = next; !key.isEmpty() && j < added.size(); ++j) {
                    if (keyOf(right.at(added[j])) == key) {
                        partner = j;
                        break;
                    }
                }
            } else if (next < added.size()) {
                partner = next;
            }
            if (partner == added.size()) {
                push(RowKind::Removed, removed[r], -1);
                continue;
            }
            for (; next < partner; ++next)
                push(RowKind::Added, -1, added[next]);
            push(RowKind::Changed, removed[r], added[partner]);
            next = partner + 1;
        }
        for (; next < added.size(); ++next)
            push(RowKind::Added, -1, added[next]);
    }
    return rows;
}

std::vector<KeyChange> changedKeys(const std::vector<Row> &rows)
{
    std::vector<KeyChange> out;
    for (const Row &r : rows)
        if (r.kind != RowKind::Same && !r.key.isEmpty())
            out.push_back({r.section, r.key, r.kind});
    return out;
}

} // namespace LineDiff
