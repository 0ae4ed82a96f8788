// The dialog a tab shows when its site or a proxy asks for a user name and password.
#pragma once

#include <QDialog>

class QAuthenticator;
class QCheckBox;
class QLabel;
class QLineEdit;
class QUrl;

// The dialog a tab shows when its site or a proxy asks for a user name and
// password. A sign-in is kept for the session; with "Remember" ticked, in
// the desktop's secret store too (the box is disabled, saying why, when
// there is none). Cancel leaves the page as the server sent it.
class SignInDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks, and answers the engine's question: authenticator filled when
    // the user signs in, left empty (the engine then shows the server's
    // own page) when not. The engine waits for the answer: the dialog is
    // modal to parent's window.
    static bool ask(QWidget *parent, const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost);

    SignInDialog(const QString &prompt, bool canRemember, QWidget *parent = nullptr);

    QString promptText() const;
    QLineEdit *userBox() const { return m_user; }
    QLineEdit *passwordBox() const { return m_password; }
    QCheckBox *rememberBox() const { return m_remember; }
    void fill(const QString &user, const QString &password, bool remembered);

private:
    QLabel *m_prompt;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_remember;
};
