#include "linkimport/duplicatefilter.h"

#include "navkit/records/favoriterecord.h"

#include <QStringMatcher>

#include <algorithm>

namespace {

// A piece's place in the bit table: FNV-1a over its UTF-16 units.
quint64 pieceHash(const QChar *piece)
{
    quint64 h = 1469598103934665603ULL;
    for (int i = 0; i < DuplicateFilter::kPiece; ++i) {
        h ^= piece[i].unicode();
        h *= 1099511628211ULL;
    }
    return h;
}

} // namespace

void DuplicateFilter::follow(const QString &dataFile, const QStringList &stored)
{
    const std::optional<FileIdentity> now = FileIdentity::of(dataFile);
    // Unchanged since our last save: what the save read is what we hold.
    if (m_file && now == m_file && stored.size() == m_count)
        return;
    reset(stored);
}

void DuplicateFilter::reset(const QStringList &stored)
{
    m_file.reset();
    m_count = 0;
    m_urls.clear();
    qsizetype chars = 0;
    for (const QString &r : stored)
        chars += r.size() + 1;
    m_text.clear();
    m_text.reserve(chars * 2);
    m_pieces = 0;
    m_bits.assign(size_t(wordsFor(chars)), 0);
    for (const QString &record : stored)
        add(record, FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
}

qsizetype DuplicateFilter::wordsFor(qsizetype pieces)
{
    // About 16 bits per piece: a new address of 40 characters then passes
    // the test on its own pieces only when it really is there. Capped at
    // 16 MiB; a larger store only gets searched more often.
    qsizetype words = 1024;
    while (words * 64 < pieces * 16 && words < (qsizetype(1) << 21))
        words *= 2;
    return words;
}

void DuplicateFilter::mark(QStringView text)
{
    m_pieces += std::max<qsizetype>(text.size() - kPiece + 1, 0);
    const quint64 mask = quint64(m_bits.size()) * 64 - 1;
    for (qsizetype i = 0; i + kPiece <= text.size(); ++i) {
        const quint64 bit = pieceHash(text.data() + i) & mask;
        m_bits[size_t(bit / 64)] |= quint64(1) << (bit % 64);
    }
}

bool DuplicateFilter::allPiecesMarked(QStringView url) const
{
    const quint64 mask = quint64(m_bits.size()) * 64 - 1;
    for (qsizetype i = 0; i + kPiece <= url.size(); ++i) {
        const quint64 bit = pieceHash(url.data() + i) & mask;
        if (!(m_bits[size_t(bit / 64)] & (quint64(1) << (bit % 64))))
            return false;
    }
    return true;
}

bool DuplicateFilter::contains(const QString &url) const
{
    if (url.isEmpty())
        return true; // the empty text is in any text
    if (m_urls.contains(url))
        return true;
    if (url.size() >= kPiece && !allPiecesMarked(url))
        return false;
    return QStringMatcher(url, Qt::CaseSensitive).indexIn(m_text) >= 0;
}

void DuplicateFilter::add(const QString &record, const QString &url)
{
    // A line break after each record keeps a match within one record, as
    // the stored text never holds one inside a record.
    const qsizetype from = m_text.size();
    m_text += record;
    m_text += u'\n';
    // Pieces that reach over the record's end cannot be part of an address.
    mark(QStringView(m_text).mid(from, record.size()));
    if (const qsizetype words = wordsFor(m_pieces); words > qsizetype(m_bits.size())) {
        // Grown past its size: marked anew in a table twice as large or more.
        m_bits.assign(size_t(words), 0);
        m_pieces = 0;
        mark(m_text);
    }
    if (!url.isEmpty())
        m_urls.insert(url);
    ++m_count;
}

void DuplicateFilter::saved(const QString &dataFile, bool ok)
{
    m_file = ok ? FileIdentity::of(dataFile) : std::nullopt;
}

bool DuplicateFilter::holdsAll(const QString &dataFile, const QStringList &urls) const
{
    if (!m_file || FileIdentity::of(dataFile) != m_file)
        return false;
    return std::all_of(urls.cbegin(), urls.cend(), [this](const QString &url) { return contains(url); });
}
