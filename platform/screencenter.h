// Placing a form on the screen.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenCenter {

// Centred across the primary screen, and 1/divisor of the free height from
// its top (2 centres it).
inline void place(QWidget *form, int divisor)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!form || !screen || divisor == 0)
        return;
    const QRect s = screen->geometry();
    form->move(s.x() + (s.width() - form->width()) / 2, s.y() + (s.height() - form->height()) / divisor);
}

} // namespace ScreenCenter
