// The browser with a person's years of data, driven as a person drives it:
// under a virtual X server, with real key presses and clicks (xdotool), the
// times taken from the moment the input is sent until the browser has
// painted the answer. Usage:
//   bench_userdata [runs] [favorites:visits:tabs ...]
// (default: 5 runs of 100000:1000000:200 and of 1000000:1000000:200). Each
// profile is generated once: favorites, visits spread over the last year,
// a saved session of that many pages; each run starts in fresh engine
// folders. The browser's window thread is watched all along: every pause
// of it over 50 ms is counted against the action it came in.
#include "app/settings/mdlinicontrol.h"
#include "app/settings/mdlregistry.h"
#include "benchutil.h"
#include "navkit/favorites/favoritesstore.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "virtualdisplay.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <map>
#include <optional>
#include <vector>

namespace {

struct Profile {
    int favorites = 100000;
    int visits = 1000000;
    int tabs = 200;
    QString label() const
    {
        return QStringLiteral("%1 favorites, %2 visits, %3 tabs").arg(favorites).arg(visits).arg(tabs);
    }
};

struct Event {
    QString name;
    double at = 0; // monotonic ms
    QStringList details;
};

void makeProfile(const TestEnvironment &env, const Profile &p, TestHttpServer &server)
{
    const QString data = env.programDir() + QStringLiteral("/_data");
    QDir().mkpath(data);
    env.installComponents(NAVKIT_LIBRARY);
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/_config.dat"),
                env.programDir() + QStringLiteral("/_config.dat"));
    const QString sep = FavoritesStore::kFieldSeparator;
    QStringList records;
    records.reserve(p.favorites);
    for (int i = 0; i < p.favorites; ++i)
        records.append(QStringLiteral("Page title number %1 about gardens").arg(i) + sep
                       + QStringLiteral("https://www.example.test/section/%1/article.html").arg(i) + sep
                       + QStringLiteral("keywords here"));
    FavoritesStore::save(data + QStringLiteral("/_favorites.dat"), records);
    records = {};
    // A year of visits, oldest written first as they came; a tenth of them today.
    std::vector<UrlHistoryEntry> visits(static_cast<size_t>(p.visits));
    const quint64 now = TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
    const quint64 second = 10000000;
    for (int i = 0; i < p.visits; ++i) {
        UrlHistoryEntry &e = visits[size_t(p.visits - 1 - i)];
        const quint64 ago = i < p.visits / 10 ? quint64(i % 36000) : quint64(i) * 365 * 24 * 3600 / quint64(p.visits);
        e.url = QStringLiteral("https://visited%1.example.test/a/page.html").arg(i);
        e.title = QStringLiteral("Visited page %1").arg(i);
        e.lastVisited = e.lastUpdated = now - ago * second;
        e.expires = now + quint64(400) * 24 * 3600 * second;
    }
    UrlHistoryStore().putEntries(visits);
    // The session: the two fixed tabs, then the pages.
    const QString loaded = data + QStringLiteral("/_loaded.dat");
    mdlIniControl::WriteIniValue(loaded, QStringLiteral("Global"), QStringLiteral("Count"),
                                 QString::number(p.tabs + 2));
    for (int n = 3; n <= p.tabs + 2; ++n) {
        server.setPage(
            QStringLiteral("/s/%1").arg(n),
            QStringLiteral("<html><head><title>Session page %1</title></head><body><p>Page %1 of the session."
                           "</p></body></html>")
                .arg(n)
                .toUtf8());
        mdlIniControl::WriteIniValue(loaded, QStringLiteral("Loaded URL"), QStringLiteral("URL_%1").arg(n),
                                     server.url(QStringLiteral("/s/%1").arg(n)));
    }
}

// One start of the browser: its events as they come, waited for with the
// event loop running (the page server answers meanwhile).
class Browser
{
public:
    Browser(const QProcessEnvironment &env, const QString &probe)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] { read(); });
        m_started = monotonicMs();
        m_process.start(probe, {});
    }
    ~Browser()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    double started() const { return m_started; }
    qint64 pid() const { return m_process.processId(); }

    enum class Since { LastFound, Start };
    // The first event of that name since the last one found (or since the
    // start) whose first detail is `detail` (any, when empty); none after
    // timeoutMs.
    std::optional<Event> waitFor(const QString &name, const QString &detail = {}, Since since = Since::LastFound,
                                 int timeoutMs = 60000)
    {
        if (since == Since::Start)
            m_next = 0;
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        std::optional<Event> found;
        const auto look = [&] {
            for (; m_next < m_events.size(); ++m_next) {
                const Event &e = m_events.at(m_next);
                if (e.name == name && (detail.isEmpty() || e.details.value(0) == detail)) {
                    found = e;
                    ++m_next;
                    return true;
                }
            }
            return false;
        };
        if (look())
            return found;
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, [&] {
            if (look())
                loop.quit();
        });
        loop.exec();
        return found;
    }
    void pause(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The window's pauses between two moments: the longest, in ms.
    double longestStall(double from, double to) const
    {
        double longest = 0;
        for (const Event &e : m_events) {
            // A stall is printed when it ends; it began its length earlier.
            const double length = e.details.value(0).toDouble();
            if (e.name == QStringLiteral("stall") && e.at >= from && e.at - length <= to)
                longest = std::max(longest, length);
        }
        return longest;
    }
    double rssMiB() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        return -1;
    }
    // From SIGTERM (a session ending, as the window's close) until the
    // process has gone.
    double exitMs()
    {
        const double sent = monotonicMs();
        ::kill(pid_t(pid()), SIGTERM);
        if (!m_process.waitForFinished(30000))
            return -1;
        return monotonicMs() - sent;
    }

private:
    void read()
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                QTextStream(stdout) << "  < " << line << Qt::endl;
            QStringList words = line.split(u' ');
            if (words.size() < 2)
                continue;
            Event e;
            e.name = words.takeFirst();
            // The start-up line carries its time since start, not the clock.
            e.at = e.name == QStringLiteral("first-document-ms") ? monotonicMs() : words.takeFirst().toDouble();
            e.details = words;
            m_events.append(e);
        }
    }

    QProcess m_process;
    QList<Event> m_events;
    qsizetype m_next = 0;
    double m_started = 0;
};

bool xdo(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

// Each figure over the runs, with the longest window pause seen in it.
class Figures
{
public:
    // A negative time is an answer not seen; memory can shrink (a store's
    // buffers handed back as its index is mapped), so any change counts.
    enum class Kind { Time, MemoryChange };
    void add(const QString &what, double ms, double stall = -1, Kind kind = Kind::Time)
    {
        if (!m_order.contains(what))
            m_order.append(what);
        if (ms >= 0 || kind == Kind::MemoryChange)
            m_values[what].push_back(ms);
        else
            ++m_missing[what];
        m_stalls[what] = std::max(m_stalls[what], stall);
    }
    void addPause(const QString &what, double stall) { m_stalls[what] = std::max(m_stalls[what], stall); }
    void print(const QString &title) const
    {
        QTextStream out(stdout);
        out << "\n"
            << title << "\n| what | median | min-max | n | longest window pause in it, ms |\n|---|---|---|---|---|\n";
        for (const QString &what : m_order) {
            std::vector<double> v = m_values.value(what);
            std::sort(v.begin(), v.end());
            const double stall = m_stalls.value(what);
            out << "| " << what << " | "
                << (v.empty() ? QStringLiteral("not seen") : QString::number(v[v.size() / 2], 'f', 1)) << " | "
                << (v.empty() ? QString()
                              : QString::number(v.front(), 'f', 1) + u'-' + QString::number(v.back(), 'f', 1))
                << " | " << v.size()
                << (m_missing.value(what) ? QStringLiteral(" (%1 not seen)").arg(m_missing.value(what)) : QString())
                << " | "
                << (stall < 0        ? QStringLiteral("-")
                        : stall == 0 ? QStringLiteral("none")
                                     : QString::number(stall, 'f', 0))
                << " |\n";
        }
        out.flush();
    }

    bool complete() const { return m_missing.isEmpty(); }

private:
    QStringList m_order;
    QMap<QString, std::vector<double>> m_values;
    QMap<QString, double> m_stalls;
    QMap<QString, int> m_missing;
};

// An action's span, from the input's send to its answer. Its pauses are
// looked up once the run is over: a pause is reported when it ends, which
// can be after the answer it held up.
struct Span {
    QString what;
    double from = 0;
    double to = 0;
};

void addPauses(Figures &figures, const Browser &browser, const std::vector<Span> &spans)
{
    for (const Span &span : spans)
        figures.addPause(span.what, browser.longestStall(span.from, span.to));
}

// A key (or keys, as xdotool names them) sent, then the event that answers
// it: the time between, and the span for its pauses.
void timed(Figures &figures, Browser &browser, std::vector<Span> &spans, const QString &what,
           const QStringList &xdoArguments, const QString &event, const QString &detail = {})
{
    const double sent = monotonicMs();
    xdo(xdoArguments);
    const std::optional<Event> e = browser.waitFor(event, detail);
    figures.add(what, e ? e->at - sent : -1, 0);
    spans.push_back({what, sent, e ? e->at : monotonicMs()});
}

QStringList key(const QString &keys)
{
    return {QStringLiteral("key"), keys};
}

void runOnce(Figures &figures, const TestEnvironment &profile, const QString &display, const QString &home)
{
    QTemporaryDir engine;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QUILLON_BENCH"), QStringLiteral("userdata"));
    env.insert(QStringLiteral("QUILLON_PLATFORM_ROOT"), profile.platformRoot());
    env.insert(QStringLiteral("QUILLON_PROGRAM_DIR"), profile.programDir());
    for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        env.insert(QString::fromLatin1(xdg), engine.filePath(QString::fromLatin1(xdg)));
    // Each run from the layout a first start has (the History pane closed),
    // with a home page of its own, so that it is no favorite yet.
    QFile::remove(profile.programDir() + QStringLiteral("/_layout.lay"));
    mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("HomePage"), home);

    Browser browser(env, QCoreApplication::applicationDirPath() + QStringLiteral("/quillon_probe"));
    std::vector<Span> spans;
    const std::optional<Event> onload = browser.waitFor(QStringLiteral("first-document-ms"));
    figures.add(QStringLiteral("start to the home page's load event"), onload ? onload->at - browser.started() : -1, 0);
    spans.push_back({QStringLiteral("start to the home page's load event"), browser.started(),
                     onload ? onload->at : monotonicMs()});
    // The session may be in place before the home page has loaded.
    const std::optional<Event> star = browser.waitFor(QStringLiteral("star"), {}, Browser::Since::Start);
    const std::optional<Event> ready = browser.waitFor(QStringLiteral("ready"), {}, Browser::Since::Start);
    if (!ready || !star || !browser.waitFor(QStringLiteral("active"), {}, Browser::Since::Start)) {
        addPauses(figures, browser, spans);
        return;
    }
    figures.add(QStringLiteral("start to the session in place"), ready->at - browser.started(), 0);
    spans.push_back({QStringLiteral("start to the session in place"), browser.started(), ready->at});
    browser.pause(1000);

    // Against a profile without favorites: what holding them costs.
    figures.add(QStringLiteral("memory before any key, MiB"), browser.rssMiB());
    xdo(key(QStringLiteral("ctrl+l")));
    browser.pause(300);
    const double before = browser.rssMiB();
    const double firstKey = monotonicMs();
    timed(figures, browser, spans, QStringLiteral("first key to the painted suggestions"), key(QStringLiteral("p")),
          QStringLiteral("suggest"), QStringLiteral("p"));
    // The visited pages may be listed before the favorites are read; once
    // the whole answer is painted, they have been.
    const std::optional<Event> rows =
        browser.waitFor(QStringLiteral("rows"), QStringLiteral("p"), Browser::Since::Start, 1000);
    figures.add(QStringLiteral("first key to the first painted favorites or visited pages"),
                rows ? rows->at - firstKey : -1, 0);
    browser.pause(300);
    figures.add(QStringLiteral("memory the first key added, MiB"), browser.rssMiB() - before, -1,
                Figures::Kind::MemoryChange);
    for (const QString &typed : {QStringLiteral("pa"), QStringLiteral("pag"), QStringLiteral("page")})
        timed(figures, browser, spans, QStringLiteral("later keys (a, g, e)"), key(typed.right(1)),
              QStringLiteral("suggest"), typed);
    xdo(key(QStringLiteral("Escape")));
    browser.pause(300);

    timed(figures, browser, spans, QStringLiteral("History pane opened (Ctrl+H) to its painted list"),
          key(QStringLiteral("ctrl+h")), QStringLiteral("history"));
    timed(figures, browser, spans, QStringLiteral("Favorites tab (Ctrl+2) to its painted list"),
          key(QStringLiteral("ctrl+2")), QStringLiteral("favorites"));
    timed(figures, browser, spans, QStringLiteral("back to the home tab (Ctrl+1), painted"),
          key(QStringLiteral("ctrl+1")), QStringLiteral("tab"), QStringLiteral("1"));
    browser.pause(500);
    timed(figures, browser, spans, QStringLiteral("star clicked to the favorite saved"),
          {QStringLiteral("mousemove"), star->details.value(0), star->details.value(1), QStringLiteral("click"),
           QStringLiteral("1")},
          QStringLiteral("stored"));
    browser.pause(300);
    timed(figures, browser, spans, QStringLiteral("tab switch (Ctrl+3, then Ctrl+Tab x5), painted"),
          key(QStringLiteral("ctrl+3")), QStringLiteral("tab"), QStringLiteral("3"));
    for (int n = 4; n <= 8; ++n)
        timed(figures, browser, spans, QStringLiteral("tab switch (Ctrl+3, then Ctrl+Tab x5), painted"),
              key(QStringLiteral("ctrl+Tab")), QStringLiteral("tab"), QString::number(n));
    browser.pause(500);
    addPauses(figures, browser, spans);
    figures.add(QStringLiteral("exit (SIGTERM to the process gone)"), browser.exitMs());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, argc > 1 ? QByteArray(argv[1]).toInt() : 5);
    QList<Profile> profiles;
    for (int i = 2; i < argc; ++i) {
        const QList<QByteArray> parts = QByteArray(argv[i]).split(':');
        if (parts.size() == 3)
            profiles.append({parts[0].toInt(), parts[1].toInt(), parts[2].toInt()});
    }
    if (profiles.isEmpty())
        profiles = {{100000, 1000000, 200}, {1000000, 1000000, 200}};

    VirtualDisplay display;
    if (display.name().isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        QTextStream(stdout) << "bench_userdata: needs Xvfb and xdotool (scripts/dev installs them)" << Qt::endl;
        return 1;
    }
    qputenv("DISPLAY", display.name().toUtf8()); // xdotool's
    TestHttpServer server;
    if (!server.listen())
        return 1;
    bool complete = true;
    for (const Profile &p : std::as_const(profiles)) {
        QProcess uptime;
        uptime.start(QStringLiteral("uptime"), {});
        uptime.waitForFinished(5000);
        QTextStream(stdout) << "\nuptime before: " << uptime.readAllStandardOutput().trimmed() << Qt::endl;
        TestEnvironment profile;
        QElapsedTimer made;
        made.start();
        makeProfile(profile, p, server);
        QTextStream(stdout) << "profile made in " << made.elapsed() / 1000 << " s: " << p.label() << Qt::endl;
        Figures figures;
        for (int run = 1; run <= runs; ++run) {
            const QString home = server.url(QStringLiteral("/home%1").arg(run));
            server.setPage(QStringLiteral("/home%1").arg(run),
                           "<html><head><title>Home page</title></head><body><p>The home page.</p></body></html>");
            runOnce(figures, profile, display.name(), home);
        }
        figures.print(QStringLiteral("%1, ms (median, min-max over %2 runs; times from the input's send)")
                          .arg(p.label())
                          .arg(runs));
        complete = complete && figures.complete();
    }
    // An action whose answer never came is a fault of the browser or of
    // this benchmark, not a figure.
    return complete ? 0 : 1;
}
