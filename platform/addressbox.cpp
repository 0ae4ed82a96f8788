#include "platform/addressbox.h"

#include "platform/keycodes.h"

#include <QKeyEvent>

AddressBox::AddressBox(QWidget *parent)
    : QLineEdit(parent)
{
    // Only the user's own edits: text the completer puts in while the user
    // moves through its list comes as textChanged, and is the user's choice.
    connect(this, &QLineEdit::textEdited, this, [this] { m_edited = true; });
}

bool AddressBox::userEditing() const
{
    return m_edited && hasFocus();
}

void AddressBox::showAddress(const QString &address)
{
    m_edited = false;
    // Selected whole (Ctrl+T, Ctrl+L) stays selected whole: the first key
    // typed then replaces the new address rather than going in front of it.
    const bool wholeSelected = hasFocus() && hasSelectedText() && selectedText() == text();
    setText(address);
    if (wholeSelected)
        selectAll();
    else
        setCursorPosition(0);
}

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
