// The rules of the main window, as small functions.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// The rules of the main window, as small functions. Lengths are in twips.
namespace MainRules {

// The address box width for a docking control of the given width.
int addressWidth(int controlWidth);

// Whether a page's new window opens as a tab.
bool popupOpensTab(int allowPopup, int lastShift, bool openInFront, bool isLoading);

// The addresses to reopen from the loaded-pages file, positions 3 to
// "Count", skipping blank and missing entries; passed on as read.
QStringList pagesToReopen(const QString &loadedFile);

// Whether a stored window rectangle (pixels) can still be reached: a part
// of at least 32 x 32 pixels lies on one of the screens. A window stored on
// a screen that is gone would otherwise open out of sight.
bool placementReachable(const QRect &window, const QList<QRect> &screens);

// The status bar fields for a bar of inner width w.
struct StatusLayout {
    int shape3Left;
    int shape2Width;
    int label2Width;
    int label3Left;
};
StatusLayout statusBarLayout(int width);

// Windows key code and shift bits (1 Shift, 2 Ctrl, 4 Alt) for a Qt key.
int keyCode(int qtKey);
int shiftBits(Qt::KeyboardModifiers modifiers);

// What the active tab says when a fixed tab (1 or 2) refuses to close.
QString fixedTabText(int position);
// What the active tab says when pop-up stop is switched on or off.
QString popStopText(bool on);

} // namespace MainRules
