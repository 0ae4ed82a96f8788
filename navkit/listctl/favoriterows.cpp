#include "favoriterows.h"

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
    return i < 0 ? QString() : QStringLiteral("  ").append(m_index->title(i).trimmed());
}

QString FavoriteRows::url(int row) const
{
    return m_index->url(recordAt(row)).trimmed().toString();
}

QString FavoriteRows::record(int row) const
{
    return m_index->record(recordAt(row)).toString();
}
