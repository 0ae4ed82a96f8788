#include "app/browser/tablifecycle.h"

#include <QFile>
#include <QList>

namespace TabLifecycle {

namespace {

// How much a state keeps: Active keeps everything, Discarded nothing.
int keeps(State s)
{
    switch (s) {
    case State::Active: return 2;
    case State::Frozen: return 1;
    case State::Discarded: return 0;
    }
    return 2;
}

qint64 field(const QByteArray &meminfo, const QByteArray &name)
{
    for (const QByteArray &line : meminfo.split('\n')) {
        if (!line.startsWith(name + ':'))
            continue;
        bool ok = false;
        const qint64 kib = line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kib : -1;
    }
    return -1;
}

} // namespace

State backgroundState(bool memoryLow, State recommended)
{
    const State wanted = memoryLow ? State::Discarded : State::Frozen;
    return keeps(wanted) < keeps(recommended) ? recommended : wanted;
}

bool memoryLow(const QByteArray &meminfo)
{
    const qint64 total = field(meminfo, "MemTotal");
    const qint64 available = field(meminfo, "MemAvailable");
    return total > 0 && available >= 0 && available * 10 < total;
}

bool memoryLowNow()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    return file.open(QIODevice::ReadOnly) && memoryLow(file.readAll());
}

} // namespace TabLifecycle
