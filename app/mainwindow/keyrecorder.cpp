#include "app/mainwindow/keyrecorder.h"

#include "app/mainwindow/mainrules.h"
#include "app/settings/programstate.h"

#include <QKeyEvent>

bool KeyRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        programState().LastKeyCode = MainRules::keyCode(key->key());
        programState().LastShift = MainRules::shiftBits(key->modifiers());
    } else if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
        programState().LastKeyCode = -1;
        programState().LastShift = -1;
    }
    return QObject::eventFilter(watched, event);
}
