#include "app/mainwindow/addresscompleter.h"

#include "platform/addressbox.h"
#include "app/mainwindow/suggestionlookup.h"
#include "platform/keycodes.h"
#include "app/settings/browsersettings.h"
#include "app/settings/programstate.h"
#include "app/panes/searchengines.h"
#include "app/mainwindow/suggestiondelegate.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QStandardItemModel>

using AddressRules::Suggestion;

namespace {
// A role no row has: the completer's own prefix matching then picks no row,
// so nothing is current until the user moves there.
constexpr int kNoRole = Qt::UserRole + 100;
} // namespace

AddressCompleter::AddressCompleter(QLineEdit *box, QWidget *parent)
    : QCompleter(parent)
    , m_box(box)
    , m_model(new QStandardItemModel(this))
    , m_delegate(new SuggestionDelegate(this))
    , m_lookup(new SuggestionLookup(
          [this](const QString &dataFile, const QString &words, int limit) {
              // On the lookup's thread: the proxy was made before the question.
              return m_favorites.SuggestFavorites(dataFile, words, limit);
          },
          [this](const QString &dataFile, const QString &words, int limit) {
              QList<AddressRules::PageMatch> matches;
              for (const auto &[record, snippet] : m_favorites.FindPageText(dataFile, words, limit))
                  matches.append({record, snippet});
              return matches;
          },
          this))
{
    setModel(m_model);
    setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    setCompletionRole(kNoRole);
    setCaseSensitivity(Qt::CaseInsensitive);
    setMaxVisibleItems(kMaxFavorites + kMaxHistory + 1);
    popup()->setItemDelegate(m_delegate);
    popup()->setObjectName(QStringLiteral("AddressSuggestions"));
    box->setCompleter(this);
    // The box edits before it asks the completer to show the list: the rows
    // are in place by then.
    connect(box, &QLineEdit::textEdited, this, &AddressCompleter::update);
    if (auto *addressBox = qobject_cast<AddressBox *>(box)) {
        connect(addressBox, &AddressBox::keyDown, this, [this](int *keyCode, int *shift) {
            // Enter or Escape before the answer came: it opens no list.
            if (*keyCode == Qt::Key_Escape || *keyCode == KeyCodes::kEnter)
                m_openOnAnswer = false;
            // The first Escape closes the list (the completer sees to it),
            // one more gives the box back the page's address.
            if (*keyCode != Qt::Key_Escape || *shift != 0 || popup()->isVisible() || !m_pageAddress)
                return;
            if (auto *own = qobject_cast<AddressBox *>(m_box))
                own->showAddress(m_pageAddress());
            m_box->selectAll();
        });
    }
    connect(m_lookup, &SuggestionLookup::found, this,
            [this](const QString &words, const SuggestionLookup::Answer &answer) {
                if (words != m_typed.trimmed())
                    return;
                if (answer.favoritesIn) {
                    m_favoriteRecords = answer.favoriteRecords;
                    m_pageMatches = answer.pageMatches;
                }
                // A part still looked up leaves its rows as they were kept for the words.
                show(m_typed, answer.visitedIn ? answer.visited : shownHistory());
                if (m_openOnAnswer && m_model->rowCount() > 0 && !popup()->isVisible() && m_box->hasFocus()
                    && m_box->text() == m_typed)
                    complete();
                if (answer.complete() || popup()->isVisible())
                    m_openOnAnswer = false;
            });
    connect(popup(), &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { emit chosen(pathFromIndex(index)); });
}

AddressCompleter::~AddressCompleter() = default;

std::pair<QString, QString> AddressCompleter::firstEngine()
{
    QFile file(programState().ConfigFile);
    const QByteArray config = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QString name = SearchEngines::entries(config, QStringLiteral("Text")).value(0);
    const QString urlTemplate = SearchEngines::entries(config, QStringLiteral("Url")).value(0);
    if (urlTemplate.isEmpty() || !urlTemplate.contains(QStringLiteral("<%search%>")))
        return {};
    return {name.isEmpty() ? urlTemplate : name, urlTemplate};
}

FavoritesProxy &AddressCompleter::favorites()
{
    // Made on the first keystroke, so the component is not loaded before
    // the first page needs it.
    if (!m_favorites.isValid())
        m_favorites = FavoritesProxy::create(this);
    return m_favorites;
}

QString AddressCompleter::storedRecord(const QString &url)
{
    return favorites().FindFavorite(programState().FavoritesFile, url);
}

void AddressCompleter::storePageText(const QString &url, const QString &title, const QString &meta, const QString &text)
{
    favorites().StorePageText(programState().FavoritesFile, url, title, meta, text);
}

QStringList AddressCompleter::pagesToRead(int maxAgeDays)
{
    return favorites().PagesToRead(programState().FavoritesFile, maxAgeDays);
}

bool AddressCompleter::answerPending() const
{
    return m_lookup->pending();
}

void AddressCompleter::update(const QString &typed)
{
    const QString words = typed.trimmed();
    if (words.size() <= 1 || m_engine.second.isEmpty())
        m_engine = firstEngine();
    m_typed = typed;
    // The rows shown for the words before stay while they still hold the
    // words, until the answer for these comes.
    const QStringList folded = words.toCaseFolded().split(u' ', Qt::SkipEmptyParts);
    const auto holdsAll = [&folded](const QString &text) {
        const QString mine = text.toCaseFolded();
        bool all = !folded.isEmpty();
        for (const QString &w : folded)
            all = all && mine.contains(w);
        return all;
    };
    QStringList keptFavorites;
    for (const QString &record : std::as_const(m_favoriteRecords)) {
        if (holdsAll(record))
            keptFavorites.append(record);
    }
    m_favoriteRecords = keptFavorites;
    // A page found by its text stays while its snippet still shows the words.
    QList<AddressRules::PageMatch> keptPages;
    for (const AddressRules::PageMatch &match : std::as_const(m_pageMatches)) {
        if (holdsAll(match.record + u' ' + match.snippet))
            keptPages.append(match);
    }
    m_pageMatches = keptPages;
    QList<AddressRules::HistoryRow> kept;
    for (const AddressRules::HistoryRow &row : shownHistory()) {
        if (holdsAll(row.title + u' ' + row.url))
            kept.append(row);
    }
    show(typed, kept);
    // A keystroke that shows no list yet leaves it to the history's answer.
    m_openOnAnswer = m_model->rowCount() == 0;
    if (!words.isEmpty()) {
        favorites(); // made here, on the window's thread, for the lookup's
        m_lookup->ask(words, programState().FavoritesFile, kMaxFavorites,
                      BrowserSettings::keepPageText() ? kMaxPageText : 0, kMaxHistory);
    }
}

QList<AddressRules::HistoryRow> AddressCompleter::shownHistory() const
{
    QList<AddressRules::HistoryRow> rows;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const QStandardItem *item = m_model->item(i);
        if (item->data(SuggestionDelegate::KindRole).toInt() == int(AddressRules::Suggestion::Kind::History))
            rows.append({item->text(), item->data(SuggestionDelegate::UrlRole).toString()});
    }
    return rows;
}

void AddressCompleter::show(const QString &typed, const QList<AddressRules::HistoryRow> &history)
{
    const QString words = typed.trimmed();
    const QList<Suggestion> rows = words.isEmpty()
        ? QList<Suggestion>()
        : AddressRules::suggestions(typed, m_favoriteRecords, history, m_engine.first, m_pageMatches);
    m_delegate->setTyped(words);
    // Only the rows that changed are replaced: the row the user moved to
    // stays where it is when the history's answer comes in.
    const auto same = [this, &rows](int modelRow, qsizetype row) {
        const QStandardItem *item = m_model->item(modelRow);
        const Suggestion &s = rows.at(row);
        return item->text() == s.title && item->data(SuggestionDelegate::UrlRole).toString() == s.url
            && item->data(SuggestionDelegate::KindRole).toInt() == int(s.kind)
            && item->data(SuggestionDelegate::CompletionRole).toString() == s.completion
            && item->data(SuggestionDelegate::SnippetRole).toString() == s.snippet;
    };
    int head = 0;
    while (head < m_model->rowCount() && head < rows.size() && same(head, head))
        ++head;
    int tail = 0;
    while (tail < m_model->rowCount() - head && tail < rows.size() - head
           && same(m_model->rowCount() - 1 - tail, rows.size() - 1 - tail))
        ++tail;
    m_model->removeRows(head, m_model->rowCount() - head - tail);
    for (qsizetype i = head; i < rows.size() - tail; ++i) {
        const Suggestion &s = rows.at(i);
        auto *item = new QStandardItem(s.title);
        item->setData(s.url, SuggestionDelegate::UrlRole);
        item->setData(int(s.kind), SuggestionDelegate::KindRole);
        item->setData(s.completion, SuggestionDelegate::CompletionRole);
        item->setData(s.snippet, SuggestionDelegate::SnippetRole);
        item->setToolTip(s.url);
        m_model->insertRow(int(i), item);
    }
}

QString AddressCompleter::pathFromIndex(const QModelIndex &index) const
{
    return index.data(SuggestionDelegate::CompletionRole).toString();
}
