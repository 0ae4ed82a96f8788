#include "app/settings/sitepermissions.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"

#include <QFile>

#include <utility>

namespace SitePermissions {

QString line(const Entry &entry)
{
    return entry.origin + u'\t' + entry.feature + u'\t'
        + (entry.decision == Decision::Allow ? QStringLiteral("allow") : QStringLiteral("block"));
}

std::optional<Entry> parse(const QString &text)
{
    const QStringList fields = text.split(u'\t');
    if (fields.size() != 3 || fields.at(0).isEmpty() || fields.at(1).isEmpty())
        return std::nullopt;
    if (fields.at(2) == QStringLiteral("allow"))
        return Entry{fields.at(0), fields.at(1), Decision::Allow};
    if (fields.at(2) == QStringLiteral("block"))
        return Entry{fields.at(0), fields.at(1), Decision::Block};
    return std::nullopt;
}

namespace {

// The decisions of the file, and whether any line was no decision.
std::pair<QList<Entry>, bool> readWithDamage(const QString &file)
{
    QFile in(file);
    if (!in.exists())
        return {};
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "site permissions not read" << file;
        return {};
    }
    QList<Entry> entries;
    bool damaged = false;
    for (const QByteArray &raw : in.readAll().split('\n')) {
        const QString text = QString::fromUtf8(raw).trimmed();
        if (text.isEmpty())
            continue;
        if (const auto entry = parse(text)) {
            entries = with(entries, entry->origin, entry->feature, entry->decision);
        } else {
            qCWarning(lcFiles) << "site permissions: a line that is no decision skipped" << file;
            damaged = true;
        }
    }
    return {entries, damaged};
}

} // namespace

QList<Entry> read(const QString &file)
{
    return readWithDamage(file).first;
}

bool write(const QString &file, const QList<Entry> &entries)
{
    // What could not be read is kept aside before the file is replaced.
    if (readWithDamage(file).second && AtomicFile::setAside(file).isEmpty()) {
        qCWarning(lcFiles) << "site permissions not written: the damaged file could not be set aside" << file;
        return false;
    }
    QByteArray data;
    for (const Entry &entry : entries)
        data += line(entry).toUtf8() + '\n';
    if (!AtomicFile::write(file, data)) {
        qCWarning(lcFiles) << "site permissions not written" << file;
        return false;
    }
    return true;
}

std::optional<Decision> decisionFor(const QList<Entry> &entries, const QString &origin, const QString &feature)
{
    for (const Entry &entry : entries) {
        if (entry.origin == origin && entry.feature == feature)
            return entry.decision;
    }
    return std::nullopt;
}

QList<Entry> with(QList<Entry> entries, const QString &origin, const QString &feature, std::optional<Decision> decision)
{
    entries.removeIf([&](const Entry &e) { return e.origin == origin && e.feature == feature; });
    if (decision)
        entries.append(Entry{origin, feature, *decision});
    return entries;
}

} // namespace SitePermissions
