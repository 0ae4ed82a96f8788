// The favorites list's rows.
#pragma once

#include "navkit/favorites/favoritesindex.h"
#include "navkit/listctl/rowmodel.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

// The favorites list's rows: the records of the store's index that hold the
// search text, each row made when drawn. A keystroke in the filter costs
// one search of the index and a list of record numbers.
class FavoriteRows : public RowModel::Source
{
public:
    // A record found by its page's text, and a snippet of that text.
    using TextMatch = std::pair<qsizetype, QString>;

    // The records holding search, then those of textMatches not listed yet
    // (marked as found in the page's text).
    FavoriteRows(std::shared_ptr<const FavoritesIndex> index, QStringView search,
                 const std::vector<TextMatch> &textMatches = {});

    int count() const override { return m_all ? int(m_byText) : int(m_listed.size()); }
    QString text(int row) const override;
    QString note(int row) const override;
    std::shared_ptr<const FavoritesIndex> index() const { return m_index; }
    // The row's address (trimmed) and whole stored record; empty past the end.
    QString url(int row) const;
    QString record(int row) const;

private:
    qsizetype recordAt(int row) const;

    std::shared_ptr<const FavoritesIndex> m_index;
    std::vector<qsizetype> m_listed;
    bool m_all = false;              // every record, in stored order (a blank search): none is listed in m_listed
    std::size_t m_byText = 0;        // rows from here on were found by their page's text
    std::vector<QString> m_snippets; // of those rows
};
