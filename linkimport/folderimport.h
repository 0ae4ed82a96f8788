// The import of a folder of Internet shortcuts into the favorites store, one folder per turn of the event loop.
#pragma once

#include "linkimport/duplicatefilter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class KeywordFetcher;

// Walks the shortcut tree (a folder's own shortcuts, then its sub-folders)
// and appends the records, as LinkAppend does, but without ever waiting: a
// folder is taken per turn of the event loop, and with keywords each new
// address's page is fetched, one after another, before its folder joins
// the next save (outside the store's lock). The folders read are saved
// every ShortcutWalk::kSaveEveryMs and at the end. An abort ends it at once:
// the folders read to the end are saved, the one in progress is not, so a
// later import still reads its keywords.
class FolderImport : public QObject
{
    Q_OBJECT

public:
    // fetcher: reads each page's keywords; none: "no keywords" for all.
    explicit FolderImport(KeywordFetcher *fetcher, QObject *parent = nullptr);
    ~FolderImport() override;

    // False when one is running. progress and finished follow.
    bool start(const QString &dataFile, const QString &folder);
    void abort();
    bool isRunning() const { return m_running; }

signals:
    // The running shortcut count, as each folder is taken up.
    void progress(int count);
    // The number of shortcut files found.
    void finished(int count);

private:
    struct Folder {
        QStringList records;
        int count = 0; // shortcuts found up to and with this folder
    };
    void nextFolder();
    void fetchNext();
    void saveFolder();
    void save();
    void finish();

    KeywordFetcher *m_fetcher;
    QString m_dataFile;
    QList<Folder> m_folders;
    qsizetype m_next = 0;
    int m_total = 0;
    DuplicateFilter m_present;
    QStringList m_toFetch;              // the new addresses of the folder in progress
    QHash<QString, QString> m_keywords; // what the pages of the folders not yet saved gave
    QStringList m_batch;                // the records of the folders read since the last save
    QElapsedTimer m_sinceSave;
    bool m_running = false;
    bool m_aborted = false;
};
