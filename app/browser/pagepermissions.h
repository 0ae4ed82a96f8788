// What a tab's page may do beyond showing itself: asked in a bar, kept per site when the user says so.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>

class BrowserControl;
class PermissionBar;

// What a tab's page may do beyond showing itself (notifications, location,
// camera, microphone, screen, mouse lock). A decision kept for the site
// answers at once; otherwise the tab's permission bar asks, one request at
// a time, and keeps the answer when the user says so. Requests of a page
// the tab has left are dropped.
class PagePermissions : public QObject
{
    Q_OBJECT

public:
    // Decisions are kept in file (the site permissions file).
    PagePermissions(BrowserControl *browser, QString file);

    // Made when first asked for: most pages never ask, and a tab is made
    // faster without it (a session restores hundreds).
    PermissionBar *bar();

private:
    struct Request {
        QUrl origin;
        QWebEnginePage::Feature feature;
    };
    void onRequested(const QUrl &origin, QWebEnginePage::Feature feature);
    void onAnswered(bool allow, bool remember);
    void askNext();
    void dropAll();

    BrowserControl *m_browser;
    QString m_file;
    PermissionBar *m_bar = nullptr;
    QList<Request> m_waiting; // the first is the one the bar asks
};
