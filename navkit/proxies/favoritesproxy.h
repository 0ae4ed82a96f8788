// Typed access to a "QuillonHelper.Favorites" object: the favorites store without a list.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class QObject;

// Created by ProgID and called by name. A call on a missing object, or
// one the object does not answer (logged), does nothing and answers an
// empty value.
class FavoritesProxy
{
public:
    // Creates the object by ProgID, owned by parent; invalid when the class
    // cannot be created.
    static FavoritesProxy create(QObject *parent);
    FavoritesProxy() = default;

    bool isValid() const { return !m_object.isNull(); }
    QObject *object() const { return m_object; }

    bool InsertFavorite(const QString &dataFile, const QString &record);
    int DeleteFavorites(const QString &dataFile, const QStringList &records);
    bool ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    QString FindFavorite(const QString &dataFile, const QString &url) const;
    QStringList SuggestFavorites(const QString &dataFile, const QString &search, int max) const;
    bool ExportBookmarks(const QString &dataFile, const QString &htmlFile);

    // The words of favorites' pages (the page text index): kept when the
    // address is a favorite's, found by typed words, forgotten, and the
    // favorites whose page is due to be read (not on the window's thread).
    struct PageTextMatch {
        QString record;
        QString snippet;
    };
    void StorePageText(const QString &dataFile, const QString &url, const QString &title, const QString &meta,
                       const QString &text);
    QList<PageTextMatch> FindPageText(const QString &dataFile, const QString &search, int max) const;
    void ClearPageText(const QString &dataFile);
    QStringList PagesToRead(const QString &dataFile, int maxAgeDays) const;

private:
    explicit FavoritesProxy(QObject *object)
        : m_object(object)
    {}
    QPointer<QObject> m_object;
};
