#include "browsertabs.h"

#include "backgroundtabs.h"
#include "browsercontrol.h"
#include "browsertab.h"
#include "dockframe.h"
#include "documentwindow.h"
#include "loadedpages.h"
#include "mainwindow.h"
#include "mdlaplication.h"
#include "programstate.h"
#include "tabhistoryfile.h"
#include "tabrules.h"
#include "urlhistorystore.h"

BrowserTabs::BrowserTabs(Form1 *window, DockFrame *dock)
    : QObject(window)
    , m_window(window)
    , m_dock(dock)
    , m_background(new BackgroundTabs(this))
{}

void BrowserTabs::adopt(Form2 *tab)
{
    m_background->watch(tab);
    connect(tab, &Form2::backForwardChanged, this, [this, tab] {
        if (activeTab() == tab)
            emit activeBackForwardChanged(tab->StateBack(), tab->StateNext());
    });
    connect(tab, &Form2::addressChanged, this, [this, tab](const QString &address) {
        if (activeTab() == tab)
            emit activeAddressChanged(address, AddressSource::Page);
    });
    connect(tab, &Form2::captionChanged, this, [this, tab](const QString &caption, const QString &toolTip) {
        if (DocumentWindow *document = documentOf(tab))
            document->setCaption(caption, toolTip);
    });
    connect(tab, &Form2::pageChanged, this, [this, tab] { recordPage(tab); });
    connect(tab, &Form2::newTabRequested, this, [](const QString &url) { mdlAplication::OpenBrowserTab(url); });
}

void BrowserTabs::activated(Form2 *tab, DocumentWindow *document)
{
    emit activeBackForwardChanged(tab && tab->StateBack(), tab && tab->StateNext());
    if (!tab)
        return;
    if (!m_window->AddressNavigating()) {
        // A restored tab shown for the first time has no page yet: its address.
        const QString shown = tab->wb1()->LocationURL();
        emit activeAddressChanged(shown.isEmpty() ? tab->pageAddress() : shown, AddressSource::TabSwitch);
    }
    if (!tab->loadPending()) { // a restored tab keeps naming its site until it is shown
        const QString title = tab->wb1()->LocationName();
        const QString address = tab->wb1()->LocationURL();
        document->setCaption(TabRules::activatedCaption(title, document->position()),
                             TabRules::pageToolTip(title, address));
    }
}

void BrowserTabs::restoreSession(const QStringList &saved)
{
    UrlHistoryStore visited;
    const QList<TabHistoryFile::Entry> histories =
        TabHistoryFile::read(TabHistoryFile::pathBeside(programState().LoadedFile));
    for (qsizetype i = 0; i < saved.size(); ++i) {
        const QString &url = saved.at(i);
        Form2 *form = mdlAplication::OpenBrowserTab(url, mdlAplication::TabLoad::WhenShown);
        if (form)
            form->setRestoredHistory(TabHistoryFile::historyFor(histories, i, url));
        // Named by the title last seen for the page until it loads.
        const std::optional<UrlHistoryEntry> known = visited.entryFor(url.trimmed());
        DocumentWindow *window = form ? documentOf(form) : nullptr;
        if (window && known && !known->title.trimmed().isEmpty())
            window->setCaption(TabRules::tabCaption(known->title), known->title.trimmed());
    }
}

void BrowserTabs::open(const QString &url, PageTarget target)
{
    if (target == PageTarget::NewTab) {
        mdlAplication::OpenBrowserTab(url);
    } else if (Form2 *tab = activeTab()) {
        tab->wb1()->Navigate(url);
    }
}

QStringList BrowserTabs::openPages() const
{
    QStringList addresses;
    for (DocumentWindow *w : m_dock->documents()) {
        const auto *tab = qobject_cast<const Form2 *>(w->hostedForm());
        addresses.append(tab ? tab->pageAddress() : QString());
    }
    return addresses;
}

QList<std::pair<QString, QByteArray>> BrowserTabs::savedHistories() const
{
    QList<std::pair<QString, QByteArray>> histories;
    const QList<DocumentWindow *> windows = m_dock->documents();
    for (qsizetype i = TabRules::kFavoritesTab; i < windows.size(); ++i) {
        const auto *tab = qobject_cast<const Form2 *>(windows.at(i)->hostedForm());
        const QString url = tab ? tab->pageAddress().trimmed() : QString();
        if (!url.isEmpty())
            histories.append({url, tab->historyState()});
    }
    return histories;
}

Form2 *BrowserTabs::activeTab() const
{
    const DocumentWindow *w = m_dock->activeDocument();
    return w ? qobject_cast<Form2 *>(w->hostedForm()) : nullptr;
}

DocumentWindow *BrowserTabs::documentOf(const Form2 *tab) const
{
    const int position = mdlAplication::FindTabByKey(m_dock, tab->Tag());
    return position > 0 ? m_dock->document(position) : nullptr;
}

void BrowserTabs::recordPage(const Form2 *tab)
{
    // Once the window closes it writes the whole list itself; pages that
    // complete meanwhile would write into positions that are shifting.
    if (!m_recording || m_window->IsClosing())
        return;
    const QString &file = programState().LoadedFile;
    if (DocumentWindow *document = documentOf(tab))
        LoadedPages::writeEntry(file, document->position(), tab->wb1()->LocationURL().trimmed());
    LoadedPages::writeCount(file, m_dock->documentCount());
}
