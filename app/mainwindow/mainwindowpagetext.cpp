// The main window's part in keeping favorites' page text: what the page text
// keeper and the pages' reader are given (kept apart from mainwindow.cpp,
// which holds the window's start and end).
#include "app/mainwindow/mainwindow.h"

#include "app/browser/browsertab.h"
#include "app/mainwindow/addresscompleter.h"
#include "app/mainwindow/browsertabs.h"
#include "app/mainwindow/favoritepagesreader.h"
#include "app/mainwindow/favoritepagetext.h"
#include "app/settings/browsersettings.h"

void Form1::setupPageText()
{
    // Both act once the completer (the favorites' reader) is made, after
    // the first page: a page loaded before is not read.
    FavoritePageText::Hooks text;
    text.enabled = [this] { return m_completer && BrowserSettings::keepPageText(); };
    text.prepare = [this] { m_completer->prepareFavorites(); };
    text.storedRecord = [this](const QString &url) { return m_completer->storedRecord(url); };
    const auto store = [this](const QString &url, const MetaReader::PageText &page) {
        if (m_completer && BrowserSettings::keepPageText())
            m_completer->storePageText(url, page.title, page.meta, page.text);
    };
    text.store = store;
    auto *pageText = new FavoritePageText(std::move(text), this);
    connect(m_tabs, &BrowserTabs::tabOpened, pageText, [pageText](Form2 *tab) {
        if (!tab->isPrivate())
            pageText->watch(tab->wb1());
    });
    FavoritePagesReader::Hooks reader;
    reader.prepare = [this] {
        if (m_completer)
            m_completer->prepareFavorites();
    };
    reader.due = [this](int maxAgeDays) { return m_completer ? m_completer->pagesToRead(maxAgeDays) : QStringList(); };
    reader.store = store;
    m_pagesReader = new FavoritePagesReader(std::move(reader), this);
    m_pageText = pageText;
}
