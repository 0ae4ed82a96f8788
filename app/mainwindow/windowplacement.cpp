#include "app/mainwindow/windowplacement.h"

#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "platform/registrystore.h"
#include "platform/twipsgeometry.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace WindowPlacement {

void restore(QMainWindow *window)
{
    using namespace mdlRegistry;
    const int state = toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.State")));
    if (state == 2) {
        window->setWindowState(Qt::WindowMaximized);
        return;
    }
    if (state == 1) {
        window->setWindowState(Qt::WindowMinimized);
        return;
    }
    const int top = toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Top")));
    const int left = toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Left")));
    const int width = toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Width")));
    const int height = toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Height")));
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    // With nothing stored (first run) a window of usable size, not the
    // smallest the desktop allows; the same when the stored place is out of
    // sight on the screens there are now.
    using TwipsGeometry::px;
    const QRect stored(px(left), px(top), px(width), px(height));
    if (width <= 0 || height <= 0 || !MainRules::placementReachable(stored, screens)) {
        window->resize(width > 0 && height > 0 ? stored.size() : QSize(1024, 720));
        mdlAplication::CenterForm(window, 2);
        return;
    }
    window->move(stored.topLeft());
    window->resize(stored.size());
}

void save(const QMainWindow *window)
{
    const Qt::WindowStates s = window->windowState();
    const int state = s & Qt::WindowMinimized ? 1 : (s & Qt::WindowMaximized ? 2 : 0);
    QList<std::pair<QString, RegValue>> values{
        {QStringLiteral("Main.State"), RegValue::string(QString::number(state))}};
    if (state == 0) {
        const QRect r = window->geometry();
        const auto twips = [](int pixels) { return RegValue::string(QString::number(float(Twips::tw(pixels)))); };
        values += {{QStringLiteral("Main.Top"), twips(window->pos().y())},
                   {QStringLiteral("Main.Left"), twips(window->pos().x())},
                   {QStringLiteral("Main.Width"), twips(r.width())},
                   {QStringLiteral("Main.Height"), twips(r.height())}};
    }
    // One write for all of them: each is a flush to disk, at every exit.
    RegistryStore().setValues(HKEY_LOCAL_MACHINE, mdlRegistry::kFormsKey, values);
}

} // namespace WindowPlacement
