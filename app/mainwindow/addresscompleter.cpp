#include "addresscompleter.h"

#include "addressbox.h"
#include "programstate.h"
#include "searchengines.h"
#include "suggestiondelegate.h"

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
            // The first Escape closes the list (the completer sees to it),
            // one more gives the box back the page's address.
            if (*keyCode != Qt::Key_Escape || *shift != 0 || popup()->isVisible() || !m_pageAddress)
                return;
            if (auto *own = qobject_cast<AddressBox *>(m_box))
                own->showAddress(m_pageAddress());
            m_box->selectAll();
        });
    }
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

void AddressCompleter::update(const QString &typed)
{
    const QString words = typed.trimmed();
    if (words.size() <= 1 || m_engine.second.isEmpty())
        m_engine = firstEngine();
    m_history.refreshFor(typed);
    const QList<Suggestion> rows = words.isEmpty()
        ? QList<Suggestion>()
        : AddressRules::suggestions(typed,
                                    favorites().SuggestFavorites(programState().FavoritesFile, words, kMaxFavorites),
                                    m_history.matching(words, kMaxHistory), m_engine.first);
    m_delegate->setTyped(words);
    m_model->clear();
    for (const Suggestion &s : rows) {
        auto *item = new QStandardItem(s.title);
        item->setData(s.url, SuggestionDelegate::UrlRole);
        item->setData(int(s.kind), SuggestionDelegate::KindRole);
        item->setData(s.completion, SuggestionDelegate::CompletionRole);
        item->setToolTip(s.url);
        m_model->appendRow(item);
    }
}

QString AddressCompleter::pathFromIndex(const QModelIndex &index) const
{
    return index.data(SuggestionDelegate::CompletionRole).toString();
}
