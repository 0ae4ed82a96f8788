// The address box of the "Address" bar.
#pragma once

#include <QLineEdit>

// The address box of the "Address" bar. Reports each key from its own key
// handler: while the completion list is open the completer hands keys to
// the box directly, past any event filter, and Enter must still navigate.
class AddressBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit AddressBox(QWidget *parent = nullptr);

    // The user is editing: the box has the focus and its text was changed by
    // the user since an address was last put in it. Pages then keep out.
    bool userEditing() const;
    // Puts an address in the box; what was typed there is gone.
    void showAddress(const QString &address);
    // What was typed was used (Enter): the page's address may follow.
    void finishEditing() { m_edited = false; }

signals:
    // keyCode 13 for Return and Enter; shift as Shift 1, Ctrl 2, Alt 4.
    // A handler that sets *keyCode to 0 swallows the key.
    void keyDown(int *keyCode, int *shift);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_edited = false;
};
