#include "navkit/listctl/favoriterows.h"

#include <limits>

FavoriteRows::FavoriteRows(std::shared_ptr<const FavoritesIndex> index, QStringView search)
    : m_index(std::move(index))
{
    // The list control counts rows in int.
    m_listed = m_index->matching(search, std::numeric_limits<int>::max());
}

qsizetype FavoriteRows::recordAt(int row) const
{
    return row < 0 || size_t(row) >= m_listed.size() ? -1 : m_listed[size_t(row)];
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
