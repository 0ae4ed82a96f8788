#include "linkimport/importwindow.h"

#include "platform/filedialogservice.h"
#include "linkimport/folderimport.h"
#include "linkimport/keywordfetcher.h"
#include "navkit/favorites/mdlfavorites.h"
#include "platform/platformpaths.h"
#include "platform/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

using namespace Twips;

namespace LinkImport {

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , m_list1(ListProxy::create(this))
    , m_label1(new QLabel(this))
    , m_label3(new QLabel(this))
    , m_check1(new QCheckBox(QStringLiteral(" Import with keywords"), this))
    , m_command1(new QPushButton(QStringLiteral("Import..."), this))
    , m_command2(new QPushButton(QStringLiteral("Bookmarks..."), this))
{
    setWindowTitle(QStringLiteral(" IE Favorites"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    setFixedSize(px(7545), px(5775));

    auto *picture1 = new QWidget(this);
    picture1->setGeometry(twipsRect(0, 0, 7545, 840));
    picture1->setAutoFillBackground(true);
    QPalette white = picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    picture1->setPalette(white);
    auto *image1 = new QLabel(picture1);
    image1->setPixmap(style()->standardIcon(QStyle::SP_DirLinkIcon).pixmap(16, 16));
    image1->setGeometry(4, px(150), 16, 16);
    auto *label2 = new QLabel(QStringLiteral("Small utility to import IE favorites. If you use import with keywords, "
                                             "all page will be loaded and retrieve keywords from source."),
                              picture1);
    label2->setWordWrap(true);
    label2->setGeometry(twipsRect(360, 150, 5730, 465).adjusted(0, -4, 0, 8));

    if (QWidget *list = m_list1.widget()) {
        list->setGeometry(twipsRect(225, 1080, 7050, 3060));
        connect(list, SIGNAL(Click()), this, SLOT(onListClick()));
    }
    m_label1->setGeometry(twipsRect(225, 4245, 7050, 465));
    m_label1->setWordWrap(true);
    m_label3->setGeometry(twipsRect(270, 5115, 2500, 210));
    m_check1->setGeometry(twipsRect(225, 5250, 1950, 210).adjusted(0, 0, 40, 6));
    m_command1->setGeometry(twipsRect(5730, 5160, 1485, 405));
    m_command2->setGeometry(twipsRect(4170, 5160, 1485, 405));
    m_command2->setToolTip(QStringLiteral("Import a bookmarks file (HTML) exported by a browser"));
    // Out of sight below the client area: the browser that loads pages.
    auto *picture2 = new QWidget(this);
    picture2->setGeometry(twipsRect(375, 6825, 1305, 960));
    m_fetcher = new KeywordFetcher(picture2);
    connect(m_fetcher, &KeywordFetcher::addressShown, m_label1, &QLabel::setText);

    connect(m_command1, &QPushButton::clicked, this, [this] { ImportFromIE(dataFile(), false); });
    connect(m_command2, &QPushButton::clicked, this, &Form1::importBookmarks);

    // Load. The store's folder is the browser's data folder, private to the user.
    PlatformPaths::makePrivateFolder(QFileInfo(dataFile()).absolutePath());
    m_list1.setListImage(QStringLiteral("bmp_01"));
    m_list1.connectImport(this, SLOT(onImportProgress(int)), SLOT(onImportFinished(int)));
    m_list1.RefreshFavoritesEx(dataFile());
}

void Form1::importBookmarks()
{
    if (m_importingBookmarks) {
        m_list1.CancelImport();
        return;
    }
    const QString path = FileDialogService::chooseBookmarksFile(this);
    if (path.isEmpty())
        return;
    if (!m_list1.StartImportBookmarks(dataFile(), path)) {
        m_label3->setText(QStringLiteral("Not imported"));
        return;
    }
    m_importingBookmarks = true;
    m_command2->setText(QStringLiteral("Cancel"));
    onImportProgress(0);
}

void Form1::onImportProgress(int percent)
{
    m_label3->setText(QStringLiteral("Bookmarks : %1 %").arg(percent));
}

void Form1::onImportFinished(int added)
{
    m_importingBookmarks = false;
    m_command2->setText(QStringLiteral("Bookmarks..."));
    m_label3->setText(added == ListProxy::kImportTooLarge
                          ? QStringLiteral("Not imported: the file is larger than 64 MB")
                          : added == ListProxy::kImportCancelled ? QStringLiteral("Cancelled: nothing added")
                          : added < 0                            ? QStringLiteral("Not imported")
                                                                 : QStringLiteral("Added : %1").arg(added));
}

QString Form1::dataFile()
{
    // The store the browser reads.
    return PlatformPaths::programFolder() + QStringLiteral("/_data/_favorites.dat");
}

bool Form1::ImportFromIE(const QString &file, bool bClear)
{
    if (m_importing)
        return false;
    if (bClear)
        QFile::remove(file);
    // One import at a time: the button waits for the running one.
    m_command1->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    delete m_import;
    m_import = new FolderImport(m_check1->isChecked() ? m_fetcher : nullptr, this);
    connect(m_import, &FolderImport::progress, this,
            [this](int n) { m_label3->setText(QStringLiteral("File : ") + QString::number(n)); });
    connect(m_import, &FolderImport::finished, this, [this, file](int count) {
        m_importing = false;
        QApplication::restoreOverrideCursor();
        if (!m_closed) { // else the window is gone: the program ends
            m_list1.RefreshFavoritesEx(file);
            m_command1->setEnabled(true);
        }
        emit importFinished(count);
    });
    m_importing = true;
    m_import->start(file, mdlFavorites::FavoritesFolderPath(mdlFavorites::kCsidlFavorites));
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing ends the program at once, an import included: what it has
    // not saved yet is left out, not stored without its keywords.
    m_closed = true;
    if (m_importing) {
        m_import->abort();
        QCoreApplication::quit();
    }
    QWidget::closeEvent(event);
}

void Form1::onListClick()
{
    m_label1->setText(m_list1.ItemUrl(m_list1.ListIndex()));
}

void Form1::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    m_list1.RefreshFavoritesEx(dataFile());
}

void Form1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, px(810), width(), px(810));
    p.drawLine(1, px(4920), px(7530), px(4920));
    p.setPen(Qt::white);
    p.drawLine(0, px(4935), width(), px(4935));
}

} // namespace LinkImport
