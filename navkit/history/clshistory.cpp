#include "clshistory.h"

#include "clshistoryitem.h"
#include "logging.h"

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
    const auto entries = m_store->enumerate(URLStartsWith, Flags);
    if (!entries) {
        qCWarning(lcFiles) << "history not readable; collection kept";
        return false;
    }
    setItems(*entries);
    return true;
}

void clsHistory::setItems(const std::vector<UrlHistoryEntry> &entries)
{
    // Items a host was given stay valid (they live as long as the
    // collection); the others go now, so a refresh costs no memory.
    for (const auto &item : std::as_const(m_items)) {
        if (item && item->parent() == this && !item->handedOut())
            delete item.data();
    }
    m_items.clear();
    m_items.reserve(qsizetype(entries.size()));
    for (const UrlHistoryEntry &e : entries) {
        auto *item = new clsHistoryItem(this);
        item->fill(e);
        m_items.append(item);
    }
}

QObject *clsHistory::Item(int Index) const
{
    if (Index < 1 || Index > m_items.size())
        return nullptr;
    clsHistoryItem *item = m_items.at(Index - 1).data();
    if (item)
        item->markHandedOut();
    return item;
}

bool clsHistory::Remove(int Index)
{
    if (Index < 1 || Index > m_items.size())
        return false;
    const QPointer<clsHistoryItem> item = m_items.at(Index - 1);
    if (!item || !m_store->deleteUrl(item->URL(), 0))
        return false;
    m_items.removeAt(Index - 1);
    if (item->parent() == this && !item->handedOut())
        delete item.data();
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
    list.reserve(m_items.size());
    for (const auto &item : m_items) {
        if (item)
            item->markHandedOut();
        list.append(item.data());
    }
    return list;
}

std::vector<UrlHistoryEntry> clsHistory::entries() const
{
    std::vector<UrlHistoryEntry> out;
    out.reserve(size_t(m_items.size()));
    for (const auto &item : m_items) {
        if (item)
            out.push_back(item->entry());
    }
    return out;
}
