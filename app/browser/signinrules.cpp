#include "app/browser/signinrules.h"

#include "app/browser/permissionrules.h"

namespace SignInRules {

QString asker(const QUrl &url, const QString &proxyHost)
{
    if (!proxyHost.isEmpty())
        return QStringLiteral("The proxy ") + proxyHost;
    return PermissionRules::originKey(url);
}

bool inClear(const QUrl &url, const QString &proxyHost)
{
    return !proxyHost.isEmpty() || url.scheme().compare(QStringLiteral("https"), Qt::CaseInsensitive) != 0;
}

QString prompt(const QUrl &url, const QString &realm, const QString &proxyHost)
{
    QString text = asker(url, proxyHost) + QStringLiteral(" asks for a user name and password.");
    // The realm is the server's own words, shown as such and cut short.
    if (!realm.trimmed().isEmpty())
        text += QStringLiteral("\nIt says: \u201C") + realm.trimmed().left(100) + QStringLiteral("\u201D");
    text += inClear(url, proxyHost) ? QStringLiteral("\nThe connection is not encrypted: the password can be read "
                                                     "on the way.")
                                    : QStringLiteral("\nThe connection is encrypted.");
    return text;
}

QString key(const QUrl &url, const QString &realm, const QString &proxyHost)
{
    return asker(url, proxyHost) + QStringLiteral(" realm=") + realm;
}

QByteArray pack(const QString &user, const QString &password)
{
    return user.toUtf8() + '\0' + password.toUtf8();
}

std::optional<std::pair<QString, QString>> unpack(const QByteArray &secret)
{
    const qsizetype nul = secret.indexOf('\0');
    if (nul < 0)
        return std::nullopt;
    return std::pair{QString::fromUtf8(secret.left(nul)), QString::fromUtf8(secret.mid(nul + 1))};
}

} // namespace SignInRules
