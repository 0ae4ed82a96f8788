#include "app/browser/downloadmanager.h"

#include "app/settings/browsersettings.h"
#include "engine/browserprofile.h"
#include "app/browser/downloadrules.h"
#include "app/browser/downloadswindow.h"
#include "platform/filedialogservice.h"
#include "platform/logging.h"
#include "app/settings/mdlregistry.h"
#include "platform/platformpaths.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

DownloadManager::DownloadManager(QWidget *parentWindow)
    : QObject(parentWindow)
    , m_window(parentWindow)
{
    // A private tab's downloads too: what the user saves is kept.
    BrowserProfile::forEachProfile(this, [this](QWebEngineProfile *profile) {
        connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::onRequested);
    });
}

QString DownloadManager::defaultFolder()
{
    QString folder = BrowserSettings::downloadFolder();
    if (folder.trimmed().isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    return folder;
}

void DownloadManager::onRequested(QWebEngineDownloadRequest *download)
{
    // "Save As" chose its file already.
    if (download->isSavePageDownload()) {
        download->accept();
        return;
    }
    // The engine resumes a download the server broke off by asking again
    // with the same id: it goes on in the file it had, listed and counted once.
    if (const auto resumed = m_pathOf.constFind(download->id()); resumed != m_pathOf.cend()) {
        const QFileInfo target(*resumed);
        download->setDownloadDirectory(target.absolutePath());
        download->setDownloadFileName(target.fileName());
        ensureWindow()->add(download);
        download->accept();
        return;
    }
    const bool ask = BrowserSettings::askDownload();
    QString path;
    if (ask) {
        path = FileDialogService::getSaveFileName(m_window, QStringLiteral("Save File As ..."),
                                                  QDir(defaultFolder()).filePath(download->downloadFileName()));
        if (path.isEmpty()) {
            download->cancel();
            return;
        }
    } else {
        // Files of downloads still running may not exist yet: their names
        // are taken all the same. The name is the server's, made harmless,
        // and the file is made here first, so that no existing file (or a
        // link planted in its place) is ever written through.
        QString folder = DownloadRules::folderWithoutAsking(defaultFolder(), QDir::homePath());
        if (!QFileInfo::exists(folder) && !PlatformPaths::makePrivateFolder(folder))
            qCWarning(lcFiles) << "downloads folder not made" << folder;
        for (int tries = 0; tries < 100 && path.isEmpty(); ++tries) {
            const QString candidate = DownloadRules::freePath(folder, download->downloadFileName(), m_taken);
            m_taken.insert(candidate);
            if (DownloadRules::reserve(candidate)) {
                path = candidate;
                m_reserved.insert(QFileInfo(candidate).absoluteFilePath());
            }
        }
        if (path.isEmpty()) {
            qCWarning(lcFiles) << "no name could be reserved for a download in" << folder;
            download->cancel();
            return;
        }
    }
    const QFileInfo target(path);
    m_pathOf.insert(download->id(), target.absoluteFilePath());
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());

    // One list for every download of the run, not a dialog each.
    ensureWindow()->add(download);
    emit runningChanged(++m_running);
    if (!m_list->isVisible())
        showWindow();
    download->accept();
}

DownloadsWindow *DownloadManager::ensureWindow()
{
    if (!m_list) {
        m_list = new DownloadsWindow(m_window);
        connect(m_list, &DownloadsWindow::finished, this, [this](const QString &file, bool completed) {
            // A name this browser reserved holds nothing worth keeping when
            // the download did not complete: the file goes.
            if (!completed) {
                qCWarning(lcFiles) << "download did not complete" << file;
                if (m_reserved.remove(QFileInfo(file).absoluteFilePath()) && QFile::exists(file)
                    && !QFile::remove(file))
                    qCWarning(lcFiles) << "unfinished download not removed" << file;
            } else {
                m_reserved.remove(QFileInfo(file).absoluteFilePath());
            }
            emit runningChanged(m_running = std::max(0, m_running - 1));
            emit announced(completed ? QStringLiteral("Downloaded: ") + file
                                     : QStringLiteral("Download not completed: ") + file);
        });
        // Over the browser, not at the corner of the screen.
        m_list->move(m_window->geometry().center() - m_list->rect().center());
    }
    return m_list;
}

QAction *DownloadManager::indicator()
{
    if (!m_indicator) {
        m_indicator = new QAction(this);
        m_indicator->setObjectName(QStringLiteral("DownloadsIndicator"));
        m_indicator->setToolTip(QStringLiteral("Downloads in progress: show the list"));
        m_indicator->setVisible(false);
        connect(m_indicator, &QAction::triggered, this, &DownloadManager::showWindow);
        connect(this, &DownloadManager::runningChanged, m_indicator, [this](int running) {
            // Its image is looked up when it is first shown: the window makes
            // it hidden, and the icon theme's lookup took 5 ms of the
            // start under X.
            if (running > 0 && m_indicator->icon().isNull())
                m_indicator->setIcon(QIcon::fromTheme(QStringLiteral("folder-download")));
            m_indicator->setText(QStringLiteral("Downloads (%1)").arg(running));
            m_indicator->setVisible(running > 0);
        });
    }
    return m_indicator;
}

void DownloadManager::showWindow()
{
    ensureWindow()->show();
    m_list->raise();
    m_list->activateWindow();
}
