// The address box's drop-down.
#pragma once

#include "app/mainwindow/addressrules.h"
#include "navkit/proxies/favoritesproxy.h"

#include <QCompleter>
#include <QElapsedTimer>

#include <functional>

class SuggestionLookup;
class QLineEdit;
class QStandardItemModel;
class SuggestionDelegate;

// The address box's drop-down: as the user types, the favorites that hold
// the words (title, address, keywords or description), then those whose
// page's text holds them (with a snippet of it), then visited pages,
// then a search with the first search engine for words that are no
// address. Picking a row puts its address (or the words) in the box; the
// box's Enter opens it. A click on a row opens it at once (chosen).
class AddressCompleter : public QCompleter
{
    Q_OBJECT

public:
    static constexpr int kMaxFavorites = 6;
    static constexpr int kMaxHistory = 6;
    static constexpr int kMaxPageText = 4;

    // Attaches itself to box.
    explicit AddressCompleter(QLineEdit *box, QWidget *parent);
    ~AddressCompleter() override;

    // Fills the list for the text as typed; the box's own edits call it.
    // The favorites and visited pages for it are looked up away from the
    // window's thread and join the list when they are found.
    void update(const QString &typed);
    // True while the rows for the text typed are still looked up.
    bool answerPending() const;
    QString pathFromIndex(const QModelIndex &index) const override;
    // Escape with no list open puts this back in the box: the address of
    // the page in front.
    void setPageAddress(std::function<QString()> pageAddress) { m_pageAddress = std::move(pageAddress); }
    // The stored favorite record whose address is url; empty when none.
    // Safe on any thread once prepareFavorites ran on the window's thread.
    QString storedRecord(const QString &url);
    void prepareFavorites() { favorites(); }
    // The page text index of the favorites: a page's words kept (for a
    // favorite's address only), and the favorites whose page is due to be
    // read (any thread once prepareFavorites ran).
    void storePageText(const QString &url, const QString &title, const QString &meta, const QString &text);
    QStringList pagesToRead(int maxAgeDays);
    // The first search engine of the configuration file: its name and
    // address template (both empty when there is none).
    static std::pair<QString, QString> firstEngine();

signals:
    void chosen(const QString &text);

private:
    FavoritesProxy &favorites();
    // The rows for typed with the visited pages given, put in the list in
    // place of what changed (a row the user moved to stays chosen).
    void show(const QString &typed, const QList<AddressRules::HistoryRow> &history);
    // The visited pages the list shows now.
    QList<AddressRules::HistoryRow> shownHistory() const;

    QLineEdit *m_box;
    QStandardItemModel *m_model;
    SuggestionDelegate *m_delegate;
    FavoritesProxy m_favorites; // the favorites store's reader
    SuggestionLookup *m_lookup;
    QString m_typed;               // as the box holds it, for the history's answer
    QStringList m_favoriteRecords; // for the words typed
    QList<AddressRules::PageMatch> m_pageMatches;
    bool m_openOnAnswer = false;
    std::pair<QString, QString> m_engine;
    std::function<QString()> m_pageAddress;
};
