// The records of one favorites file, read once and kept, with a folded copy to search, while the file stays the same.
#pragma once

#include "platform/foldedtext.h"

namespace FavoritesStore {
struct Appended;
}

#include <QByteArray>
#include <QString>

#include <limits>
#include <memory>
#include <utility>
#include <vector>

// The records of one favorites file, read once and kept while the file
// stays the same (device, inode, size and change time: every save replaces
// the file), with a folded copy to search. Searching as the user types then
// costs no read of the store.
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

    qsizetype count() const { return m_baseCount + qsizetype(m_records.size()); }
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
    // The records from 0 to m_baseCount are the base's (an index read
    // whole, then extended); those after lie in this one.
    std::shared_ptr<const FavoritesIndex> m_base;
    qsizetype m_baseCount = 0;
    // Indexes the records of views, which lie in text.
    void add(QByteArray text, const std::vector<QStringView> &views);
    bool own(qsizetype index) const { return index >= m_baseCount && index < count(); }

    QByteArray m_text;                                      // the stored text the records lie in
    std::vector<std::pair<qsizetype, qsizetype>> m_records; // offset and length, in UTF-16 units
    // Where the title ends and the address lies in each record (-1: no
    // address), so listing a million rows splits none of them again.
    struct Fields {
        qint32 titleLength;
        qint32 urlStart;
        qint32 urlLength;
    };
    std::vector<Fields> m_fields;
    FoldedText m_folded;
};
