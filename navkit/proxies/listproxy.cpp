#include "navkit/proxies/listproxy.h"

#include "platform/componentfactory.h"
#include "platform/logging.h"

#include <QMetaObject>
#include <QVariant>

namespace {
// Calls by name; Q_ARG keeps each argument's type as the control declares it.
QString callText(QWidget *o, const char *method, int index)
{
    QString result;
    if (o)
        QMetaObject::invokeMethod(o, method, Qt::DirectConnection, Q_RETURN_ARG(QString, result), Q_ARG(int, index));
    return result;
}
void callTwo(QWidget *o, const char *method, const QString &a, const QString &b)
{
    if (o)
        QMetaObject::invokeMethod(o, method, Qt::DirectConnection, Q_ARG(QString, a), Q_ARG(QString, b));
}
} // namespace

ListProxy ListProxy::create(QWidget *parent)
{
    QObject *object = ComponentFactory::create(QStringLiteral("QuillonHelper.List"), parent);
    auto *widget = qobject_cast<QWidget *>(object);
    if (object && !widget)
        delete object;
    return ListProxy(widget);
}

int ListProxy::ListCount() const
{
    return m_control ? m_control->property("ListCount").toInt() : 0;
}

int ListProxy::ListIndex() const
{
    return m_control ? m_control->property("ListIndex").toInt() : -1;
}

void ListProxy::setListImage(const QString &name)
{
    if (m_control)
        m_control->setProperty("ListImage", name);
}

void ListProxy::setFocusRect(int value)
{
    if (m_control)
        m_control->setProperty("FocusRect", value);
}

void ListProxy::setSorted(bool value)
{
    if (m_control)
        m_control->setProperty("Sorted", value);
}

QString ListProxy::List(int index) const
{
    return callText(m_control, "List", index);
}

QString ListProxy::ListUrl(int index) const
{
    return callText(m_control, "ListUrl", index);
}

QString ListProxy::ItemUrl(int index) const
{
    return callText(m_control, "ItemUrl", index);
}

void ListProxy::Clear()
{
    if (m_control)
        QMetaObject::invokeMethod(m_control, "Clear", Qt::DirectConnection);
}

void ListProxy::RefreshHistoryEx(const QString &date, const QString &mask)
{
    callTwo(m_control, "RefreshHistoryEx", date, mask);
}

void ListProxy::RefreshFavoritesLater(const QString &dataFile)
{
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "RefreshFavoritesLater", Qt::DirectConnection,
                                      Q_ARG(QString, dataFile)))
        qCWarning(lcFiles) << "list control: RefreshFavoritesLater not called";
}

void ListProxy::RefreshFavoritesEx(const QString &dataFile, const QString &search)
{
    callTwo(m_control, "RefreshFavoritesEx", dataFile, search);
}

void ListProxy::InsertFavorites(const QString &dataFile, const QString &item)
{
    callTwo(m_control, "InsertFavorites", dataFile, item);
}

int ListProxy::ImportFromIE(const QString &dataFile, bool clear)
{
    int count = 0;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "ImportFromIE", Qt::DirectConnection, Q_RETURN_ARG(int, count),
                                  Q_ARG(QString, dataFile), Q_ARG(bool, clear));
    return count;
}

int ListProxy::ImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    int added = -1;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "ImportBookmarks", Qt::DirectConnection, Q_RETURN_ARG(int, added),
                                  Q_ARG(QString, dataFile), Q_ARG(QString, htmlFile));
    return added;
}

bool ListProxy::connectImport(QObject *receiver, const char *progressSlot, const char *finishedSlot)
{
    if (!m_control)
        return false;
    const bool connected = QObject::connect(m_control, SIGNAL(ImportProgress(int)), receiver, progressSlot)
        && QObject::connect(m_control, SIGNAL(ImportFinished(int)), receiver, finishedSlot);
    if (!connected)
        qCWarning(lcFiles) << "list control: import signals not connected";
    return connected;
}

bool ListProxy::connectInsert(QObject *receiver, const char *finishedSlot)
{
    const bool connected =
        m_control && QObject::connect(m_control, SIGNAL(InsertFinished(QString, bool)), receiver, finishedSlot);
    if (!connected)
        qCWarning(lcFiles) << "list control: insert signal not connected";
    return connected;
}

bool ListProxy::connectSaves(QObject *receiver, const char *deletedSlot, const char *replacedSlot,
                             const char *exportedSlot)
{
    const bool connected = m_control
        && QObject::connect(m_control, SIGNAL(DeleteFinished(QStringList, int)), receiver, deletedSlot)
        && QObject::connect(m_control, SIGNAL(ReplaceFinished(QString, QString, bool)), receiver, replacedSlot)
        && QObject::connect(m_control, SIGNAL(ExportFinished(QString, bool)), receiver, exportedSlot);
    if (!connected)
        qCWarning(lcFiles) << "list control: save signals not connected";
    return connected;
}

void ListProxy::StartDeleteFavorites(const QString &dataFile, const QStringList &records)
{
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "StartDeleteFavorites", Qt::DirectConnection, Q_ARG(QString, dataFile),
                                      Q_ARG(QStringList, records)))
        qCWarning(lcFiles) << "list control: StartDeleteFavorites not called";
}

void ListProxy::StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "StartReplaceFavorite", Qt::DirectConnection, Q_ARG(QString, dataFile),
                                      Q_ARG(QString, oldRecord), Q_ARG(QString, newRecord)))
        qCWarning(lcFiles) << "list control: StartReplaceFavorite not called";
}

void ListProxy::StartExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "StartExportBookmarks", Qt::DirectConnection, Q_ARG(QString, dataFile),
                                      Q_ARG(QString, htmlFile)))
        qCWarning(lcFiles) << "list control: StartExportBookmarks not called";
}

bool ListProxy::StartImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    bool started = false;
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "StartImportBookmarks", Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, started), Q_ARG(QString, dataFile), Q_ARG(QString, htmlFile)))
        qCWarning(lcFiles) << "list control: StartImportBookmarks not called";
    return started;
}

void ListProxy::CancelImport()
{
    if (m_control)
        QMetaObject::invokeMethod(m_control, "CancelImport", Qt::DirectConnection);
}

bool ListProxy::ExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    bool done = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "ExportBookmarks", Qt::DirectConnection, Q_RETURN_ARG(bool, done),
                                  Q_ARG(QString, dataFile), Q_ARG(QString, htmlFile));
    return done;
}

QString ListProxy::ItemRecord(int index) const
{
    return callText(m_control, "ItemRecord", index);
}

QList<int> ListProxy::SelectedRows() const
{
    QList<int> rows;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "SelectedRows", Qt::DirectConnection, Q_RETURN_ARG(QList<int>, rows));
    return rows;
}

void ListProxy::setMultiSelect(bool value)
{
    if (m_control)
        m_control->setProperty("MultiSelect", value);
}

int ListProxy::DeleteFavorites(const QString &dataFile, const QStringList &records)
{
    int removed = -1;
    if (m_control
        && !QMetaObject::invokeMethod(m_control, "DeleteFavorites", Qt::DirectConnection, Q_RETURN_ARG(int, removed),
                                      Q_ARG(QString, dataFile), Q_ARG(QStringList, records)))
        qCWarning(lcFiles) << "the list control did not take DeleteFavorites";
    return removed;
}

bool ListProxy::ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    bool done = false;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "ReplaceFavorite", Qt::DirectConnection, Q_RETURN_ARG(bool, done),
                                  Q_ARG(QString, dataFile), Q_ARG(QString, oldRecord), Q_ARG(QString, newRecord));
    return done;
}

QString ListProxy::FindFavorite(const QString &dataFile, const QString &url) const
{
    QString record;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "FindFavorite", Qt::DirectConnection, Q_RETURN_ARG(QString, record),
                                  Q_ARG(QString, dataFile), Q_ARG(QString, url));
    return record;
}

QStringList ListProxy::SuggestFavorites(const QString &dataFile, const QString &search, int max) const
{
    QStringList records;
    if (m_control)
        QMetaObject::invokeMethod(m_control, "SuggestFavorites", Qt::DirectConnection,
                                  Q_RETURN_ARG(QStringList, records), Q_ARG(QString, dataFile), Q_ARG(QString, search),
                                  Q_ARG(int, max));
    return records;
}

void ListProxy::selectRow(int index)
{
    if (m_control)
        QMetaObject::invokeMethod(m_control, "selectRow", Qt::DirectConnection, Q_ARG(int, index));
}
