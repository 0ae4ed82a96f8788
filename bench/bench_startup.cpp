// Start-up time and memory of the browser against the bare engine program
// (bare_engine: one window, web views in tabs, nothing else). Every run
// starts in fresh folders (program folder with _config.dat, platform root,
// the engine's own data), both programs draw in software, runs are paired
// and alternate which program goes first, and each run must show the page.
//   bench_startup [runs] [first|page]   (default 7; "first": the first
//       starts only, for each display; "page": the start for a page only,
//       with when its request reached the server; BENCH_VERBOSE=1 prints
//       every run)
// Prints, per display (offscreen, and Xvfb when installed):
//   - first start to the home page's load event, as each program sees it
//     and as the page itself reports it (a request from its load event);
//     and against the bare program keeping its pages' data on disk;
//   - a start restoring a session of 10 tabs, to the active tab's load event;
//   - a first start for the page given as its argument (a link opened from
//     another program, no home page set), to the page's own load event;
// then, offscreen:
//   - process-tree PSS with 10 tabs of one site, all loaded (median of 5
//     samples after a settle time, per run);
//   - a restored session of 50 pages against a one-tab start: time and PSS.
#include "benchutil.h"
#include "app/settings/mdlinicontrol.h"
#include "app/settings/mdlregistry.h"
#include "testhttpserver.h"
#include "virtualdisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace {

QString g_bin;
QString g_url;
TestHttpServer *g_server = nullptr;
bool g_wrong = false;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Fresh folders for one start: the program folder as an installation makes
// it, the platform root with the home page set, and the engine's data.
class StartFolder
{
public:
    enum class Home { Page, None };
    explicit StartFolder(int sessionTabs = 0, Home home = Home::Page)
        : m_url(g_url + QStringLiteral("?run=%1").arg(++s_runs))
    {
        const QString program = path(QStringLiteral("program"));
        QDir().mkpath(program + QStringLiteral("/_data"));
        QFile::copy(g_bin + QStringLiteral("/../bin/_config.dat"), program + QStringLiteral("/_config.dat"));
        QFile manifest(program + QStringLiteral("/components.manifest"));
        if (manifest.open(QIODevice::WriteOnly)) {
            const QByteArray lib = QFile::encodeName(g_bin + QStringLiteral("/../bin/libnavkit.so"));
            manifest.write("[Classes]\r\nQuillonHelper.List=" + lib + "\r\nQuillonHelper.clsHistory=" + lib
                           + "\r\nQuillonHelper.clsHistoryItem=" + lib + "\r\n");
        }
        qputenv("QUILLON_PLATFORM_ROOT", path(QStringLiteral("platform")).toUtf8());
        if (home == Home::Page)
            mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("HomePage"),
                                          m_url);
        if (sessionTabs > 1) {
            // The home tab, the favorites tab, then the restored pages.
            const QString loaded = program + QStringLiteral("/_data/_loaded.dat");
            mdlIniControl::WriteIniValue(loaded, QStringLiteral("Global"), QStringLiteral("Count"),
                                         QString::number(sessionTabs + 1));
            for (int n = 3; n <= sessionTabs + 1; ++n)
                mdlIniControl::WriteIniValue(loaded, QStringLiteral("Loaded URL"), QStringLiteral("URL_%1").arg(n),
                                             m_url + QStringLiteral("&tab=%1").arg(n));
        }
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // The home page, its query naming this start alone.
    QString url() const { return m_url; }

    QProcessEnvironment environment(const QString &display) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        env.insert(QStringLiteral("QUILLON_PLATFORM_ROOT"), path(QStringLiteral("platform")));
        env.insert(QStringLiteral("QUILLON_PROGRAM_DIR"), path(QStringLiteral("program")));
        for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            env.insert(QString::fromLatin1(xdg), path(QString::fromLatin1(xdg)));
        return env;
    }

private:
    static inline int s_runs = 0;
    QTemporaryDir m_dir;
    QString m_url;
};

// A started program: the wall time until it printed marker (-1 when it
// never did), the event loop running meanwhile for the page server.
class Run
{
public:
    double start(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                 const QByteArray &marker, const QString &url)
    {
        QElapsedTimer t;
        QEventLoop loop;
        double found = -1;
        // Done once the program has printed its marker and the page has
        // reported its load event.
        const auto quitWhenDone = [&] {
            if (found >= 0 && m_onload >= 0)
                loop.quit();
        };
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, [&] {
            m_out += m_process.readAllStandardOutput();
            if (found < 0 && m_out.contains(marker)) {
                found = double(t.nsecsElapsed()) / 1e6;
                quitWhenDone();
            }
        });
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setProcessEnvironment(env);
        m_requested = -1;
        m_onload = -1;
        const QString target = QUrl(url).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        const QString beacon = QStringLiteral("/onload?") + QUrl(url).query();
        QObject::connect(g_server, &TestHttpServer::requested, &loop, [&](const QString &requested) {
            if (m_requested < 0 && requested == target)
                m_requested = double(t.nsecsElapsed()) / 1e6;
            if (m_onload < 0 && requested == beacon) {
                m_onload = double(t.nsecsElapsed()) / 1e6;
                quitWhenDone();
            }
        });
        t.start();
        m_process.start(program, args);
        loop.exec();
        QObject::disconnect(&m_process, nullptr, &loop, nullptr);
        QObject::disconnect(g_server, nullptr, &loop, nullptr);
        if (found < 0 || !m_out.contains("Small page")) {
            QTextStream(stdout) << "WRONG: " << program << " did not show the page" << Qt::endl;
            g_wrong = true;
        }
        return found;
    }
    qint64 pid() const { return m_process.processId(); }
    double requested() const { return m_requested; } // the first request for a page, ms
    double onload() const { return m_onload; }       // the page's beacon from its load event, ms
    ~Run()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
    QByteArray m_out;
    double m_requested = -1;
    double m_onload = -1;
};

// PSS of a process and all its descendants, in MiB.
double treePssMiB(qint64 root)
{
    QMap<qint64, qint64> parent;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!ok || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parent.insert(pid, fields.at(1).toLongLong());
    }
    double kib = 0;
    for (auto it = parent.cbegin(); it != parent.cend(); ++it) {
        qint64 p = it.key();
        while (p > 1 && p != root)
            p = parent.value(p, 0);
        QFile smaps(QStringLiteral("/proc/%1/smaps_rollup").arg(it.key()));
        if (p != root || !smaps.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : smaps.readAll().split('\n')) {
            if (!line.startsWith("Pss:"))
                continue;
            const double one = line.mid(4).trimmed().split(' ').first().toDouble();
            kib += one;
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE")) {
                QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(it.key()));
                cmd.open(QIODevice::ReadOnly);
                QTextStream(stdout) << "  pss " << it.key() << ' ' << QString::number(one / 1024, 'f', 1) << " MiB "
                                    << cmd.readAll().replace('\0', ' ').left(100) << Qt::endl;
            }
        }
    }
    return kib / 1024.0;
}

// The median of 5 samples of the tree's PSS, 400 ms apart, after 2 s of settling.
double settledPss(qint64 pid)
{
    QThread::msleep(2000);
    std::vector<double> samples;
    for (int i = 0; i < 5; ++i) {
        samples.push_back(treePssMiB(pid));
        QThread::msleep(400);
    }
    return median(samples);
}

struct Side {
    QString program;
    QStringList args;
    QByteArray marker;
    QString mode; // QUILLON_BENCH for the browser, BARE_PROFILE for the bare program
    int sessionTabs = 0;
    // Started with the page as its argument, no home page set (the bare
    // program always is).
    enum class Start { HomePage, ForPage };
    Start start = Start::HomePage;
};

const Side kBare1{QStringLiteral("bare_engine"), {}, "first-document-ms", {}, 0};
// The bare program with its pages' data kept on disk, as a browser's is: a
// fresh profile's stores (cookies, storage, cache) are made at the first start.
const Side kBareDisk{QStringLiteral("bare_engine"), {}, "first-document-ms", QStringLiteral("disk"), 0};
// The browser stays, as the bare program does: its page's beacon may still
// be on its way when the browser has seen the load.
const Side kQuillon1{
    QStringLiteral("quillon_probe"), {}, "first-document-ms", QStringLiteral("first-document-stay"), 0};

// One paired run of each side per run, the first going first on even runs.
// Returns the medians of each side and of the per-run ratios b/a.
struct Pair {
    double a, b, ratio;
    double requestA, requestB;            // when the page was first requested, ms
    double onloadA, onloadB, onloadRatio; // when the page's own beacon came, ms
};
Pair paired(int runs, const QString &display, const Side &a, const Side &b,
            const std::function<double(Run &)> &measure = {})
{
    std::vector<double> as, bs, ratios, ra, rb, oa, ob, oratios;
    for (int i = 0; i < runs; ++i) {
        double va = 0, vb = 0;
        for (int k = 0; k < 2; ++k) {
            const bool aNow = (k == 0) == (i % 2 == 0);
            const Side &side = aNow ? a : b;
            const bool forPage = side.program == QStringLiteral("bare_engine") || side.start == Side::Start::ForPage;
            const StartFolder folder(side.sessionTabs,
                                     side.start == Side::Start::ForPage ? StartFolder::Home::None
                                                                        : StartFolder::Home::Page);
            QProcessEnvironment env = folder.environment(display);
            if (!side.mode.isEmpty())
                env.insert(side.program == QStringLiteral("bare_engine") ? QStringLiteral("BARE_PROFILE")
                                                                         : QStringLiteral("QUILLON_BENCH"),
                           side.mode);
            Run run;
            QStringList args = side.args;
            if (forPage)
                args.prepend(folder.url());
            const double t = run.start(g_bin + u'/' + side.program, args, env, side.marker, folder.url());
            (aNow ? va : vb) = measure ? measure(run) : t;
            (aNow ? ra : rb).push_back(run.requested());
            (aNow ? oa : ob).push_back(run.onload());
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                QTextStream(stdout) << "  run " << i << ' ' << side.program << ": requested " << run.requested()
                                    << " onload " << run.onload() << Qt::endl;
        }
        as.push_back(va);
        bs.push_back(vb);
        ratios.push_back(vb / va);
        oratios.push_back(ob.back() / oa.back());
    }
    return {median(as), median(bs), median(ratios), median(ra), median(rb), median(oa), median(ob), median(oratios)};
}

enum class Rounds { FirstStartOnly, ForPageOnly, All };

void startupRounds(const QString &label, const QString &display, int runs, Rounds rounds)
{
    const auto ms = [](double v) { return QString::number(v, 'f', 0); };
    const auto ratio = [](double v) { return QString::number(v, 'f', 2); };
    Side quillonForPage = kQuillon1;
    quillonForPage.start = Side::Start::ForPage;
    const Pair forPage = paired(runs, display, kBare1, quillonForPage);
    if (rounds == Rounds::ForPageOnly) {
        QTextStream(stdout) << "| " << label << " | " << ms(forPage.requestA) << " / " << ms(forPage.requestB) << " | "
                            << ms(forPage.onloadA) << " / " << ms(forPage.onloadB) << " / "
                            << ratio(forPage.onloadRatio) << " |" << Qt::endl;
        return;
    }
    const Pair first = paired(runs, display, kBare1, kQuillon1);
    const Pair disk = paired(runs, display, kBareDisk, kQuillon1);
    QString session = QStringLiteral(" | | "); // a start restoring 10 tabs, when timed
    if (rounds == Rounds::All) {
        Side bare10 = kBare1;
        bare10.args = {QStringLiteral("10")};
        Side quillon10 = kQuillon1;
        quillon10.sessionTabs = 10;
        const Pair tabs = paired(runs, display, bare10, quillon10);
        session = ms(tabs.a) + QStringLiteral(" | ") + ms(tabs.b) + QStringLiteral(" | ") + ratio(tabs.ratio);
    }
    QTextStream(stdout) << "| " << label << " | " << ms(first.a) << " | " << ms(first.b) << " | " << ratio(first.ratio)
                        << " | " << session << " | " << ms(first.requestA) << " / " << ms(first.requestB) << " | "
                        << ms(first.onloadA) << " / " << ms(first.onloadB) << " / " << ratio(first.onloadRatio) << " | "
                        << ms(disk.a) << " / " << ms(disk.b) << " / " << ratio(disk.ratio) << " | "
                        << ms(forPage.onloadA) << " / " << ms(forPage.onloadB) << " / " << ratio(forPage.onloadRatio)
                        << " |" << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    g_bin = QCoreApplication::applicationDirPath();
    const int runs = std::max(1, argc > 1 ? QByteArray(argv[1]).toInt() : 7);
    const QByteArray which = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    const Rounds rounds = which == "first" ? Rounds::FirstStartOnly
        : which == "page"                  ? Rounds::ForPageOnly
                                           : Rounds::All;
    const QByteArray outerRoot = qgetenv("QUILLON_PLATFORM_ROOT");

    TestHttpServer server;
    if (!server.listen())
        return 1;
    g_server = &server;
    server.setPage(QStringLiteral("/page"),
                   "<html><head><title>Small page</title></head><body><h1>Hello</h1>"
                   "<p>A small page for the benchmark.</p><script>addEventListener('load', () => "
                   "{ new Image().src = '/onload' + location.search; });</script></body></html>");
    g_url = server.url(QStringLiteral("/page"));

    if (rounds == Rounds::ForPageOnly)
        QTextStream(stdout) << "\nfirst start for the page as its argument, ms, median of " << runs
                            << " paired runs: the page requested at, its load event: bare / quillon / ratio\n"
                            << "| display | page requested at | load event |\n|---|---|---|" << Qt::endl;
    else
        QTextStream(stdout)
            << "\nstart-up, ms, median of " << runs
            << " paired runs (ratio: median of the runs' quillon / bare; goal <= 1.05)\n"
            << "| display | bare, first start | quillon | ratio | bare, 10 tabs loading | quillon, "
               "session of 10 tabs | ratio | first start, page requested at: bare / quillon "
               "| first start, the page's load event (its beacon to the server): bare / quillon / ratio "
               "| first start against the bare program keeping its data on disk: bare / quillon / ratio "
               "| first start for the page as its argument, the page's load event: bare / quillon / ratio "
               "|\n|---|---|---|---|---|---|---|---|---|---|---|"
            << Qt::endl;
    startupRounds(QStringLiteral("offscreen"), QString(), runs, rounds);
    VirtualDisplay xvfb;
    if (!xvfb.name().isEmpty())
        startupRounds(QStringLiteral("Xvfb"), xvfb.name(), runs, rounds);
    else
        QTextStream(stdout) << "| Xvfb | not started: not installed or no display free |" << Qt::endl;
    if (rounds != Rounds::All)
        return g_wrong ? 1 : 0;

    // Ten tabs of one site, every one loaded.
    const int memoryRuns = std::max(1, (runs + 1) / 2);
    Side bareAll{QStringLiteral("bare_engine"), {QStringLiteral("10")}, "loaded", {}, 0};
    Side quillonAll{QStringLiteral("quillon_probe"), {}, "loaded", QStringLiteral("all-loaded"), 10};
    const auto pss = [](Run &run) { return settledPss(run.pid()); };
    const Pair tenTabs = paired(memoryRuns, QString(), bareAll, quillonAll, pss);
    QTextStream(stdout) << "\nmemory, 10 tabs of one site, all loaded, process-tree PSS in MiB (median of "
                        << memoryRuns << " paired runs, each the median of 5 samples; goal <= 0.85)\n"
                        << "| bare | quillon | ratio |\n|---|---|---|\n| " << QString::number(tenTabs.a, 'f', 0)
                        << " | " << QString::number(tenTabs.b, 'f', 0) << " | "
                        << QString::number(tenTabs.ratio, 'f', 2) << " |" << Qt::endl;

    // A restored session of 50 pages against a start with the home tab only.
    Side session50 = kQuillon1;
    session50.sessionTabs = 50;
    const Pair time50 = paired(runs, QString(), kQuillon1, session50);
    Side staying1 = kQuillon1;
    staying1.mode = QStringLiteral("first-document-stay");
    Side staying50 = session50;
    staying50.mode = staying1.mode;
    const Pair memory50 =
        paired(memoryRuns, QString(), staying1, staying50, [](Run &run) { return settledPss(run.pid()); });
    QTextStream(stdout) << "\nquillon, one tab against a restored session of 50 pages (goal <= 1.2 each)\n"
                        << "| | one tab | 50 pages | ratio |\n|---|---|---|---|\n"
                        << "| start to the active tab's load event, ms | " << QString::number(time50.a, 'f', 0) << " | "
                        << QString::number(time50.b, 'f', 0) << " | " << QString::number(time50.ratio, 'f', 2) << " |\n"
                        << "| process-tree PSS after start, MiB | " << QString::number(memory50.a, 'f', 0) << " | "
                        << QString::number(memory50.b, 'f', 0) << " | " << QString::number(memory50.ratio, 'f', 2)
                        << " |" << Qt::endl;
    if (!outerRoot.isEmpty())
        qputenv("QUILLON_PLATFORM_ROOT", outerRoot);
    return g_wrong ? 1 : 0;
}
