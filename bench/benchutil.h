#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// The system's monotonic clock in ms: the same in every process, so a time
// one program printed can be set against another's.
inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Median of fn's times in ms over runs (a single run is reported as such,
// not as a median).
inline double medianMs(int runs, const std::function<void()> &fn)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The sizes given on the command line (from the first argument on), or the
// defaults when none is given.
inline std::vector<qint64> benchSizes(int argc, char **argv, const std::vector<qint64> &defaults)
{
    std::vector<qint64> sizes;
    for (int i = 1; i < argc; ++i) {
        bool ok = false;
        const qint64 n = QByteArray(argv[i]).toLongLong(&ok);
        if (ok && n > 0)
            sizes.push_back(n);
    }
    return sizes.empty() ? defaults : sizes;
}

// A growth table: one row per size, each figure followed by its growth
// against the row before ("x2.9" for 2.9 times the time at the last size).
class GrowthTable
{
public:
    GrowthTable(const QString &title, QStringList columns)
        : m_columns(std::move(columns))
    {
        QTextStream out(stdout);
        out << "\n" << title << "\n| size |";
        for (const QString &c : m_columns)
            out << ' ' << c << " |";
        out << "\n|---|";
        for (qsizetype i = 0; i < m_columns.size(); ++i)
            out << "---|";
        out << Qt::endl;
    }
    void row(qint64 size, const std::vector<double> &ms)
    {
        QTextStream out(stdout);
        out << "| " << QLocale::c().toString(size).replace(u',', u' ') << " |";
        for (size_t i = 0; i < ms.size(); ++i) {
            out << ' ' << QString::number(ms[i], 'f', ms[i] < 10 ? 2 : 1);
            if (i < m_last.size() && m_last[i] > 0)
                out << " (x" << QString::number(ms[i] / m_last[i], 'f', 1) << ')';
            out << " |";
        }
        out << Qt::endl;
        m_last = ms;
    }

private:
    QStringList m_columns;
    std::vector<double> m_last;
};

// A Favorites tree of shortcuts / 10 folders of 10 shortcuts each (1,000
// folders: 10 x 10 x 10 under the root, 2,000: twenty such top folders),
// every one to its own address. False when it cannot be written.
inline bool makeShortcutTree(const QString &root, int shortcuts = 10000)
{
    for (int made = 0; made < shortcuts; ++made) {
        const int folder = made / 10;
        const QString path =
            QStringLiteral("%1/f%2/g%3/h%4").arg(root).arg(folder / 100).arg(folder / 10 % 10).arg(folder % 10);
        if (made % 10 == 0)
            QDir().mkpath(path);
        QFile f(QStringLiteral("%1/Shortcut %2.url").arg(path).arg(made % 10));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(QStringLiteral("[InternetShortcut]\r\nURL=https://site%1.example.test/path/page.html\r\n")
                    .arg(made)
                    .toUtf8());
    }
    return true;
}
