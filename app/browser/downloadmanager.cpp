#include "downloadmanager.h"

#include "browserprofile.h"
#include "filedialogservice.h"
#include "logging.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

DownloadManager::DownloadManager(QWidget *parentWindow)
    : QObject(parentWindow)
    , m_window(parentWindow)
{
    connect(BrowserProfile::instance(), &QWebEngineProfile::downloadRequested, this, &DownloadManager::onRequested);
}

void DownloadManager::onRequested(QWebEngineDownloadRequest *download)
{
    // "Save As" chose its file already.
    if (download->isSavePageDownload()) {
        download->accept();
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(download->downloadFileName());
    const QString path = FileDialogService::getSaveFileName(m_window, QStringLiteral("Save File As ..."), suggested);
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());

    auto *progress = new QProgressDialog(QStringLiteral("Saving %1").arg(target.fileName()), QStringLiteral("Cancel"),
                                         0, 100, m_window);
    progress->setWindowTitle(QStringLiteral("Download"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(500);
    connect(progress, &QProgressDialog::canceled, download, &QWebEngineDownloadRequest::cancel);
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, progress, [download, progress] {
        const qint64 total = download->totalBytes();
        progress->setValue(total > 0 ? int(download->receivedBytes() * 100 / total) : 0);
    });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, progress, [download, progress] {
        if (download->state() != QWebEngineDownloadRequest::DownloadCompleted)
            qCWarning(lcFiles) << "download ended" << download->state() << download->interruptReasonString();
        progress->close();
    });
    download->accept();
}
