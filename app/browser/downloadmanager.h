// Downloads of the web profile.
#pragma once

#include <QObject>
#include <QHash>
#include <QSet>
#include <QString>

class DownloadsWindow;
class QWebEngineDownloadRequest;
class QWidget;

// Downloads of the web profile: each goes where the user says, or, when
// Settings asks no more, to the downloads folder under a name no file has;
// all of them are listed in one downloads window, and each end is
// announced.
class DownloadManager : public QObject
{
    Q_OBJECT

public:
    // Watches the program's web profile; dialogs are owned by parentWindow.
    explicit DownloadManager(QWidget *parentWindow);

    DownloadsWindow *window() const { return m_list; }
    // Brings the list into view (made when there is none yet), over the
    // browser window when it is first shown.
    void showWindow();
    int running() const { return m_running; }
    // A tool bar entry shown while downloads run ("Downloads (n)"); a click
    // shows the list.
    class QAction *indicator();
    // The folder downloads go to without asking: the settings' "DownloadFolder",
    // else the system's downloads folder.
    static QString defaultFolder();

signals:
    // For the status line: "Downloaded: <file>" and the like.
    void announced(const QString &text);
    // How many downloads are going on (for the tool bar's indicator).
    void runningChanged(int running);

private:
    void onRequested(QWebEngineDownloadRequest *download);
    DownloadsWindow *ensureWindow();

    QWidget *m_window;
    DownloadsWindow *m_list = nullptr; // made with the first download
    QSet<QString> m_taken;             // paths given to downloads of this run
    QSet<QString> m_reserved;          // files made for running downloads (absolute)
    QHash<quint32, QString> m_pathOf;  // each download's file, by the engine's id
    int m_running = 0;
    class QAction *m_indicator = nullptr;
};
