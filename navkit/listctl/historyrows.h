// The history list's rows, newest visit first, read from the store a page at a time as they are drawn.
#pragma once

#include "navkit/listctl/rowmodel.h"
#include "platform/urlhistorystore.h"

#include <QDate>
#include <QHash>

#include <memory>
#include <optional>

// The history list's rows, newest visit first, read from the store a page
// at a time as they are drawn: a list of a million visits opens as fast as
// one of a hundred. The list ends at the newest visit stored when it is made
// (later visits wait for the next refresh), so rows keep their places while
// it is shown. Only the first page is read when it is made: a longer list
// holds those rows until its owner counts the range (away from the
// window's thread) and hands the count to setCount.
class HistoryRows : public RowModel::Source
{
public:
    // Visits of the given local day (every day when none) whose URL starts
    // with prefix and whose entries have not expired at now (file time).
    HistoryRows(std::optional<QDate> day, const QString &prefix, quint64 now);

    int count() const override { return m_count; }
    // Whether count() is all the range holds; when not, range() is what to
    // count.
    bool counted() const { return m_counted; }
    const UrlHistoryStore::VisitRange &range() const { return m_range; }
    void setCount(qint64 count);
    QString text(int row) const override;
    QString url(int row) const;

    // The file-time range of a local day: [start of day, start of the next).
    static std::pair<quint64, quint64> dayRange(QDate day);

    static constexpr int kPageRows = 256;

private:
    struct Page {
        QStringList rows;
        QStringList urls;
    };
    const Page *page(int row) const;

    std::unique_ptr<UrlHistoryStore> m_store;
    UrlHistoryStore::VisitRange m_range;
    int m_count = 0;
    bool m_counted = true;
    mutable QHash<int, Page> m_pages;
};
