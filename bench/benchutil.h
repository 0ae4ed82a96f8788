#pragma once

#include <QElapsedTimer>
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
