// The downloads of this run, one row each (file, progress, speed, folder), in a window of its own that stays open beside the browser.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWebEngineDownloadRequest;

// The downloads of this run, one row each (file, progress, speed, folder),
// in a window of its own that stays open beside the browser: open a file,
// its folder, cancel one, clear the finished ones.
class DownloadsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DownloadsWindow(QWidget *parent = nullptr);

    // Lists a download that was accepted, and follows it to its end.
    void add(QWebEngineDownloadRequest *download);
    QTreeWidget *list() const { return m_list; }
    int count() const;

signals:
    // A download ended: completed, or not (cancelled or interrupted).
    void finished(const QString &path, bool completed);

private:
    void update(QTreeWidgetItem *item, QWebEngineDownloadRequest *download, const QElapsedTimer &since);
    QWebEngineDownloadRequest *selected() const;
    void updateButtons();

    QTreeWidget *m_list;
    QPushButton *m_open;
    QPushButton *m_folder;
    QPushButton *m_cancel;
    QPushButton *m_clear;
};
