// Keeps the words of favorites' pages as they are shown, to find the favorites by.
#pragma once

#include "engine/metareader.h"

#include <QObject>
#include <QThreadPool>

#include <functional>

class BrowserControl;

// Keeps the words of favorites' pages, to find the favorites by: when a
// tab's page finishes loading and its address is a favorite's, and when the
// page in front is added as a favorite, its title, META words and text go
// to the page text index. Private tabs are never watched, and nothing is
// read while the setting is off.
class FavoritePageText : public QObject
{
    Q_OBJECT

public:
    struct Hooks {
        // Empty: not stored. Called on a worker thread, after prepare.
        std::function<QString(const QString &url)> storedRecord;
        std::function<void()> prepare;
        std::function<void(const QString &url, const MetaReader::PageText &page)> store;
        std::function<bool()> enabled;
    };

    FavoritePageText(Hooks hooks, QObject *parent);
    ~FavoritePageText() override;

    // Watches a (not private) tab's browser for the pages it loads.
    void watch(BrowserControl *browser);
    // A favorite was stored for the page browser shows: its text is kept now.
    void favoriteAdded(BrowserControl *browser);

private:
    void loaded(BrowserControl *browser, const QString &url);
    void read(BrowserControl *browser, const QString &url);

    Hooks m_hooks;
    QThreadPool m_lookups; // waited for when this goes: the hooks' objects outlive it
};
