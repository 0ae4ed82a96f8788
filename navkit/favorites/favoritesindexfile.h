// The favorites index kept on disk beside the store.
#pragma once

#include "platform/fileidentity.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>
#include <string_view>

// The favorites index kept on disk beside the store ("_favorites_index.dat"
// for "_favorites.dat"), for the version of the store it names: a new start
// maps it instead of reading and folding the whole store, so holding a
// hundred thousand favorites costs memory only for the pages a search or a
// lookup touches. Records this process adds go to a small file of their own
// ("..._index_added.dat") until they are worth writing the index again.
// Both are caches: one that is damaged, or of another version, is not used
// and written anew from the store.
namespace FavoritesIndexFile {

// One record: where it lies in the text (UTF-16 units), where its title
// ends and its address lies (urlStart -1: none).
struct Record {
    quint64 offset;
    quint32 length;
    qint32 titleLength;
    qint32 urlStart;
    qint32 urlLength;
};
// The addresses' hashes with their records, sorted: a lookup by address
// touches a few pages, not every record.
struct UrlKey {
    quint64 hash;
    quint64 record;
    auto operator<=>(const UrlKey &) const = default;
};
quint64 urlHash(QStringView trimmedUrl);

// The parts of one index, wherever they lie.
struct Parts {
    std::span<const Record> records;
    std::span<const quint64> foldedStarts; // where each record starts in folded
    std::span<const UrlKey> urls;
    std::u16string_view text;
    std::string_view folded; // FoldedText's form
};

QString indexFor(const QString &dataFile);
QString addedFor(const QString &dataFile);

// Writes parts as the index of the store's version store, atomically.
bool write(const QString &path, const FileIdentity &store, const Parts &parts);

struct Mapped {
    Parts parts;
    FileIdentity store;               // the version of the store it indexes
    std::shared_ptr<const void> keep; // the mapping the parts lie in
};
// The index at path, mapped; nothing when it is missing or not whole. The
// records' fields are not checked here: readers clamp them.
std::optional<Mapped> map(const QString &path);

struct Added {
    FileIdentity base;   // the version the index file was written for
    FileIdentity store;  // the version with the records below at its end
    QStringList records; // added since base, in order
};
bool writeAdded(const QString &path, const Added &added);
std::optional<Added> readAdded(const QString &path);

} // namespace FavoritesIndexFile
