#include "app/mainwindow/mdlaplication.h"

#include "platform/dockframe.h"
#include "platform/addressbox.h"
#include "platform/dockpane.h"
#include "platform/documentwindow.h"
#include "platform/screencenter.h"

#include <QWidget>

namespace mdlAplication {

Form2 *OpenBrowserTab(BrowserTabs &tabs, const QString &address, TabLoad load)
{
    return tabs.openTab(address, load);
}

void OpenFavoritesTab(BrowserTabs &tabs)
{
    tabs.openFavoritesTab();
}

int ActiveTabPosition(DockFrame *dock)
{
    const DocumentWindow *w = dock ? dock->activeDocument() : nullptr;
    return w ? w->position() : -1;
}

int FindTabByKey(DockFrame *dock, const QString &key)
{
    const DocumentWindow *w = dock ? dock->documentByKey(key) : nullptr;
    return w ? w->position() : -1;
}

void AttachPane(DockFrame *dock, QWidget *form, const QString &paneName)
{
    if (DockPane *pane = dock ? dock->pane(paneName) : nullptr)
        pane->setHostedForm(form);
}

QWidget *AddressBoxWindow(DockFrame *dock)
{
    return dock ? dock->addressBox() : nullptr;
}

void CenterForm(QWidget *form, int divisor)
{
    ScreenCenter::place(form, divisor);
}

} // namespace mdlAplication
