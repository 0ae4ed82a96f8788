#include "app/mainwindow/loadedpages.h"

#include "platform/atomicfile.h"
#include "platform/filelock.h"
#include "platform/logging.h"
#include "app/settings/mdlinicontrol.h"
#include "platform/profiledocument.h"

#include <QFile>
#include <QThreadPool>

namespace LoadedPages {

namespace {
const QString kGlobal = QStringLiteral("Global");
const QString kCount = QStringLiteral("Count");
const QString kPages = QStringLiteral("Loaded URL");
const QString kEntryPrefix = QStringLiteral("URL_");
constexpr int kFirstSavedTab = 3; // tabs 1 and 2 are the home page and the favorites

QString entryKey(qsizetype position)
{
    return kEntryPrefix + QString::number(position);
}

QThreadPool &writer()
{
    static QThreadPool pool;
    static const bool once = [] {
        pool.setMaxThreadCount(1); // one thread: the writes in the order asked for
        pool.setObjectName(QStringLiteral("OpenPagesWriter"));
        return true;
    }();
    Q_UNUSED(once);
    return pool;
}
} // namespace

void writeEntryLater(const QString &loadedFile, int position, const QString &address, int count)
{
    writer().start([loadedFile, position, address, count] {
        if (!writeEntry(loadedFile, position, address) || !writeCount(loadedFile, count))
            qCWarning(lcProfile) << "open page not recorded" << loadedFile << position;
    });
}

void writeCountLater(const QString &loadedFile, int count)
{
    writer().start([loadedFile, count] {
        if (!writeCount(loadedFile, count))
            qCWarning(lcProfile) << "tab count not recorded" << loadedFile;
    });
}

void waitForWrites()
{
    writer().waitForDone();
}

bool writeEntry(const QString &loadedFile, int position, const QString &address)
{
    return mdlIniControl::WriteIniValue(loadedFile, kPages, entryKey(position), address) != 0;
}

bool writeCount(const QString &loadedFile, int count)
{
    return mdlIniControl::WriteIniValue(loadedFile, kGlobal, kCount, QString::number(count)) != 0;
}

QStringList read(const QString &loadedFile)
{
    QFile file(loadedFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const ProfileDocument doc = ProfileDocument::parse(file.readAll());
    const std::optional<qint64> count = doc.number(kGlobal, kCount);
    QStringList pages;
    if (!count)
        return pages;
    // Only the entries there are: "Count" may say anything.
    for (const auto &[n, url] : doc.numberedValues(kPages, kEntryPrefix, kFirstSavedTab, *count)) {
        if (!mdlIniControl::isUnusable(url))
            pages.append(url);
    }
    return pages;
}

bool writeAll(const QString &loadedFile, const QStringList &addresses)
{
    // An entry still to be written would land in a list it no longer fits.
    waitForWrites();
    ProfileDocument doc = ProfileDocument::parse({});
    doc.setValue(kGlobal, kCount, QString::number(addresses.size()));
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString &url = addresses.at(i);
        // A line break would end the entry and start another.
        if (!url.isEmpty() && !url.contains(u'\n') && !url.contains(u'\r'))
            doc.setValue(kPages, entryKey(i + 1), url);
    }
    const FileLock lock(loadedFile, FileLock::Mode::Exclusive, std::chrono::seconds(5));
    if (!lock.isLocked()) {
        qCWarning(lcProfile) << "cannot lock" << loadedFile;
        return false;
    }
    return AtomicFile::write(loadedFile, doc.serialize());
}

} // namespace LoadedPages
