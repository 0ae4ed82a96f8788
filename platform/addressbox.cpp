#include "addressbox.h"

#include "keycodes.h"

#include <QKeyEvent>

AddressBox::AddressBox(QWidget *parent)
    : QLineEdit(parent)
{}

void AddressBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    int code = enter ? KeyCodes::kEnter : event->key();
    int shift = KeyCodes::shiftBits(event->modifiers());
    emit keyDown(&code, &shift);
    if (code == 0) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
