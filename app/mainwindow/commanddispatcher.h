// The one handler of every menu and tool bar command, by key.
#pragma once

#include "app/mainwindow/commandid.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <utility>

class BrowserControl;
class BrowserTabs;
class DockFrame;
class DownloadManager;
class QMainWindow;
class TabCommands;

// The one handler of every menu and tool bar command, by key.
class CommandDispatcher : public QObject
{
    Q_OBJECT

public:
    // What the commands act on; all of it outlives the dispatcher.
    struct Targets {
        QMainWindow *window = nullptr; // dialogs' parent; Exit closes it
        DockFrame *dock = nullptr;
        BrowserTabs *tabs = nullptr;
        TabCommands *tabCommands = nullptr;
        DownloadManager *downloads = nullptr;
        class FavoritePagesReader *pagesReader = nullptr;
    };
    CommandDispatcher(const Targets &targets, QObject *parent);

    // Runs the command's handler; a command without one is logged, not ignored silently.
    void execute(CommandId id);
    bool handles(CommandId id) const;

    // The favorite record for a page: title, URL and the contents of its
    // "keywords" and "description" META elements in document order, joined
    // with nothing between ("no keywords" when that is blank).
    static QString favoriteRecord(const QString &title, const QString &url,
                                  const QList<std::pair<QString, QString>> &metaElements);

    // The open-file dialog's filter, as the open commands pass it.
    static QString openFilter();
    // Where Home goes: the Internet options' start page when one was ever
    // set there, else the home page of the settings, else a blank page.
    static QString homeAddress(const QString &storedStartPage, const QString &settingsHomePage);

signals:
    // A favorite was stored (Add to Favorites finishes after the page gave
    // its keywords).
    void favoriteAdded(const QString &record);

private:
    void buildHandlers();
    BrowserControl *activeBrowser() const;
    void openFile(bool newTab);
    // The help file, or where it cannot be opened the user guide in a tab.
    void openHelp();
    void addToFavorites();
    // Reads the favorites' pages in the background; the tab in front shows
    // how far it got.
    void readFavoritePages();
    // The favorites tab, which shows the store (nullptr when it is not there).
    class Form9 *favoritesTab() const;
    void importBookmarks();
    void exportBookmarks();
    void togglePane(const QString &name);
    void goHome(BrowserControl *browser);
    void togglePopStop();
    // The active tab's page zoom, and setting it (remembered for its site).
    double activeZoom() const;
    void zoom(double factor);

    Targets m_to;
    std::array<std::function<void()>, CommandIds::kCount> m_handlers;
};
