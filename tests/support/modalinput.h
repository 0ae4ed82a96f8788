// Input for a modal dialog or menu that a user action opens: it runs once
// the window is up, while the action that opened it is still waiting.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace ModalInput {

// Calls act with the active modal dialog or pop-up menu once it appears
// (polled every 20 ms, up to 10 s; then gives up so a test fails rather
// than hangs: whatever is modal by then is closed).
inline void whenShown(std::function<void(QWidget *)> act, int triesLeft = 500)
{
    QTimer::singleShot(20, qApp, [act = std::move(act), triesLeft]() mutable {
        QWidget *w =
            QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (w && w->isVisible()) {
            act(w);
            return;
        }
        if (triesLeft > 0)
            whenShown(std::move(act), triesLeft - 1);
    });
}

} // namespace ModalInput
