// The favorites file: a compound file of records, read and saved whole, atomically.
#pragma once

#include "navkit/records/favoriterecord.h"
#include "platform/fileidentity.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The favorites file: a compound file with the streams "Count" (the number
// of records, as text) and "Items" (one string value per record, oldest
// first) and six summary properties. Nothing is kept between calls: each
// operation opens the file, works and releases it. A save holds it
// exclusively, waiting a few seconds for another writer; a read waits a
// moment for a save in progress, keeps writers out while it reads and needs
// no write access to the folder.
namespace FavoritesStore {

// The three characters between the fields of a record: title, URL, extra.
inline const QString kFieldSeparator = FavoriteRecord::kFieldSeparator;

inline const QString kTitle = QStringLiteral("Quillon XP - Favorites File");
inline const QString kSubject = QStringLiteral("Quillon XP - Storage Favorites");
QString comment(); // "More info on " + the maker's web address

// What a save does once written: nothing (the store never runs the event loop).
enum class AfterSave { Nothing };

// The stored records in order; none when the file is missing, held or
// unreadable. Never creates the file. When "Items" holds fewer values than
// "Count" says, the readable ones.
QStringList load(const QString &dataFile);

// The stored records, read whole; nothing when the file is there but could
// not be read whole (held past the wait, damaged). A missing file is an
// empty store. For what must not take "unreadable" for "empty" (an export).
std::optional<QStringList> loadWhole(const QString &dataFile);

// The same records handed one by one as views, without a copy each (for
// lists that keep only some of them). Returns the stored text the views
// point into; keeping it keeps them valid. Empty when the file did not open.
QByteArray visit(const QString &dataFile, const std::function<void(QStringView)> &record);

// Appends the non-blank new records in one save, creating the file when it
// does not exist; blank old records are dropped. False when nothing could
// be written (the file stayed held, or the disk refused the write). A file
// that is no favorites file at all is kept as "<file>.bad" and replaced.
bool save(const QString &dataFile, const QStringList &newRecords, AfterSave after = AfterSave::Nothing);

// The same, letting the caller choose within the save (the file held) which
// new records are appended, knowing the records already stored. A prepare
// that returns nothing calls the save off: the file stays as it was, and
// the save returns false.
using Prepare = std::function<std::optional<QStringList>(const QStringList &stored, const QStringList &newRecords)>;
bool save(const QString &dataFile, const QStringList &newRecords, AfterSave after, const Prepare &prepare);

// What a save added to which version of the file, so that what was read
// of the version before can be extended rather than read again.
struct Appended {
    bool kept = false;          // false: the stored records were not kept as read (read the file again)
    FileIdentity before;        // the version the records were added to
    qsizetype storedBefore = 0; // how many records it held
    FileIdentity after;         // the version written
    QStringList records;        // the records added, in order, none blank
};
bool save(const QString &dataFile, const QStringList &newRecords, Appended &appended);

// Replaces the stored records with what change makes of them, in one
// atomic save with the file held. A change that returns nothing calls the
// save off; false then, and when the file is missing or could not be
// written. The old file stands until the new one is whole.
using Change = std::function<std::optional<QStringList>(const QStringList &stored)>;
bool rewrite(const QString &dataFile, const Change &change);

using FavoriteRecord::fieldText;

// Empty or spaces only.
bool isBlank(const QString &record);
QString composeRecord(const QString &title, const QString &url);
// The number the stored revision begins with, plus one, as text.
QString nextRevision(const QString &stored);
// The account's user name.
QString userName();

} // namespace FavoritesStore
