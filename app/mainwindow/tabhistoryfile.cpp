#include "app/mainwindow/tabhistoryfile.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace TabHistoryFile {

namespace {
constexpr quint32 kMagic = 0x51544842; // "QTHB"
constexpr quint16 kVersion = 1;
// Far above what a session holds; a count beyond it is damage.
constexpr qint32 kMostTabs = 10000;
constexpr qsizetype kLargestHistory = 4 * 1024 * 1024;
} // namespace

QString pathBeside(const QString &loadedFile)
{
    return QFileInfo(loadedFile).absolutePath() + QStringLiteral("/_tabhistory.dat");
}

bool write(const QString &path, const QList<Entry> &entries)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << qint32(entries.size());
    for (const Entry &e : entries)
        out << e.url << (e.history.size() > kLargestHistory ? QByteArray() : e.history);
    QByteArray bytes;
    QDataStream head(&bytes, QIODevice::WriteOnly);
    head << kMagic << kVersion << QCryptographicHash::hash(body, QCryptographicHash::Sha256);
    bytes += body;
    if (!AtomicFile::write(path, bytes)) {
        qCWarning(lcProfile) << "tab histories not saved" << path;
        return false;
    }
    return true;
}

QList<Entry> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream head(&file);
    quint32 magic = 0;
    quint16 version = 0;
    QByteArray sum;
    head >> magic >> version >> sum;
    const QByteArray body = file.readAll();
    // The engine's history data is taken on trust only when it is exactly
    // what was written.
    if (head.status() != QDataStream::Ok || magic != kMagic || version != kVersion
        || sum != QCryptographicHash::hash(body, QCryptographicHash::Sha256)) {
        qCWarning(lcProfile) << "tab histories not read: damaged or not a file of ours" << path;
        return {};
    }
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_4);
    qint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count < 0 || count > kMostTabs) {
        qCWarning(lcProfile) << "tab histories not read: bad count" << path;
        return {};
    }
    QList<Entry> entries;
    for (qint32 i = 0; i < count; ++i) {
        Entry e;
        in >> e.url >> e.history;
        if (in.status() != QDataStream::Ok) {
            qCWarning(lcProfile) << "tab histories not read: damaged at entry" << i << path;
            return {};
        }
        entries.append(e);
    }
    return entries;
}

QByteArray historyFor(const QList<Entry> &entries, qsizetype index, const QString &url)
{
    if (index < 0 || index >= entries.size() || entries.at(index).url.trimmed() != url.trimmed())
        return {};
    return entries.at(index).history;
}

} // namespace TabHistoryFile
