#include "navkit/proxies/favoritesproxy.h"

#include "platform/componentfactory.h"
#include "platform/logging.h"

#include <QMetaObject>
#include <QObject>

namespace {
// A call the object did not take (no such method, other arguments) is logged.
bool taken(bool invoked, const char *method)
{
    if (!invoked)
        qCWarning(lcFiles) << "favorites object did not take" << method;
    return invoked;
}
} // namespace

FavoritesProxy FavoritesProxy::create(QObject *parent)
{
    return FavoritesProxy(ComponentFactory::create(QStringLiteral("QuillonHelper.Favorites"), parent));
}

bool FavoritesProxy::InsertFavorite(const QString &dataFile, const QString &record)
{
    bool saved = false;
    return m_object
        && taken(QMetaObject::invokeMethod(m_object, "InsertFavorite", Qt::DirectConnection, Q_RETURN_ARG(bool, saved),
                                           Q_ARG(QString, dataFile), Q_ARG(QString, record)),
                 "InsertFavorite")
        && saved;
}

int FavoritesProxy::DeleteFavorites(const QString &dataFile, const QStringList &records)
{
    int removed = -1;
    if (m_object
        && !taken(QMetaObject::invokeMethod(m_object, "DeleteFavorites", Qt::DirectConnection,
                                            Q_RETURN_ARG(int, removed), Q_ARG(QString, dataFile),
                                            Q_ARG(QStringList, records)),
                  "DeleteFavorites"))
        return -1;
    return removed;
}

bool FavoritesProxy::ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    bool saved = false;
    return m_object
        && taken(QMetaObject::invokeMethod(m_object, "ReplaceFavorite", Qt::DirectConnection, Q_RETURN_ARG(bool, saved),
                                           Q_ARG(QString, dataFile), Q_ARG(QString, oldRecord),
                                           Q_ARG(QString, newRecord)),
                 "ReplaceFavorite")
        && saved;
}

QString FavoritesProxy::FindFavorite(const QString &dataFile, const QString &url) const
{
    QString record;
    if (m_object
        && !taken(QMetaObject::invokeMethod(m_object, "FindFavorite", Qt::DirectConnection,
                                            Q_RETURN_ARG(QString, record), Q_ARG(QString, dataFile),
                                            Q_ARG(QString, url)),
                  "FindFavorite"))
        return {};
    return record;
}

QStringList FavoritesProxy::SuggestFavorites(const QString &dataFile, const QString &search, int max) const
{
    QStringList records;
    if (m_object
        && !taken(QMetaObject::invokeMethod(m_object, "SuggestFavorites", Qt::DirectConnection,
                                            Q_RETURN_ARG(QStringList, records), Q_ARG(QString, dataFile),
                                            Q_ARG(QString, search), Q_ARG(int, max)),
                  "SuggestFavorites"))
        return {};
    return records;
}

bool FavoritesProxy::ExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    bool written = false;
    return m_object
        && taken(QMetaObject::invokeMethod(m_object, "ExportBookmarks", Qt::DirectConnection,
                                           Q_RETURN_ARG(bool, written), Q_ARG(QString, dataFile),
                                           Q_ARG(QString, htmlFile)),
                 "ExportBookmarks")
        && written;
}

void FavoritesProxy::StorePageText(const QString &dataFile, const QString &url, const QString &title,
                                   const QString &meta, const QString &text)
{
    if (m_object)
        taken(QMetaObject::invokeMethod(m_object, "StorePageText", Qt::DirectConnection, Q_ARG(QString, dataFile),
                                        Q_ARG(QString, url), Q_ARG(QString, title), Q_ARG(QString, meta),
                                        Q_ARG(QString, text)),
              "StorePageText");
}

QList<FavoritesProxy::PageTextMatch> FavoritesProxy::FindPageText(const QString &dataFile, const QString &search,
                                                                  int max) const
{
    QStringList found; // record, snippet, record, snippet, ...
    if (m_object
        && !taken(QMetaObject::invokeMethod(m_object, "FindPageText", Qt::DirectConnection,
                                            Q_RETURN_ARG(QStringList, found), Q_ARG(QString, dataFile),
                                            Q_ARG(QString, search), Q_ARG(int, max)),
                  "FindPageText"))
        return {};
    QList<PageTextMatch> matches;
    for (qsizetype i = 0; i + 1 < found.size(); i += 2)
        matches.append({found.at(i), found.at(i + 1)});
    return matches;
}

void FavoritesProxy::ClearPageText(const QString &dataFile)
{
    if (m_object)
        taken(QMetaObject::invokeMethod(m_object, "ClearPageText", Qt::DirectConnection, Q_ARG(QString, dataFile)),
              "ClearPageText");
}

QStringList FavoritesProxy::PagesToRead(const QString &dataFile, int maxAgeDays) const
{
    QStringList urls;
    if (m_object
        && !taken(QMetaObject::invokeMethod(m_object, "PagesToRead", Qt::DirectConnection,
                                            Q_RETURN_ARG(QStringList, urls), Q_ARG(QString, dataFile),
                                            Q_ARG(int, maxAgeDays)),
                  "PagesToRead"))
        return {};
    return urls;
}
