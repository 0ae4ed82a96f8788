// Whether an address is already anywhere in the stored text (title, address or keyword text of any record), for the saves of one import.
#pragma once

#include "platform/fileidentity.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Whether an address is already anywhere in the stored text (title,
// address or keyword text of any record), for the saves of one import.
// The stored text is indexed once and then grows with what the import
// adds, so each folder's save costs what its own records cost, not a scan
// of the whole store per record:
//   - an address stored as some record's address is present at once;
//   - otherwise, unless every 8-character piece of it occurs somewhere in
//     the text (a bit per piece, hashed), it is not there;
//   - only then is the text searched.
// The index is kept while the store file is the one the last save of the
// import wrote; a store changed by anybody else is indexed anew.
class DuplicateFilter
{
public:
    // Makes the index follow stored (the store's records as the save read
    // them from dataFile).
    void follow(const QString &dataFile, const QStringList &stored);
    bool contains(const QString &url) const;
    void add(const QString &record, const QString &url);
    // Called after the save that stored the records added: the index is
    // the store's as long as the file stays that one.
    void saved(const QString &dataFile, bool ok);
    // True when the index is that of dataFile as it is now and holds every
    // address given: a save of them would add nothing.
    bool holdsAll(const QString &dataFile, const QStringList &urls) const;

    static constexpr int kPiece = 8;

private:
    void reset(const QStringList &stored);
    static qsizetype wordsFor(qsizetype pieces);
    void mark(QStringView text);
    bool allPiecesMarked(QStringView url) const;

    std::optional<FileIdentity> m_file; // the version the index describes
    qsizetype m_count = -1;             // records it holds
    QString m_text;                     // every record, each followed by a line break
    QSet<QString> m_urls;
    std::vector<quint64> m_bits; // a bit per hashed piece of m_text
    qsizetype m_pieces = 0;      // pieces marked
};
