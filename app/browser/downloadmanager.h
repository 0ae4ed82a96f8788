#pragma once

#include <QObject>

class QWebEngineDownloadRequest;
class QWidget;

// Downloads of the web profile: asks where to save each one and shows its
// progress until it ends.
class DownloadManager : public QObject
{
    Q_OBJECT

public:
    // Watches the program's web profile; dialogs are owned by parentWindow.
    explicit DownloadManager(QWidget *parentWindow);

private:
    void onRequested(QWebEngineDownloadRequest *download);

    QWidget *m_window;
};
