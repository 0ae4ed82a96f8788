// The records of one favorites file, kept while the file stays the same, with a folded copy to search.
#pragma once

#include "navkit/favorites/favoritesindexfile.h"
#include "platform/foldedtext.h"

namespace FavoritesStore {
struct Appended;
}

#include <QByteArray>
#include <QString>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

// The records of one favorites file, kept while the file stays the same
// (device, inode, size and change time: every save replaces the file),
// with a folded copy to search. Searching as the user types then costs no
// read of the store. What is kept is mostly the index file beside the
// store, mapped: a new start reads the store only when that file is
// missing, damaged or of another version, and writes it then.
class FavoritesIndex
{
public:
    // The records of dataFile as it is now; an empty index when it cannot
    // be read. The last file's index is kept for the next call.
    static std::shared_ptr<const FavoritesIndex> of(const QString &dataFile);
    // The same without waiting: the index kept when dataFile is unchanged
    // since it was read; none when it is not, or while another thread reads
    // a store.
    static std::shared_ptr<const FavoritesIndex> ifRead(const QString &dataFile);
    // After this process added records to dataFile: the index kept for the
    // version they were added to becomes that of the version written, with
    // them at the end, instead of the file being read again.
    static void extend(const QString &dataFile, const FavoritesStore::Appended &appended);
    // Forgets what is kept, as a new process starts (tests, benchmarks).
    static void forgetKept();

    qsizetype count() const { return m_baseCount + qsizetype(m_parts.records.size()); }
    QStringView record(qsizetype index) const;
    // The first field (the title) and the second (the address; null when
    // the record has a single field), untrimmed.
    QStringView title(qsizetype index) const;
    QStringView url(qsizetype index) const;
    // Up to limit records holding search in any field, any case, in stored
    // order.
    std::vector<qsizetype> matching(QStringView search, qsizetype limit) const;
    static constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max();
    // The first record whose address is address (blanks around either ignored);
    // -1 when none.
    qsizetype findUrl(QStringView address) const;

private:
    using Record = FavoritesIndexFile::Record;
    // An index of records (views into text), in memory.
    static std::shared_ptr<FavoritesIndex> built(QByteArray text, const std::vector<QStringView> &views);
    // base with records after its own, in memory beside it.
    static std::shared_ptr<FavoritesIndex> withAdded(const std::shared_ptr<const FavoritesIndex> &base,
                                                     const QStringList &added);
    // dataFile's index file mapped (with what this process added since),
    // when it is whole and of the version store; none otherwise.
    static std::shared_ptr<const FavoritesIndex> fromFile(const QString &dataFile, const FileIdentity &store);
    // Writes this index, all of it, as the index file of store's version and
    // returns it mapped; none when it cannot be written.
    std::shared_ptr<const FavoritesIndex> saved(const QString &dataFile, const FileIdentity &store) const;
    void view(const FavoritesIndexFile::Parts &parts);
    bool own(qsizetype index) const { return index >= m_baseCount && index < count(); }
    const Record *recordAt(qsizetype index) const;

    // The records from 0 to m_baseCount are the base's (an index read
    // whole, then extended); those after lie in this one.
    std::shared_ptr<const FavoritesIndex> m_base;
    qsizetype m_baseCount = 0;
    // The memory the views below lie in: the mapped index file, or buffers
    // of this index's own.
    std::shared_ptr<const void> m_keep;
    FavoritesIndexFile::Parts m_parts;
    FoldedText m_folded;
    // The version of the store the mapped index file was written for;
    // none when this index lies in memory.
    std::optional<FileIdentity> m_mappedFor;
};
