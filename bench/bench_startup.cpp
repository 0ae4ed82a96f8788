// Start-up time and memory of the browser against the bare engine program.
//   - cold start to the home tab's first completed page, offscreen and under
//     Xvfb (when Xvfb is installed), median of several alternating runs;
//   - whole process tree memory (PSS) with ten tabs of the same page.
#include "benchutil.h"
#include "mdlinicontrol.h"
#include "mdlregistry.h"
#include "testhttpserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <csignal>

namespace {

QString g_bin;

QProcessEnvironment environment(const QString &display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display.isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
    }
    return env;
}

// Starts the program and returns the wall time until it prints marker. The
// event loop keeps running meanwhile: the page server lives in it.
double timeUntil(QProcess &p, const QString &program, const QStringList &args, const QProcessEnvironment &env,
                 const QByteArray &marker)
{
    QElapsedTimer t;
    QEventLoop loop;
    QByteArray out;
    double found = -1;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, &loop, [&] {
        out += p.readAllStandardOutput();
        if (found < 0 && out.contains(marker)) {
            found = double(t.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    p.setProcessEnvironment(env);
    p.setProgram(program);
    p.setArguments(args);
    t.start();
    p.start();
    loop.exec();
    return found;
}

void stop(QProcess &p)
{
    p.terminate();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

// PSS of a process and all its descendants, in MiB.
double treePssMiB(qint64 root)
{
    QMap<qint64, qint64> parent;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
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
        if (p != root)
            continue;
        QFile smaps(QStringLiteral("/proc/%1/smaps_rollup").arg(it.key()));
        if (!smaps.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : smaps.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                kib += line.mid(4).trimmed().split(' ').first().toDouble();
        }
    }
    return kib / 1024.0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void startupRound(const QString &label, const QString &display, const QString &url, int runs,
                  const QString &quickBackend = QString())
{
    std::vector<double> bare, quillon;
    for (int i = 0; i < runs; ++i) {
        QProcessEnvironment env = environment(display);
        if (!quickBackend.isEmpty())
            env.insert(QStringLiteral("QT_QUICK_BACKEND"), quickBackend);
        env.insert(QStringLiteral("BARE_EXIT_AT_FIRST"), QStringLiteral("1"));
        QProcess b;
        bare.push_back(timeUntil(b, g_bin + QStringLiteral("/bare_engine"), {url}, env, "first-document-ms"));
        stop(b);
        env.insert(QStringLiteral("QUILLON_BENCH"), QStringLiteral("first-document"));
        QProcess q;
        quillon.push_back(timeUntil(q, g_bin + QStringLiteral("/quillon_probe"), {}, env, "first-document-ms"));
        stop(q);
    }
    const double mb = median(bare), mq = median(quillon);
    QTextStream(stdout) << "start-up " << label << ": bare " << QString::number(mb, 'f', 0) << " ms, quillon "
                        << QString::number(mq, 'f', 0) << " ms, ratio " << QString::number(mq / mb, 'f', 2)
                        << " (median of " << runs << "; goal <= 1.15)" << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    g_bin = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    qputenv("QUILLON_PLATFORM_ROOT", (dir.path() + QStringLiteral("/platform")).toUtf8());
    qputenv("QUILLON_PROGRAM_DIR", (dir.path() + QStringLiteral("/program")).toUtf8());
    QDir().mkpath(dir.path() + QStringLiteral("/program/_data"));
    // The program folder as the build makes it: the list controls are there.
    QFile manifest(dir.path() + QStringLiteral("/program/components.manifest"));
    if (manifest.open(QIODevice::WriteOnly)) {
        const QByteArray lib = QFile::encodeName(g_bin + QStringLiteral("/../bin/libnavkit.so"));
        manifest.write("[Classes]\r\nQuillonHelper.List=" + lib + "\r\nQuillonHelper.clsHistory=" + lib + "\r\n");
        manifest.close();
    }

    TestHttpServer server;
    if (!server.listen())
        return 1;
    server.setPage(QStringLiteral("/page"),
                   "<html><head><title>Small page</title></head><body><h1>Hello</h1>"
                   "<p>A small page for the benchmark.</p></body></html>");
    const QString url = server.url(QStringLiteral("/page"));
    mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("HomePage"), url);

    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 7;
    startupRound(QStringLiteral("offscreen"), QString(), url, runs);

    QProcess xvfb;
    const QString xvfbPath = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (!xvfbPath.isEmpty()) {
        xvfb.start(xvfbPath,
                   {QStringLiteral(":87"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (xvfb.waitForStarted(5000)) {
            QElapsedTimer wait;
            wait.start();
            while (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X87")) && wait.elapsed() < 5000)
                xvfb.waitForFinished(50);
            // quillon draws in software on a machine without a GPU render
            // node; the second round draws both programs that way.
            startupRound(QStringLiteral("Xvfb"), QStringLiteral(":87"), url, runs);
            startupRound(QStringLiteral("Xvfb, both drawing in software"), QStringLiteral(":87"), url, runs,
                         QStringLiteral("software"));
        }
    }

    // Ten tabs of the same page: the home tab and nine reopened ones.
    const QString loadedFile = dir.path() + QStringLiteral("/program/_data/_loaded.dat");
    mdlIniControl::WriteIniValue(loadedFile, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("11"));
    for (int n = 3; n <= 11; ++n)
        mdlIniControl::WriteIniValue(loadedFile, QStringLiteral("Loaded URL"), QStringLiteral("URL_%1").arg(n), url);
    QProcessEnvironment env = environment(QString());
    QProcess b;
    timeUntil(b, g_bin + QStringLiteral("/bare_engine"), {url, QStringLiteral("10")}, env, "loaded");
    const double bareMiB = treePssMiB(b.processId());
    stop(b);
    env.insert(QStringLiteral("QUILLON_BENCH"), QStringLiteral("all-loaded"));
    QProcess q;
    timeUntil(q, g_bin + QStringLiteral("/quillon_probe"), {}, env, "loaded");
    const double quillonMiB = treePssMiB(q.processId());
    stop(q);
    QTextStream(stdout) << "memory, ten tabs (PSS of the process tree): bare " << QString::number(bareMiB, 'f', 0)
                        << " MiB, quillon " << QString::number(quillonMiB, 'f', 0) << " MiB, ratio "
                        << QString::number(quillonMiB / bareMiB, 'f', 2) << " (goal <= 1.10)" << Qt::endl;
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
    return 0;
}
