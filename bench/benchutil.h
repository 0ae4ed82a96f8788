#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

// Runs fn a number of times and prints the median and the range in ms.
inline double benchMedian(const char *name, int runs, const std::function<void()> &fn, double goalMs = 0)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    QTextStream out(stdout);
    out << name << ": median " << QString::number(median, 'f', 1) << " ms (min " << QString::number(ms.front(), 'f', 1)
        << ", max " << QString::number(ms.back(), 'f', 1) << ", " << runs << " runs)";
    if (goalMs > 0)
        out << (median <= goalMs ? "  [goal " : "  [MISSED goal ") << goalMs << " ms]";
    out << Qt::endl;
    return median;
}

// A Favorites tree of 1,000 folders (10 x 10 x 10) with 10 shortcuts each,
// every one to its own address. False when it cannot be written.
inline bool makeShortcutTree(const QString &root)
{
    int made = 0;
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const QString folder = QStringLiteral("%1/f%2/g%3/h%4").arg(root).arg(a).arg(b).arg(c);
                QDir().mkpath(folder);
                for (int s = 0; s < 10; ++s, ++made) {
                    QFile f(QStringLiteral("%1/Shortcut %2.url").arg(folder).arg(s));
                    if (!f.open(QIODevice::WriteOnly))
                        return false;
                    f.write(QStringLiteral("[InternetShortcut]\r\nURL=https://site%1.example.test/path/page.html\r\n")
                                .arg(made)
                                .toUtf8());
                }
            }
        }
    }
    return true;
}
