#include "navkit/listctl/listcontrol.h"

#include "navkit/favorites/pagetextindex.h"

#include "platform/atomicfile.h"
#include "navkit/favorites/favoritesservice.h"
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/listctl/favoriterows.h"
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/listctl/historyrows.h"
#include "platform/keycodes.h"
#include "navkit/listctl/listrules.h"
#include "platform/logging.h"
#include "navkit/favorites/mdlfavorites.h"
#include "navkit/listctl/rowdelegate.h"
#include "navkit/listctl/rowlistview.h"
#include "navkit/listctl/rowmodel.h"
#include "platform/timeconv.h"
#include "platform/twips.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>

#include <limits>

using namespace Twips;

namespace {

int buttonBits(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

} // namespace

ListControl::ListControl(QWidget *parent)
    : QWidget(parent)
    , m_picture1(new QWidget(this))
    , m_list(new RowListView(m_picture1))
    , m_model(new RowModel(this))
    , m_picture2(new QWidget(this))
    , m_service(new FavoritesService(this))
{
    connect(m_service, &FavoritesService::ImportProgress, this, &ListControl::ImportProgress);
    connect(m_service, &FavoritesService::DeleteFinished, this, &ListControl::DeleteFinished);
    connect(m_service, &FavoritesService::ReplaceFinished, this, &ListControl::ReplaceFinished);
    connect(m_service, &FavoritesService::ExportFinished, this, &ListControl::ExportFinished);
    // A favorite is listed once it is stored.
    connect(m_service, &FavoritesService::InsertFinished, this, [this](const QString &record, bool saved) {
        if (saved && !FavoritesStore::isBlank(record))
            AddItem(ListRules::rowText(FavoriteRecord::field(record, FavoriteRecord::Field::Title)));
        emit InsertFinished(record, saved);
    });
    setObjectName(QStringLiteral("List1"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);
    for (QWidget *w : {m_picture1, m_picture2}) {
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, Qt::white);
        w->setPalette(p);
    }
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setItemDelegate(new RowDelegate(m_list));
    m_list->move(-1, -2); // its top and left border lines stay hidden
    m_picture2->setFixedHeight(px(75));
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    // A mouse press makes the row current first and selects it after, the
    // keyboard the other way round: Click is raised once the row under the
    // cursor is both, so ListIndex names it.
    const auto reportClick = [this] {
        const int row = ListIndex();
        if (row == m_clickedRow)
            return;
        m_clickedRow = row;
        if (row >= 0)
            emit Click();
    };
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, reportClick);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, reportClick);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_clickedRow = -1; });
    connect(m_list, &QListView::doubleClicked, this, [this] { emit DblClick(); });
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit Scroll(); });

    QStringList placeholders;
    for (int i = 0; i <= 10; ++i)
        placeholders.append(QStringLiteral("Item %1").arg(i));
    setRows(placeholders);
}

void ListControl::setRows(QStringList rows)
{
    ++m_listAsked;
    m_model->setRows(std::move(rows));
}

int ListControl::ListCount() const
{
    return m_model->rowCount();
}

int ListControl::ListIndex() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && m_list->selectionModel()->isSelected(current) ? current.row() : -1;
}

void ListControl::setFocusRect(int n_FocusRect)
{
    m_focusRect = n_FocusRect;
    m_picture1->setProperty("FocusRect", n_FocusRect);
    if (auto *d = qobject_cast<RowDelegate *>(m_list->itemDelegate()))
        d->setFocusRect(n_FocusRect == 1);
    m_list->viewport()->update();
}

QString ListControl::Text() const
{
    const int index = ListIndex();
    return index < 0 ? QString() : List(index);
}

void ListControl::setText(const QString &n_Text)
{
    const int row = m_model->indexOf(n_Text);
    if (row >= 0)
        selectRow(row);
}

void ListControl::setMousePointer(int n_MousePointer)
{
    m_mousePointer = n_MousePointer;
    if (n_MousePointer == 11)
        m_list->setCursor(Qt::WaitCursor);
    else
        m_list->unsetCursor();
}

QString ListControl::List(int Index) const
{
    return m_model->text(Index);
}

bool ListControl::setList(int Index, const QString &n_List)
{
    return m_model->setText(Index, n_List);
}

QString ListControl::ListUrl(int Index) const
{
    return m_history ? m_history->url(Index) : QString();
}

QString ListControl::ItemUrl(int Index) const
{
    return m_favorites ? m_favorites->url(Index) : QString();
}

QString ListControl::ItemRecord(int Index) const
{
    return m_favorites ? m_favorites->record(Index) : QString();
}

bool ListControl::MultiSelect() const
{
    return m_list->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void ListControl::setMultiSelect(bool n_MultiSelect)
{
    m_list->setSelectionMode(n_MultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> ListControl::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ListControl::DeleteFavorites(const QString &dataFile, const QStringList &records)
{
    return m_service->DeleteFavorites(dataFile, records);
}

bool ListControl::ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    return m_service->ReplaceFavorite(dataFile, oldRecord, newRecord);
}

void ListControl::StartDeleteFavorites(const QString &dataFile, const QStringList &records)
{
    m_service->StartDeleteFavorites(dataFile, records);
}

void ListControl::StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    m_service->StartReplaceFavorite(dataFile, oldRecord, newRecord);
}

void ListControl::StartExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    m_service->StartExportBookmarks(dataFile, htmlFile);
}

QString ListControl::FindFavorite(const QString &dataFile, const QString &url) const
{
    return m_service->FindFavorite(dataFile, url);
}

QStringList ListControl::SuggestFavorites(const QString &dataFile, const QString &search, int max) const
{
    return m_service->SuggestFavorites(dataFile, search, max);
}

bool ListControl::AddItem(const QString &Item)
{
    return AddItem(Item, -1);
}

bool ListControl::AddItem(const QString &Item, int Index)
{
    const int row = Index >= 0 ? Index : ListCount();
    return m_model->insertText(row, Item);
}

bool ListControl::RemoveItem(int Index)
{
    return m_model->removeRowAt(Index);
}

void ListControl::Clear()
{
    setRows({});
}

void ListControl::selectRow(int Index)
{
    if (Index < 0 || Index >= ListCount())
        return;
    const QModelIndex index = m_model->index(Index);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ListControl::RefreshHistoryEx()
{
    RefreshHistoryEx(QString(), QString());
}

void ListControl::RefreshHistoryEx(const QString &m_date)
{
    RefreshHistoryEx(m_date, QString());
}

void ListControl::RefreshHistoryEx(const QString &m_date, const QString &m_mask)
{
    // The rows are read from the store as they are drawn: the list opens at
    // once however long the history is.
    m_image = QStringLiteral("bmp_01");
    ++m_listAsked;
    auto rows = std::make_shared<HistoryRows>(m_date.isEmpty() ? std::nullopt : ListRules::dayOf(m_date), m_mask,
                                              TimeConv::toFileTime(QDateTime::currentDateTimeUtc()));
    m_history = rows;
    m_model->setSource(rows);
    if (!rows->counted())
        countHistoryLater(rows);
}

void ListControl::countHistoryLater(const std::shared_ptr<HistoryRows> &rows)
{
    // Counting a million visits takes longer than a frame: the first rows
    // are shown meanwhile, the rest join the list when counted.
    const UrlHistoryStore::VisitRange range = rows->range();
    const std::weak_ptr<HistoryRows> listed = rows;
    m_readers.start([this, range, listed] {
        if (listed.expired())
            return; // another list was asked for before this one was counted
        const std::optional<UrlHistoryStore::VisitCount> counted = UrlHistoryStore().countVisits(range);
        QMetaObject::invokeMethod(
            this,
            [this, listed, counted] {
                const std::shared_ptr<HistoryRows> shown = listed.lock();
                if (!shown || shown != m_history)
                    return; // another list was asked for meanwhile
                if (!counted) {
                    qCWarning(lcFiles) << "history not counted: only its first rows are listed";
                    return;
                }
                m_model->growSource(shown.get(), int(std::min<qint64>(counted->count, std::numeric_limits<int>::max())),
                                    [&] { shown->setCount(counted->count); });
                emit HistoryCounted(ListCount());
            },
            Qt::QueuedConnection);
    });
}

void ListControl::RefreshFavoritesEx(const QString &dataFile)
{
    RefreshFavoritesEx(dataFile, QString());
}

void ListControl::RefreshFavoritesEx(const QString &dataFile, const QString &strSearch)
{
    // The store is read again only when it changed; a keystroke searches
    // the folded copy the index keeps.
    const quint64 asked = ++m_listAsked;
    auto rows = std::make_shared<const FavoriteRows>(FavoritesIndex::of(dataFile), strSearch);
    m_favorites = rows;
    m_model->setSource(rows);
    if (PageTextIndex::matchExpression(strSearch).isEmpty())
        return;
    // The favorites whose page holds the words join the list when found,
    // after those that hold them in their record.
    m_readers.start([this, dataFile, strSearch, asked, index = rows->index()] {
        auto matches = FavoritesService::pageTextMatches(*index, dataFile, strSearch, kMaxPageTextRows);
        if (matches.empty())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, strSearch, asked, index, matches = std::move(matches)] {
                if (asked != m_listAsked)
                    return; // another list was asked for meanwhile
                auto withText = std::make_shared<const FavoriteRows>(index, strSearch, matches);
                m_favorites = withText;
                m_model->setSource(std::move(withText));
            },
            Qt::QueuedConnection);
    });
}

void ListControl::RefreshFavoritesLater(const QString &dataFile)
{
    if (QFileInfo(dataFile).size() <= kReadAtOnceBytes || FavoritesIndex::ifRead(dataFile)) {
        RefreshFavoritesEx(dataFile, QString());
        emit FavoritesListed(ListCount());
        return;
    }
    setRows({});
    const quint64 asked = m_listAsked;
    m_readers.start([this, dataFile, asked] {
        std::shared_ptr<const FavoritesIndex> index = FavoritesIndex::of(dataFile);
        QMetaObject::invokeMethod(
            this,
            [this, index = std::move(index), asked] {
                if (asked != m_listAsked)
                    return; // another list was asked for meanwhile
                auto rows = std::make_shared<const FavoriteRows>(index, QString());
                m_favorites = rows;
                m_model->setSource(std::move(rows));
                emit FavoritesListed(ListCount());
            },
            Qt::QueuedConnection);
    });
}

void ListControl::InsertFavorites(const QString &dataFile, const QString &Item)
{
    // Saved away from the window's thread; listed when stored (a blank
    // record is neither).
    m_service->StartInsertFavorite(dataFile, Item);
}

int ListControl::ImportFromIE(const QString &dataFile, bool bClear)
{
    if (bClear && QFile::exists(dataFile) && !QFile::remove(dataFile))
        qCWarning(lcFiles) << "favorites file not removed" << dataFile;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString folder = mdlFavorites::FavoritesFolderPath(mdlFavorites::kCsidlFavorites);
    QString pattern = QStringLiteral("*.url");
    qint16 count = 0;
    mdlFavorites::ImportFolder(dataFile, folder, pattern, count);
    RefreshFavoritesEx(dataFile, QString());
    QApplication::restoreOverrideCursor();
    return count;
}

int ListControl::ImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    const int added = m_service->ImportBookmarks(dataFile, htmlFile);
    if (added >= 0)
        RefreshFavoritesEx(dataFile, QString());
    return added;
}

bool ListControl::StartImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    if (!m_service->StartImportBookmarks(dataFile, htmlFile))
        return false;
    // One finish per start: the store is shown before the host hears of it.
    connect(
        m_service, &FavoritesService::ImportFinished, this,
        [this, dataFile](int added) {
            if (added >= 0)
                RefreshFavoritesEx(dataFile, QString());
            emit ImportFinished(added);
        },
        Qt::SingleShotConnection);
    return true;
}

void ListControl::CancelImport()
{
    m_service->CancelImport();
}

bool ListControl::ExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    return m_service->ExportBookmarks(dataFile, htmlFile);
}

bool ListControl::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        int code = key->key();
        int shift = KeyCodes::shiftBits(key->modifiers());
        emit KeyDown(&code, &shift);
        if (!key->text().isEmpty()) {
            int ascii = key->text().at(0).unicode();
            emit KeyPress(&ascii);
            if (ascii == 0)
                return true; // the host cancelled the key
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        int code = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z ? key->key() : key->key() & 0xffff;
        int shift = KeyCodes::shiftBits(key->modifiers());
        emit KeyUp(&code, &shift);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        if (watched != m_list->viewport())
            break;
        auto *mouse = static_cast<QMouseEvent *>(event);
        int button = buttonBits(mouse->button());
        int shift = KeyCodes::shiftBits(mouse->modifiers());
        float x = float(tw(mouse->position().x()));
        float y = float(tw(mouse->position().y()));
        if (event->type() == QEvent::MouseButtonPress)
            emit MouseDown(&button, &shift, &x, &y);
        else
            emit MouseUp(&button, &shift, &x, &y);
        // A right click acts on the highlighted row (hosts copy its URL):
        // the view would otherwise move the selection to the row under the
        // pointer after the host read it.
        if (mouse->button() == Qt::RightButton)
            return true;
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void ListControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_picture1->resize(width(), height());
    m_list->resize(width() - 2, height());
    m_picture2->setGeometry(0, m_list->y() + m_list->height() - 1, width(), m_picture2->height());
    m_picture2->raise();
}

void ListControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (ListCount() > 0) {
        selectRow(ListCount() - 1);
        selectRow(0);
    }
}
