#include "app/panes/favoritestab.h"

#include "app/panes/favoriteeditor.h"
#include "navkit/records/favoriterecord.h"
#include "app/panes/firstsight.h"
#include "platform/keycodes.h"
#include "platform/logging.h"
#include "app/panes/paneheader.h"
#include "app/settings/programstate.h"
#include "platform/twipsgeometry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QLineEdit>

using namespace TwipsGeometry;

Form9::Form9(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("Favorites ..."), this))
    , m_text1(new QLineEdit(this))
    , m_picture2(new QWidget(this))
{
    setMinimumWidth(120);
    auto *label1 = new QLabel(QStringLiteral("Search :"), this);
    label1->move(px(75), px(585));
    m_text1->setGeometry(px(870), px(540), px(4830), px(285) + 2);
    m_picture2->setFixedHeight(px(255));
    m_shape1 = greyBox(m_picture2, twipsRect(30, 15, 5000, 240));
    m_lblStatus1 = new QLabel(QStringLiteral("Ready"), m_picture2);
    m_lblStatus1->setGeometry(px(60), px(30), px(4900), px(210));
    m_cancelImport = new QToolButton(m_picture2);
    m_cancelImport->setObjectName(QStringLiteral("cancelImport"));
    m_cancelImport->setText(QStringLiteral("Cancel"));
    m_cancelImport->setToolTip(QStringLiteral("Stop the import; nothing is added"));
    m_cancelImport->setGeometry(px(4200), px(15), px(800), px(240));
    m_cancelImport->hide();
    connect(m_cancelImport, &QToolButton::clicked, this, [this] { m_list1.CancelImport(); });
    m_shape4 = greyBox(m_picture2, twipsRect(5060, 15, 1080, 240));
    m_shape3 = greyBox(m_picture2, twipsRect(6170, 15, 1800, 240));
    m_lblStatus3 = new QLabel(m_picture2);
    m_lblStatus3->setGeometry(px(6200), px(30), px(1750), px(210));
    connect(m_text1, &QLineEdit::textChanged, this, [this](const QString &text) {
        ensureList();
        m_list1.RefreshFavoritesEx(programState().FavoritesFile, text.trimmed());
        writeCount();
    });
    new FirstSight(this, [this] { ensureList(); });
}

ListProxy Form9::List1()
{
    ensureList();
    return m_list1;
}

void Form9::ensureList()
{
    // The list and its records are made when the tab is first seen or
    // asked for: the tab starts behind the home tab, and loading the list
    // component and the store at start-up would hold up the home page.
    if (m_listMade)
        return;
    m_listMade = true;
    m_list1 = ListProxy::create(this);
    connectList();
    m_list1.setListImage(QStringLiteral("bmp_01"));
    m_list1.setFocusRect(1);
    m_list1.setSorted(true);
    m_list1.setMultiSelect(true);
    // A large store is read by a worker: the tab is shown at once, its
    // rows when read.
    m_list1.RefreshFavoritesLater(programState().FavoritesFile);
    writeCount();
    if (QWidget *list = m_list1.widget()) {
        list->move(0, px(870));
        layoutList();
        list->show(); // made after its form may have been shown
    }
}

void Form9::connectList()
{
    QWidget *list = m_list1.widget();
    if (!list)
        return;
    // The control's events, reached by name.
    connect(list, SIGNAL(Click()), this, SLOT(onListClick()));
    connect(list, SIGNAL(DblClick()), this, SLOT(onListDblClick()));
    connect(list, SIGNAL(MouseDown(int *, int *, float *, float *)), this,
            SLOT(onListMouseDown(int *, int *, float *, float *)));
    connect(list, SIGNAL(KeyUp(int *, int *)), this, SLOT(onListKeyUp(int *, int *)));
    connect(list, SIGNAL(KeyDown(int *, int *)), this, SLOT(onListKeyDown(int *, int *)));
    m_list1.connectImport(this, SLOT(onImportProgress(int)), SLOT(onImportFinished(int)));
    m_list1.connectInsert(this, SLOT(onInsertFinished(QString, bool)));
    m_list1.connectSaves(this, SLOT(onDeleteFinished(QStringList, int)),
                         SLOT(onReplaceFinished(QString, QString, bool)), SLOT(onExportFinished(QString, bool)));
    // The count follows the rows however they change (a favorite added from
    // the tool bar goes into the list directly).
    if (auto *view = list->findChild<QAbstractItemView *>(); view && view->model()) {
        QAbstractItemModel *rows = view->model();
        for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(rows, change, this, &Form9::writeCount);
        connect(rows, &QAbstractItemModel::modelReset, this, &Form9::writeCount);
        connect(rows, &QAbstractItemModel::modelReset, this, &Form9::writeCount);
        connect(rows, &QAbstractItemModel::layoutChanged, this, &Form9::writeCount);
    } else {
        qCWarning(lcFiles) << "favorites list: no rows to count";
    }
}

void Form9::onListClick()
{
    setStatus(m_list1.ItemUrl(m_list1.ListIndex()));
}

void Form9::onListDblClick()
{
    // From here a favorite always opens in a new tab.
    emit openRequested(m_list1.ItemUrl(m_list1.ListIndex()), PageTarget::NewTab);
}

void Form9::onListMouseDown(int *button, int *, float *, float *)
{
    if (*button & 2) {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(m_list1.ItemUrl(m_list1.ListIndex()));
    }
}

void Form9::onListKeyUp(int *keyCode, int *shift)
{
    if (*keyCode == KeyCodes::kR && *shift == KeyCodes::kCtrl)
        reload();
}

void Form9::onListKeyDown(int *keyCode, int *shift)
{
    if (*shift != 0)
        return;
    if (*keyCode == Qt::Key_Delete)
        deleteSelected();
    else if (*keyCode == Qt::Key_F2 && m_list1.ListIndex() >= 0)
        editRecord(m_list1.ItemRecord(m_list1.ListIndex()));
}

void Form9::contextMenuEvent(QContextMenuEvent *event)
{
    ensureList();
    QWidget *list = m_list1.widget();
    const int row = m_list1.ListIndex();
    if (!list || row < 0 || !list->geometry().contains(event->pos())) {
        QWidget::contextMenuEvent(event);
        return;
    }
    const QString url = m_list1.ItemUrl(row);
    const QString record = m_list1.ItemRecord(row);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("FavoritesMenu"));
    menu.addAction(QStringLiteral("Open in New Tab"), this,
                   [this, url] { emit openRequested(url, PageTarget::NewTab); });
    menu.addAction(QStringLiteral("Copy Address"), this, [url] { QApplication::clipboard()->setText(url); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Edit\u2026"), this, [this, record] { editRecord(record); })
        ->setShortcut(QKeySequence(Qt::Key_F2));
    menu.addAction(QStringLiteral("Delete"), this, [this] { deleteSelected(); })
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    menu.exec(event->globalPos());
}

bool Form9::deleteSelected()
{
    ensureList();
    const QList<int> rows = m_list1.SelectedRows();
    QStringList records;
    for (const int row : rows)
        records.append(m_list1.ItemRecord(row));
    if (records.isEmpty())
        return false;
    m_deletedFrom = rows.first();
    m_list1.StartDeleteFavorites(programState().FavoritesFile, records);
    return true;
}

void Form9::onDeleteFinished(const QStringList &records, int removed)
{
    if (removed < 0) {
        setStatus(QStringLiteral("The favorites could not be saved: nothing was deleted"));
        return;
    }
    refreshFiltered();
    // The row that took the place of the first one deleted, ready for the next key.
    m_list1.selectRow(std::min(m_deletedFrom, m_list1.ListCount() - 1));
    setStatus(deletedText(removed, int(records.size())));
}

QString Form9::deletedText(int removed, int asked)
{
    if (removed == 0)
        return asked == 1 ? QStringLiteral("Not deleted: the favorite is no longer stored (changed elsewhere)")
                          : QStringLiteral("Not deleted: the favorites are no longer stored (changed elsewhere)");
    QString text =
        removed == 1 ? QStringLiteral("1 favorite deleted") : QStringLiteral("%1 favorites deleted").arg(removed);
    if (removed < asked)
        text += QStringLiteral(" (%1 no longer stored)").arg(asked - removed);
    return text;
}

bool Form9::editRecord(const QString &record)
{
    ensureList();
    if (record.isEmpty())
        return false;
    const std::optional<QString> edited = FavoriteEditor::edit(record, this);
    if (!edited)
        return false;
    m_list1.StartReplaceFavorite(programState().FavoritesFile, record, *edited);
    return true;
}

void Form9::onReplaceFinished(const QString &, const QString &newRecord, bool saved)
{
    if (!saved) {
        setStatus(QStringLiteral("The favorites could not be saved: the change was not stored"));
        return;
    }
    refreshFiltered();
    setStatus(QStringLiteral("Favorite saved: ") + FavoriteRecord::field(newRecord, FavoriteRecord::Field::Url));
}

QString Form9::recordFor(const QString &url)
{
    ensureList();
    return m_list1.FindFavorite(programState().FavoritesFile, url);
}

void Form9::refreshFiltered()
{
    m_list1.RefreshFavoritesEx(programState().FavoritesFile, m_text1->text().trimmed());
    writeCount();
}

QString Form9::statusText() const
{
    return m_lblStatus1->text();
}

QString Form9::countText() const
{
    return m_lblStatus3->text();
}

void Form9::onInsertFinished(const QString &record, bool saved)
{
    const QString url = FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed();
    if (!saved) {
        setStatus(QStringLiteral("The favorite could not be saved: ") + url);
        return;
    }
    setStatus(QStringLiteral("Favorite added: ") + url);
    emit favoriteStored(record);
}

void Form9::setStatus(const QString &text)
{
    m_lblStatus1->setText(text);
    m_lblStatus1->setToolTip(text);
}

void Form9::writeCount()
{
    m_lblStatus3->setText(QStringLiteral("Z\u00e1znamov : ") + QString::number(m_list1.ListCount()));
}

bool Form9::importBookmarks(const QString &htmlFile)
{
    ensureList();
    if (importRunning() || !m_list1.StartImportBookmarks(programState().FavoritesFile, htmlFile)) {
        if (!importRunning())
            setStatus(importedText(-1));
        return false;
    }
    onImportProgress(0);
    return true;
}

bool Form9::importRunning() const
{
    return !m_cancelImport->isHidden();
}

QString Form9::importedText(int added)
{
    switch (added) {
    case ListProxy::kImportTooLarge: return QStringLiteral("Not imported: the file is larger than 64 MB");
    case ListProxy::kImportCancelled: return QStringLiteral("Import cancelled: nothing was added");
    default:
        return added < 0 ? QStringLiteral("The bookmarks could not be imported")
                         : QStringLiteral("%1 bookmarks imported").arg(added);
    }
}

void Form9::onImportProgress(int percent)
{
    setStatus(QStringLiteral("Importing bookmarks... %1 %").arg(percent));
    m_cancelImport->show();
}

void Form9::onImportFinished(int added)
{
    m_cancelImport->hide();
    // The list control shows the store once the bookmarks are in.
    writeCount();
    setStatus(importedText(added));
}

void Form9::exportBookmarks(const QString &htmlFile)
{
    ensureList();
    m_list1.StartExportBookmarks(programState().FavoritesFile, htmlFile);
}

void Form9::onExportFinished(const QString &htmlFile, bool written)
{
    setStatus(written ? QStringLiteral("Favorites exported to ") + htmlFile
                      : QStringLiteral("Nothing exported: the favorites could not be read, or the file not written"));
}

void Form9::reload()
{
    ensureList();
    m_list1.RefreshFavoritesEx(programState().FavoritesFile);
}

void Form9::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    reload();
}

void Form9::layoutList()
{
    if (QWidget *list = m_list1.widget()) {
        const int h = tw(height()) - 465 - 680;
        if (h >= 0)
            list->resize(list->width(), px(h));
        list->resize(width(), list->height());
    }
}

void Form9::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
    layoutList();
    m_picture2->setGeometry(0, height() - m_picture2->height(), width(), m_picture2->height());
    const int cell = tw(width()) - tw(m_shape1->x()) - tw(m_shape1->width()) - tw(m_shape4->width()) - 90;
    if (cell >= 0) {
        m_shape3->setGeometry(m_shape4->x() + m_shape4->width() + 2, m_shape3->y(), px(cell), m_shape3->height());
        m_lblStatus3->move(m_shape3->x() + 2, m_lblStatus3->y());
    }
}
