#include "mdlaplication.h"

#include "dockframe.h"
#include "addressbox.h"
#include "dockpane.h"
#include "documentwindow.h"

#include <QGuiApplication>
#include <QScreen>
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
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!form || !screen || divisor == 0)
        return;
    const QRect s = screen->geometry();
    form->move(s.x() + (s.width() - form->width()) / 2, s.y() + (s.height() - form->height()) / divisor);
}

} // namespace mdlAplication
