#include "navkit/history/clshistory.h"

#include "navkit/history/clshistoryitem.h"
#include "platform/logging.h"

clsHistory::clsHistory(QObject *parent)
    : QObject(parent)
    , m_store(std::make_unique<UrlHistoryStore>())
{
    Refresh(QString(), 0);
}

clsHistory::~clsHistory() = default;

bool clsHistory::AddURL(const QString &URL, const QString &Title, quint32 Flags)
{
    return m_store->addUrl(URL, Title, Flags);
}

bool clsHistory::Clear()
{
    if (!m_store->clear())
        return false;
    return Refresh(QString(), 0);
}

bool clsHistory::Refresh()
{
    return Refresh(QString(), 0);
}

bool clsHistory::Refresh(const QString &URLStartsWith)
{
    return Refresh(URLStartsWith, 0);
}

bool clsHistory::Refresh(const QString &URLStartsWith, quint32 Flags)
{
    auto entries = m_store->enumerate(URLStartsWith, Flags);
    if (!entries) {
        qCWarning(lcFiles) << "history not readable; collection kept";
        return false;
    }
    // Items handed out before stay valid (they live as long as the
    // collection); the new entries get theirs when asked for.
    m_entries = std::move(*entries);
    m_items.assign(m_entries.size(), nullptr);
    return true;
}

clsHistoryItem *clsHistory::itemAt(qsizetype index) const
{
    QPointer<clsHistoryItem> &item = m_items[size_t(index)];
    if (!item) {
        auto *made = new clsHistoryItem(const_cast<clsHistory *>(this));
        made->fill(m_entries[size_t(index)]);
        item = made;
    }
    item->markHandedOut();
    return item.data();
}

QObject *clsHistory::Item(int Index) const
{
    if (Index < 1 || Index > Count())
        return nullptr;
    return itemAt(Index - 1);
}

bool clsHistory::Remove(int Index)
{
    if (Index < 1 || Index > Count())
        return false;
    if (!m_store->deleteUrl(m_entries[size_t(Index - 1)].url, 0))
        return false;
    m_entries.erase(m_entries.begin() + (Index - 1));
    m_items.erase(m_items.begin() + (Index - 1));
    return true;
}

bool clsHistory::DeleteURL(const QString &URL, quint32 Flags)
{
    if (!m_store->deleteUrl(URL, Flags))
        return false;
    return Refresh(QString(), 0);
}

QObjectList clsHistory::NewEnum() const
{
    QObjectList list;
    list.reserve(Count());
    for (qsizetype i = 0; i < Count(); ++i)
        list.append(itemAt(i));
    return list;
}
