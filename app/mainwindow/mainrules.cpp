#include "app/mainwindow/mainrules.h"

#include "platform/keycodes.h"
#include "app/mainwindow/loadedpages.h"
#include "app/settings/mdlinicontrol.h"

namespace MainRules {

int addressWidth(int controlWidth)
{
    return controlWidth - 3540 - 1500;
}

bool popupOpensTab(int allowPopup, int lastShift, bool openInFront, bool isLoading)
{
    return allowPopup == 0 || lastShift == 1 || (openInFront && !isLoading);
}

bool placementReachable(const QRect &window, const QList<QRect> &screens)
{
    for (const QRect &screen : screens) {
        const QRect seen = window.intersected(screen);
        if (seen.width() >= 32 && seen.height() >= 32)
            return true;
    }
    return false;
}

QStringList pagesToReopen(const QString &loadedFile)
{
    return LoadedPages::read(loadedFile);
}

StatusLayout statusBarLayout(int width)
{
    // Shape1 at 1950 wide 5415, Shape4 wide 1080, Shape3 wide 1395.
    StatusLayout l;
    l.shape3Left = width - 1395;
    l.shape2Width = width - 1950 - 5415 - 1395 - 1080 - 90;
    l.label2Width = l.shape2Width - 60;
    l.label3Left = l.shape3Left;
    return l;
}

int keyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return qtKey & 0xffff;
    }
}

int shiftBits(Qt::KeyboardModifiers m)
{
    return KeyCodes::shiftBits(m);
}

QString fixedTabText(int position)
{
    return position == 1 ? QStringLiteral("The home page tab stays open")
                         : QStringLiteral("The favorites tab stays open");
}

QString popStopText(bool on)
{
    return on ? QStringLiteral("Pop-up stop on: pages cannot open new windows (hold Shift to let one through)")
              : QStringLiteral("Pop-up stop off: pages may open new windows, as new tabs");
}

} // namespace MainRules
