// Records the key held down (LastKeyCode, LastShift) for the whole program, web pages included.
#pragma once

#include <QObject>

// Records the key held down (LastKeyCode, LastShift) for the whole
// program, web pages included: the web view's render widget keeps key
// events from its parents, so this watches at application level.
class KeyRecorder : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
