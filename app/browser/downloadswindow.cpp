#include "app/browser/downloadswindow.h"

#include "app/browser/downloadrules.h"

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
constexpr int kIdRole = Qt::UserRole + 2;

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
    // The engine resumes a broken-off download as a new request of the same
    // id: it takes the place of the old one in its row.
    QTreeWidgetItem *item = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount() && !item; ++i) {
        QTreeWidgetItem *row = m_list->topLevelItem(i);
        if (row->data(File, kIdRole).toUInt() == download->id()) {
            item = row;
            if (QWebEngineDownloadRequest *old = downloadOf(row))
                disconnect(old, nullptr, this, nullptr);
        }
    }
    if (!item)
        item = new QTreeWidgetItem(m_list);
    item->setData(File, kIdRole, download->id());
    item->setData(File, kDownloadRole, QVariant::fromValue(QPointer<QWebEngineDownloadRequest>(download)));
    item->setText(File, download->downloadFileName());
    item->setText(Folder, download->downloadDirectory());
    item->setToolTip(File, download->url().toString());
    const auto since = std::make_shared<QElapsedTimer>();
    since->start();
    const auto refresh = [this, item, download, since] { update(item, download, *since); };
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, refresh);
    // A download ends once: done, cancelled, or broken off (the engine
    // keeps a broken one open for a resume this list does not offer).
    const auto ended = std::make_shared<bool>(false);
    const auto end = [this, item, download, since, ended] {
        update(item, download, *since);
        const auto state = download->state();
        if (*ended || (!download->isFinished() && state != QWebEngineDownloadRequest::DownloadInterrupted))
            return;
        *ended = true;
        emit finished(QDir(download->downloadDirectory()).filePath(download->downloadFileName()),
                      state == QWebEngineDownloadRequest::DownloadCompleted);
    };
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, end);
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, end);
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
