#include "app/browser/closedtabs.h"

#include "engine/browsercontrol.h"
#include "app/browser/browsertab.h"

void ClosedTabs::remember(Form2 *tab)
{
    const QString url = tab->pageAddress().trimmed();
    // A private page is not remembered once closed.
    if (tab->isPrivate() || url.isEmpty() || url == QStringLiteral("about:blank"))
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
