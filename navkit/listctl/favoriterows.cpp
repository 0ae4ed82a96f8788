#include "navkit/listctl/favoriterows.h"

#include <algorithm>
#include <limits>

FavoriteRows::FavoriteRows(std::shared_ptr<const FavoritesIndex> index, QStringView search,
                           const std::vector<TextMatch> &textMatches)
    : m_index(std::move(index))
{
    // The list control counts rows in int.
    if (search.trimmed().isEmpty() && textMatches.empty()) {
        // Every record: a list of a million numbers from 0 up is not made.
        m_all = true;
        m_byText = size_t(std::min<qsizetype>(m_index->count(), std::numeric_limits<int>::max()));
        return;
    }
    m_listed = m_index->matching(search, std::numeric_limits<int>::max());
    m_byText = m_listed.size();
    if (textMatches.empty())
        return;
    // The matches are in stored order: a binary search tells a listed one.
    const auto listedEnd = m_listed.begin() + qsizetype(m_byText);
    for (const auto &[record, snippet] : textMatches) {
        if (record >= 0 && record < m_index->count() && !std::binary_search(m_listed.begin(), listedEnd, record)
            && std::find(listedEnd, m_listed.end(), record) == m_listed.end()) {
            m_listed.push_back(record);
            m_snippets.push_back(snippet);
        }
    }
}

QString FavoriteRows::note(int row) const
{
    if (row < 0 || size_t(row) < m_byText || row >= count())
        return {};
    return QStringLiteral("Found in the page text: ") + m_snippets[size_t(row) - m_byText];
}

qsizetype FavoriteRows::recordAt(int row) const
{
    if (row < 0 || row >= count())
        return -1;
    return m_all ? row : m_listed[size_t(row)];
}

QString FavoriteRows::text(int row) const
{
    const qsizetype i = recordAt(row);
    if (i < 0)
        return {};
    // An untitled favorite is listed by its address.
    const QStringView title = m_index->title(i).trimmed();
    return QStringLiteral("  ").append(title.isEmpty() ? m_index->url(i).trimmed() : title);
}

QString FavoriteRows::url(int row) const
{
    return m_index->url(recordAt(row)).trimmed().toString();
}

QString FavoriteRows::record(int row) const
{
    return m_index->record(recordAt(row)).toString();
}
