// The favorites list's rows.
#pragma once

#include "navkit/favorites/favoritesindex.h"
#include "navkit/listctl/rowmodel.h"

#include <memory>
#include <vector>

// The favorites list's rows: the records of the store's index that hold the
// search text, each row made when drawn. A keystroke in the filter costs
// one search of the index and a list of record numbers.
class FavoriteRows : public RowModel::Source
{
public:
    FavoriteRows(std::shared_ptr<const FavoritesIndex> index, QStringView search);

    int count() const override { return int(m_listed.size()); }
    QString text(int row) const override;
    // The row's address (trimmed) and whole stored record; empty past the end.
    QString url(int row) const;
    QString record(int row) const;

private:
    qsizetype recordAt(int row) const;

    std::shared_ptr<const FavoritesIndex> m_index;
    std::vector<qsizetype> m_listed;
};
