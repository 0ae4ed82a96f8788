#include "navkit/listctl/historyrows.h"

#include "navkit/listctl/listrules.h"
#include "platform/logging.h"
#include "platform/timeconv.h"

#include <QDateTime>

#include <limits>
#include <tuple>

namespace {

// Pages kept at once: a screenful scrolled back and forth is read once, a
// fling through a million rows does not keep them all.
constexpr int kPagesKept = 64;

} // namespace

HistoryRows::HistoryRows(std::optional<QDate> day, const QString &prefix, quint64 now)
    : m_store(std::make_unique<UrlHistoryStore>())
{
    m_range.prefix = prefix;
    m_range.expiresAfter = now;
    m_range.before = std::numeric_limits<qint64>::max();
    if (day)
        std::tie(m_range.from, m_range.before) = dayRange(*day);
    const auto first = m_store->visitsNewestFirst(m_range, 0, kPageRows);
    if (!first) {
        qCWarning(lcFiles) << "history not listed: the store cannot be read" << m_store->databasePath();
        return;
    }
    // Visits made while the list is shown would push its rows down between
    // the pages read: the list ends at the newest visit it showed first.
    if (!first->empty())
        m_range.before = std::min<quint64>(m_range.before, first->front().lastVisited + 1);
    m_count = int(first->size());
    m_counted = m_count < kPageRows;
    ListRules::Rows rows = ListRules::historyRows(*first, std::nullopt);
    m_pages.insert(0, Page{std::move(rows.rows), std::move(rows.urls)});
}

void HistoryRows::setCount(qint64 count)
{
    m_count = std::max(m_count, int(std::min<qint64>(count, std::numeric_limits<int>::max())));
    m_counted = true;
}

std::pair<quint64, quint64> HistoryRows::dayRange(QDate day)
{
    const auto startOf = [](QDate d) { return TimeConv::toFileTime(d.startOfDay(Qt::LocalTime).toUTC()); };
    return {startOf(day), startOf(day.addDays(1))};
}

const HistoryRows::Page *HistoryRows::page(int row) const
{
    if (row < 0 || row >= m_count)
        return nullptr;
    const int number = row / kPageRows;
    if (const auto it = m_pages.constFind(number); it != m_pages.cend())
        return &*it;
    if (m_pages.size() >= kPagesKept)
        m_pages.clear();
    const auto entries = m_store->visitsNewestFirst(m_range, qint64(number) * kPageRows, kPageRows);
    if (!entries) {
        // Busy or damaged: blank rows now, read again when next drawn.
        qCWarning(lcFiles) << "history rows not read" << number * kPageRows << m_store->databasePath();
        static const Page none;
        return &none;
    }
    // Visits within the same instant order as the whole list always did:
    // by time text, then title, then address, all descending.
    ListRules::Rows rows = ListRules::historyRows(*entries, std::nullopt);
    return &*m_pages.insert(number, Page{std::move(rows.rows), std::move(rows.urls)});
}

QString HistoryRows::text(int row) const
{
    const Page *p = page(row);
    return p ? p->rows.value(row % kPageRows) : QString();
}

QString HistoryRows::url(int row) const
{
    const Page *p = page(row);
    return p ? p->urls.value(row % kPageRows) : QString();
}
