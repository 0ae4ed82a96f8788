#include "downloadswindow.h"

#include "downloadrules.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>

#include <memory>

namespace {
enum Column { File, Progress, Speed, Folder };
constexpr int kDownloadRole = Qt::UserRole + 1;

QWebEngineDownloadRequest *downloadOf(const QTreeWidgetItem *item)
{
    return item ? item->data(File, kDownloadRole).value<QPointer<QWebEngineDownloadRequest>>().data() : nullptr;
}
} // namespace

DownloadsWindow::DownloadsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(new QTreeWidget(this))
    , m_open(new QPushButton(QStringLiteral("&Open"), this))
    , m_folder(new QPushButton(QStringLiteral("Open &Folder"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
    , m_clear(new QPushButton(QStringLiteral("C&lear Finished"), this))
{
    setObjectName(QStringLiteral("Downloads"));
    setWindowTitle(QStringLiteral("Downloads"));
    resize(560, 300);
    m_list->setHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Progress"), QStringLiteral("Speed"), QStringLiteral("Folder")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(File, QHeaderView::Stretch);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_open, m_folder, m_cancel})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_clear);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &DownloadsWindow::updateButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_open->click(); });
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (QWebEngineDownloadRequest *d = selected())
            QDesktopServices::openUrl(
                QUrl::fromLocalFile(QDir(d->downloadDirectory()).filePath(d->downloadFileName())));
    });
    connect(m_folder, &QPushButton::clicked, this, [this] {
        if (QWebEngineDownloadRequest *d = selected())
            QDesktopServices::openUrl(QUrl::fromLocalFile(d->downloadDirectory()));
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (QWebEngineDownloadRequest *d = selected())
            d->cancel();
    });
    connect(m_clear, &QPushButton::clicked, this, [this] {
        for (int i = m_list->topLevelItemCount() - 1; i >= 0; --i) {
            QWebEngineDownloadRequest *d = downloadOf(m_list->topLevelItem(i));
            if (!d || d->isFinished())
                delete m_list->takeTopLevelItem(i);
        }
        updateButtons();
    });
    updateButtons();
}

int DownloadsWindow::count() const
{
    return m_list->topLevelItemCount();
}

void DownloadsWindow::add(QWebEngineDownloadRequest *download)
{
    auto *item = new QTreeWidgetItem(m_list);
    item->setData(File, kDownloadRole, QVariant::fromValue(QPointer<QWebEngineDownloadRequest>(download)));
    item->setText(File, download->downloadFileName());
    item->setText(Folder, download->downloadDirectory());
    item->setToolTip(File, download->url().toString());
    const auto since = std::make_shared<QElapsedTimer>();
    since->start();
    const auto refresh = [this, item, download, since] { update(item, download, *since); };
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, refresh);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, refresh);
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, item, download, since] {
        update(item, download, *since);
        emit finished(QDir(download->downloadDirectory()).filePath(download->downloadFileName()),
                      download->state() == QWebEngineDownloadRequest::DownloadCompleted);
    });
    update(item, download, *since);
}

void DownloadsWindow::update(QTreeWidgetItem *item, QWebEngineDownloadRequest *download, const QElapsedTimer &since)
{
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        item->setText(Progress, QStringLiteral("Done, ") + DownloadRules::sizeText(download->receivedBytes()));
        item->setText(Speed, QString());
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        item->setText(Progress, QStringLiteral("Cancelled"));
        item->setText(Speed, QString());
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        item->setText(Progress, QStringLiteral("Failed: ") + download->interruptReasonString());
        item->setText(Speed, QString());
        break;
    default:
        item->setText(Progress, DownloadRules::progressText(download->receivedBytes(), download->totalBytes()));
        item->setText(Speed, DownloadRules::speedText(download->receivedBytes(), since.elapsed()));
        break;
    }
    updateButtons();
}

QWebEngineDownloadRequest *DownloadsWindow::selected() const
{
    return downloadOf(m_list->currentItem());
}

void DownloadsWindow::updateButtons()
{
    const QWebEngineDownloadRequest *d = selected();
    const bool done = d && d->state() == QWebEngineDownloadRequest::DownloadCompleted;
    m_open->setEnabled(done);
    m_folder->setEnabled(d);
    m_cancel->setEnabled(d && !d->isFinished());
}
