// Settings editor: loading, checking and merging a large description with
// its settings file, writing the file back, and opening the editor form.
//   BENCH desc_load_5000 <s> s        (target: at most 0.2 s)
//   BENCH settings_write_5000 <s> s   (target: at most 0.1 s)
//   BENCH editor_open_2000 <s> s      (loaded description to dialog shown; at most 1.0 s)
//   BENCH editor_rss_2000 <MB> MB     (the process with that dialog shown; at most 120 MB)
// Each time is the median of several runs. New benches go into kBenches.
// The form benches run first, before the large description of the others
// has grown the heap (or alone: bench_editor editor_open_2000).
#include "BenchMemory.h"
#include "editor/DescriptionLoader.h"
#include "editor/ui/SettingsEditorDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace
{

constexpr int kEntries = 5000;
constexpr int kFormEntries = 2000;
constexpr int kPerSection = 100;
constexpr int kRuns = 7;
constexpr int kFormRuns = 5;

// A description with every kind of entry: every tenth entry a combo box that
// enables the next one, text, number and address entries, a dependent entry
// with alternative settings per section.
QByteArray description(int entries = kEntries)
{
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DISP>\n"
        "<section key=\"Version\" name=\"版数\"><data><key>Version</key><name>版数</name>"
        "<default>1.00</default><inputtype>7</inputtype><inputrule>0</inputrule></data></"
        "section>\n";
    int n = 1;
    for (int s = 0; n < entries; ++s) {
        x += "<section key=\"Sec" + QByteArray::number(s) + "\" name=\"セクション" +
             QByteArray::number(s) + "\">\n";
        for (int i = 0; i < kPerSection && n < entries; ++i, ++n) {
            const QByteArray id = QByteArray::number(n);
            x += "<data><key>Key" + id + "</key><name>項目" + id + "</name><default>" + id +
                 "</default>";
            if (i % 10 == 0) {
                x += "<inputtype>1</inputtype><inputrule>0</inputrule><combooption>"
                     "<o v=\"0\">切</o><o v=\"1\">入</o></combooption><groupparent>G" +
                     id + "a|G" + id + "b</groupparent>";
            } else if (i % 10 == 1) {
                const QByteArray p = QByteArray::number(n - 1);
                x += "<inputtype>2</inputtype><inputrule>1</inputrule><childdetail>"
                     "<G" +
                     p + "a><childinputmin>0</childinputmin><childinputmax>10</childinputmax></G" +
                     p +
                     "a>"
                     "<G" +
                     p + "b><childinputmin>0</childinputmin><childinputmax>99</childinputmax></G" +
                     p +
                     "b>"
                     "</childdetail>";
            } else if (i % 10 == 2) {
                x += "<inputtype>4</inputtype><inputrule>0</inputrule><inputmin>10.0.0.1</inputmin>"
                     "<inputmax>10.0.255.254</inputmax><groupparent>T" +
                     id + "</groupparent>";
            } else if (i % 10 == 3) {
                x += "<inputtype>2</inputtype><inputrule>0</inputrule><texttype>1</texttype>"
                     "<inputmax>32</inputmax><groupchild>T" +
                     QByteArray::number(n - 1) + "</groupchild>";
            } else {
                x += "<inputtype>2</inputtype><inputrule>0</inputrule><texttype>0</texttype>"
                     "<inputmin>0</inputmin><inputmax>65535</inputmax>";
            }
            x += "<explain>説明" + id + "</explain><tooltip>ヒント\\r\\n" + id +
                 "</tooltip></data>\n";
        }
        x += "</section>\n";
    }
    return x + "</DISP>\n";
}

// The settings file with the same keys, in a different section order.
QByteArray settingsFile(const SettingsDescription &d)
{
    QByteArray out = "Version=1.00\r\n\r\n";
    for (int s = int(d.sections.size()) - 1; s >= 1; --s) {
        out += "\r\n[" + d.sections[s].key.toUtf8() + "]\r\n";
        for (const DescEntry &e : d.entries)
            if (e.section == s)
                out += e.key.toUtf8() + "= " + e.defaultValue.toUtf8() + " \r\n";
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Fixture {
    QTemporaryDir dir;
    QString descPath, iniPath;
    QString formDescPath, formIniPath; // the 2,000-entry description
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

LoaderInputs inputs(const Fixture &fx)
{
    LoaderInputs in;
    in.descriptionPath = fx.descPath;
    in.iniPath = fx.iniPath;
    in.settingsFile = true;
    return in;
}

double benchLoad(const Fixture &fx)
{
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        QElapsedTimer t;
        t.start();
        DescriptionLoader loader(inputs(fx));
        loader.setErrorLog({});
        if (!loader.load() || !loader.checkDependencies() || !loader.readSettingsFile() ||
            loader.description().entries.size() != kEntries) {
            std::fprintf(stderr, "desc_load_5000: load failed: %s\n", qPrintable(loader.message()));
            return -1;
        }
        runs.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(runs);
}

double benchWrite(const Fixture &fx)
{
    DescriptionLoader loader(inputs(fx));
    loader.setErrorLog({});
    if (!loader.load() || !loader.checkDependencies() || !loader.readSettingsFile())
        return -1;
    const QString out = fx.dir.filePath(QStringLiteral("kel_sys1.ini"));
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        QElapsedTimer t;
        t.start();
        if (!WriteSettingsFile(out, loader.description(), loader.inputs().fileMode(), {}))
            return -1;
        runs.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(runs);
}

// Held after the open bench so the memory bench sees the dialog shown.
std::unique_ptr<DescriptionLoader> g_formLoader;
std::unique_ptr<SettingsEditorDialog> g_dialog;

// From the loaded description to the dialog shown and painted.
double benchOpen(const Fixture &fx)
{
    LoaderInputs in;
    in.descriptionPath = fx.formDescPath;
    in.iniPath = fx.formIniPath;
    in.settingsFile = true;
    in.systemFile = true;
    in.showWriteToTerminal = true;
    in.modelName = QStringLiteral("BENCH");
    std::vector<double> runs;
    for (int r = 0; r < kFormRuns; ++r) {
        g_dialog.reset();
        g_formLoader = std::make_unique<DescriptionLoader>(in);
        g_formLoader->setErrorLog({});
        if (g_formLoader->prepare() != DescriptionLoader::Prepared::Ready ||
            g_formLoader->description().entries.size() != kFormEntries) {
            std::fprintf(stderr, "editor_open_2000: load failed\n");
            return -1;
        }
        QElapsedTimer t;
        t.start();
        g_dialog = std::make_unique<SettingsEditorDialog>(&g_formLoader->description(),
                                                          g_formLoader->inputs());
        if (!g_dialog->buildForm())
            return -1;
        g_dialog->show();
        QApplication::processEvents();
        g_dialog->grab(); // painted once
        runs.push_back(t.nsecsElapsed() / 1e9);
    }
    return median(runs);
}

double benchRss(const Fixture &fx)
{
    if (!g_dialog && benchOpen(fx) < 0)
        return -1;
    const long kb = residentKb();
    return kb < 0 ? -1 : kb / 1024.0;
}

struct Bench {
    const char *name;
    std::function<double(const Fixture &)> run;
    const char *unit = "s";
    bool form = false; // works on the 2,000-entry description
};

const Bench kBenches[] = {
    {"editor_open_2000", benchOpen, "s", true},
    {"editor_rss_2000", benchRss, "MB", true},
    {"desc_load_5000", benchLoad},
    {"settings_write_5000", benchWrite},
};

// Writes a generated description of `entries` entries and its settings file.
bool prepareFiles(int entries, const QString &descPath, const QString &iniPath)
{
    const QByteArray xml = description(entries);
    SettingsDescription d;
    QString message;
    if (!LoadDescriptionBytes(xml, true, &d, &message)) {
        std::fprintf(stderr, "generated description refused: %s\n", qPrintable(message));
        return false;
    }
    return writeFile(descPath, xml) && writeFile(iniPath, settingsFile(d));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fixture fx;
    fx.formDescPath = fx.dir.filePath(QStringLiteral("sysconfig_BENCH_2.xml"));
    fx.formIniPath = fx.dir.filePath(QStringLiteral("kel_sys2.ini"));
    fx.descPath = fx.dir.filePath(QStringLiteral("sysconfig_BENCH_1.xml"));
    fx.iniPath = fx.dir.filePath(QStringLiteral("kel_sys0.ini"));
    if (!prepareFiles(kFormEntries, fx.formDescPath, fx.formIniPath))
        return 1;
    bool largePrepared = false;

    int failures = 0;
    for (const Bench &b : kBenches) {
        if (argc > 1 && std::strcmp(argv[1], b.name) != 0)
            continue;
        // The large files only once the form benches are done.
        if (!b.form && !largePrepared) {
            g_dialog.reset();
            g_formLoader.reset();
            if (!prepareFiles(kEntries, fx.descPath, fx.iniPath))
                return 1;
            largePrepared = true;
        }
        const double s = b.run(fx);
        if (s < 0) {
            ++failures;
            continue;
        }
        std::printf("BENCH %s %.4f %s\n", b.name, s, b.unit);
        std::fflush(stdout);
    }
    return failures ? 1 : 0;
}
