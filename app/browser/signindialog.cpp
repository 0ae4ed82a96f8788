#include "app/browser/signindialog.h"

#include "app/browser/signinrules.h"
#include "platform/secretstore.h"

#include <QAuthenticator>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Sign-ins given in this session, by key: offered again when asked again.
QHash<QString, std::pair<QString, QString>> &sessionSignIns()
{
    static QHash<QString, std::pair<QString, QString>> kept;
    return kept;
}

} // namespace

SignInDialog::SignInDialog(const QString &prompt, bool canRemember, QWidget *parent)
    : QDialog(parent)
    , m_prompt(new QLabel(prompt, this))
    , m_user(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_remember(new QCheckBox(QStringLiteral("Remember"), this))
{
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(QStringLiteral("Sign In"));
    m_prompt->setWordWrap(true);
    m_prompt->setTextFormat(Qt::PlainText); // the realm is the server's text
    m_user->setObjectName(QStringLiteral("SignInUser"));
    m_password->setObjectName(QStringLiteral("SignInPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_remember->setEnabled(canRemember);
    if (!canRemember)
        m_remember->setToolTip(SecretStore::kUnavailableReason);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("User name:"), m_user);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QString(), m_remember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Sign In"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_user->setFocus();
}

QString SignInDialog::promptText() const
{
    return m_prompt->text();
}

void SignInDialog::fill(const QString &user, const QString &password, bool remembered)
{
    // What the user typed meanwhile stays.
    if (!m_user->text().isEmpty() || !m_password->text().isEmpty())
        return;
    m_user->setText(user);
    m_password->setText(password);
    m_remember->setChecked(remembered && m_remember->isEnabled());
    m_password->setFocus();
    m_password->selectAll();
}

bool SignInDialog::ask(QWidget *parent, const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost)
{
    const QString key = SignInRules::key(url, authenticator->realm(), proxyHost);
    const bool canRemember = SecretStore::available();
    SignInDialog dialog(SignInRules::prompt(url, authenticator->realm(), proxyHost), canRemember, parent);
    if (const auto it = sessionSignIns().constFind(key); it != sessionSignIns().cend()) {
        dialog.fill(it->first, it->second, false);
    } else if (canRemember) {
        // Answered while the dialog is up.
        SecretStore::read(key, &dialog, [&dialog](std::optional<QByteArray> secret) {
            if (const auto pair = secret ? SignInRules::unpack(*secret) : std::nullopt)
                dialog.fill(pair->first, pair->second, true);
        });
    }
    // The engine's question must be answered before it returns: the
    // dialog's own loop is the one wait.
    if (dialog.exec() != QDialog::Accepted) {
        *authenticator = QAuthenticator(); // the server's own page is shown
        return false;
    }
    const QString user = dialog.userBox()->text();
    const QString password = dialog.passwordBox()->text();
    authenticator->setUser(user);
    authenticator->setPassword(password);
    sessionSignIns().insert(key, {user, password});
    if (canRemember)
        SecretStore::write(
            key, dialog.rememberBox()->isChecked() ? std::optional(SignInRules::pack(user, password)) : std::nullopt);
    return true;
}
