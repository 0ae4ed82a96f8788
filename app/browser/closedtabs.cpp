#include "closedtabs.h"

#include "browsercontrol.h"
#include "browsertab.h"
#include "mdlaplication.h"
#include "programstate.h"

void ClosedTabs::remember(Form2 *tab)
{
    const QString url = tab->pageAddress().trimmed();
    if (url.isEmpty() || url == QStringLiteral("about:blank"))
        return;
    m_entries.prepend({url, tab->wb1()->LocationName(), tab->wb1()->saveHistory()});
    while (m_entries.size() > kKept)
        m_entries.removeLast();
}

ClosedTabs::Entry ClosedTabs::take(int index)
{
    if (index < 0 || index >= m_entries.size())
        return {};
    return m_entries.takeAt(index);
}

void ClosedTabs::reopen(const Entry &entry)
{
    if (entry.url.isEmpty())
        return;
    ProgramState &g = programState();
    g.OpenInFront = true;
    Form2 *tab = mdlAplication::OpenBrowserTab(entry.url);
    g.OpenInFront = false;
    // Back and Forward as they were; the history brings back its current
    // page, which is the address just asked for.
    if (tab && !entry.history.isEmpty())
        tab->wb1()->restoreHistory(entry.history);
}
