#include "navkit/favorites/favoritesstore.h"

#include "platform/atomicfile.h"
#include "platform/compoundfile.h"
#include "platform/logging.h"
#include "platform/makerinfo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace FavoritesStore {

namespace {

const QString kCountStream = QStringLiteral("Count");
const QString kItemsStream = QStringLiteral("Items");
// Another program (the import tool, a second browser) may be saving: wait
// for it rather than drop this save.
constexpr std::chrono::seconds kSaveWait{5};
// A reader waits out a save in progress (a save holds the file for a moment
// only) rather than show an empty list.
constexpr std::chrono::seconds kReadWait{1};

struct ReadResult {
    QStringList records;   // when decoded
    qsizetype count = 0;   // the values read
    bool complete = true;  // false: the streams did not agree or held damage
    bool anyBlank = false; // a blank record, which the next save drops
    QByteArray values;     // the "Items" stream as read, when complete
};

bool blank(QStringView record)
{
    return std::all_of(record.cbegin(), record.cend(), [](QChar c) { return c == u' '; });
}

// Whether a read makes a string of every record, or only looks at them (a
// million strings made on a save thread cost more than the save's write).
enum class Decode { Records, CheckOnly };

// Reads "Count" values from "Items". A missing or unreadable "Count" reads
// every value there is, so no stored record is lost by the next save.
ReadResult readRecords(CompoundFile &file, Decode decode = Decode::Records)
{
    ReadResult result;
    std::optional<qint64> count;
    if (ValueStream *countStream = file.openStream(kCountStream)) {
        bool ok = false;
        const qint64 n = countStream->readString().value_or(QString()).trimmed().toLongLong(&ok);
        if (ok && n >= 0)
            count = n;
    }
    ValueStream *items = file.openStream(kItemsStream);
    if (!items) {
        result.complete = !count || *count == 0;
        return result;
    }
    if (count && decode == Decode::Records)
        result.records.reserve(qsizetype(std::min<qint64>(*count, items->data().size() / 6)));
    while (!count || result.count < *count) {
        const auto value = items->readView();
        if (!value)
            break;
        result.anyBlank = result.anyBlank || blank(*value);
        if (decode == Decode::Records)
            result.records.append(value->toString());
        ++result.count;
    }
    result.complete = count && result.count == *count && items->position() == items->data().size();
    if (result.complete)
        result.values = items->data();
    return result;
}

} // namespace

QString comment()
{
    return QStringLiteral("More info on ") + MakerInfo::kWebAddress;
}

bool isBlank(const QString &record)
{
    return blank(record);
}

QString composeRecord(const QString &title, const QString &url)
{
    return FavoriteRecord::compose(title, url);
}

QString nextRevision(const QString &stored)
{
    qsizetype digits = 0;
    while (digits < stored.size() && digits < 9 && stored.at(digits).isDigit() && stored.at(digits).unicode() < 128)
        ++digits;
    return QString::number(stored.left(digits).toLongLong() + 1);
}

QString userName()
{
    const uid_t uid = geteuid();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(size > 0 ? size : 16384, '\0');
    passwd pwd{};
    passwd *found = nullptr;
    if (getpwuid_r(uid, &pwd, buffer.data(), size_t(buffer.size()), &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return qEnvironmentVariable("USER");
}

QByteArray visit(const QString &dataFile, const std::function<void(QStringView)> &record)
{
    auto file = CompoundFile::open(dataFile, CompoundFile::Access::Read, kReadWait);
    if (!file)
        return {};
    std::optional<qint64> count;
    if (ValueStream *countStream = file->openStream(kCountStream)) {
        bool ok = false;
        const qint64 n = countStream->readString().value_or(QString()).trimmed().toLongLong(&ok);
        if (ok && n >= 0)
            count = n;
    }
    ValueStream *items = file->openStream(kItemsStream);
    if (!items)
        return {};
    for (qint64 n = 0; !count || n < *count; ++n) {
        const auto value = items->readView();
        if (!value)
            break;
        record(*value);
    }
    return items->data(); // shares the buffer the views point into
}

QStringList load(const QString &dataFile)
{
    auto file = CompoundFile::open(dataFile, CompoundFile::Access::Read, kReadWait);
    if (!file)
        return {};
    ReadResult read = readRecords(*file);
    if (!read.complete)
        qCWarning(lcFiles) << "favorites file holds fewer or damaged records" << dataFile;
    return read.records;
}

std::optional<QStringList> loadWhole(const QString &dataFile)
{
    if (!QFileInfo::exists(dataFile))
        return QStringList();
    auto file = CompoundFile::open(dataFile, CompoundFile::Access::Read, kReadWait);
    if (!file) {
        qCWarning(lcFiles) << "favorites file held or unreadable" << dataFile;
        return std::nullopt;
    }
    ReadResult read = readRecords(*file);
    if (!read.complete) {
        qCWarning(lcFiles) << "favorites file holds fewer or damaged records" << dataFile;
        return std::nullopt;
    }
    return read.records;
}

bool save(const QString &dataFile, const QStringList &newRecords, AfterSave after)
{
    return save(dataFile, newRecords, after, {});
}

namespace {

// Opens the file held for a save, setting aside what cannot be read whole
// (the rewrite would lose it), and reads the records stored.
std::unique_ptr<CompoundFile> openForSave(const QString &dataFile, ReadResult &existing,
                                          Decode decode = Decode::Records)
{
    // A file that is no favorites file at all is set aside and started
    // anew: a favorite the user adds is then stored, not only listed.
    auto file = CompoundFile::openOrCreate(dataFile, kSaveWait, CompoundFile::IfDamaged::SetAside);
    if (!file) {
        qCWarning(lcFiles) << "favorites file not opened; nothing saved" << dataFile;
        return nullptr;
    }
    existing = readRecords(*file, decode);
    if (!existing.complete && AtomicFile::setAside(dataFile).isEmpty())
        return nullptr;
    // What is not written back as read is written from its records.
    if (decode == Decode::CheckOnly && (!existing.complete || existing.anyBlank))
        existing = readRecords(*file, Decode::Records);
    return file;
}

// Writes the summary and the records, replacing what was stored, in one
// atomic commit: first kept (stored values passed on as they were read,
// none of them blank), then the non-blank records.
bool commitRecords(CompoundFile &file, const QString &dataFile, const ReadResult *kept, const QStringList &records)
{
    const QString user = userName();
    file.setSummary(CompoundFile::Summary::Title, kTitle);
    if (file.summary(CompoundFile::Summary::Author).isEmpty())
        file.setSummary(CompoundFile::Summary::Author, user);
    file.setSummary(CompoundFile::Summary::Subject, kSubject);
    file.setSummary(CompoundFile::Summary::LastSavedBy, user);
    file.setSummary(CompoundFile::Summary::Comments, comment());
    file.setSummary(CompoundFile::Summary::RevisionNumber,
                    nextRevision(file.summary(CompoundFile::Summary::RevisionNumber)));

    ValueStream *items = file.createStream(kItemsStream);
    qint64 written = 0;
    // The kept values stay a piece of their own: only the new ones are copied.
    qint64 bytes = 0;
    for (const QString &r : records)
        bytes += 6 + r.size() * 2;
    items->reserve(qsizetype(bytes));
    if (kept) {
        items->appendValues(kept->values);
        written += kept->count;
    }
    for (const QString &record : records) {
        if (isBlank(record))
            continue;
        items->writeString(record);
        ++written;
    }
    file.createStream(kCountStream)->writeString(QString::number(written));
    const bool ok = file.commit();
    if (!ok)
        qCWarning(lcFiles) << "favorites not committed" << dataFile;
    return ok;
}

bool saveNoting(const QString &dataFile, const QStringList &offered, const Prepare &prepare, Appended *appended)
{
    ReadResult existing;
    auto file = openForSave(dataFile, existing, prepare ? Decode::Records : Decode::CheckOnly);
    if (!file)
        return false;
    // Looked at under the lock: no other writer changes it meanwhile.
    const std::optional<FileIdentity> before = FileIdentity::of(dataFile);
    const std::optional<QStringList> prepared = prepare ? prepare(existing.records, offered) : offered;
    if (!prepared) {
        qCWarning(lcFiles) << "favorites save called off" << dataFile;
        return false;
    }
    // The stored values of a whole, tidy store are written back as they
    // were read, without decoding and encoding each again.
    const bool kept = existing.complete && !existing.anyBlank;
    const bool ok = kept ? commitRecords(*file, dataFile, &existing, *prepared)
                         : commitRecords(*file, dataFile, nullptr, existing.records + *prepared);
    const std::optional<FileIdentity> after = ok ? FileIdentity::of(dataFile) : std::nullopt;
    if (appended && kept && before && after) {
        appended->kept = true;
        appended->before = *before;
        appended->storedBefore = existing.count;
        appended->after = *after;
        appended->records.clear();
        for (const QString &record : *prepared) {
            if (!isBlank(record))
                appended->records.append(record);
        }
    }
    return ok;
}

} // namespace

bool save(const QString &dataFile, const QStringList &offered, AfterSave, const Prepare &prepare)
{
    return saveNoting(dataFile, offered, prepare, nullptr);
}

bool save(const QString &dataFile, const QStringList &newRecords, Appended &appended)
{
    appended = {};
    return saveNoting(dataFile, newRecords, {}, &appended);
}

bool rewrite(const QString &dataFile, const Change &change)
{
    if (!QFileInfo::exists(dataFile))
        return false; // nothing stored, nothing to change
    ReadResult existing;
    auto file = openForSave(dataFile, existing);
    if (!file)
        return false;
    const std::optional<QStringList> changed = change(existing.records);
    if (!changed) {
        qCWarning(lcFiles) << "favorites change called off" << dataFile;
        return false;
    }
    return commitRecords(*file, dataFile, nullptr, *changed);
}

} // namespace FavoritesStore
