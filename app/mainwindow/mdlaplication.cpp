#include "mdlaplication.h"

#include "dockframe.h"
#include "dockpane.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "browsertab.h"
#include "browsertabs.h"
#include "favoritestab.h"
#include "programstate.h"
#include "tabrules.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QUrl>
#include <QWidget>

namespace mdlAplication {

Form2 *OpenBrowserTab(const QString &address, TabLoad load)
{
    Form1 *main = programState().mainForm;
    if (!main)
        return nullptr;
    // Made inside the main window, hidden until its tab takes it: a form
    // without a parent would get a native window of its own as soon as its
    // browser starts, only to lose it again to the tab. A restored tab's
    // browser starts only when the tab is shown, so it is made without one:
    // moving a child of the main window into its tab walks the window's
    // whole focus chain, which grows with every tab.
    auto *form = new Form2(main->wb(), load == TabLoad::WhenShown ? nullptr : main);
    emit main->browserTabCreated(form);
    form->setLoadURL(address, load == TabLoad::WhenShown ? Form2::LoadWhen::WhenShown : Form2::LoadWhen::Now);
    // A tab waiting to be shown names its site meanwhile.
    const QString host = QUrl(address.trimmed()).host();
    // A restored tab goes in behind the current one: bringing each of them
    // to the front for a moment (and moving the focus there) costs time for
    // nothing while the window is not yet drawn.
    DocumentWindow *window = main->dsMain()->addDocument(
        form->loadPending() && !host.isEmpty() ? TabRules::tabCaption(host) : QStringLiteral(" New Tab "), form,
        form->loadPending() ? DockFrame::Placement::Behind : DockFrame::Placement::Front);
    window->setSecondFlag(false);
    window->setShown(true);
    form->setTag(window->key());
    return form;
}

void OpenFavoritesTab()
{
    Form1 *main = programState().mainForm;
    if (!main)
        return;
    auto *form = new Form9;
    QObject::connect(form, &Form9::openRequested, main->tabs(), &BrowserTabs::open);
    DocumentWindow *window = main->dsMain()->addDocument(QStringLiteral(" Favorites "), form);
    window->setSecondFlag(false);
    window->setShown(true);
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

QWidget *AddressBoxWindow()
{
    Form1 *main = programState().mainForm;
    return main ? main->dsMain()->addressBox() : nullptr;
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
