// The rules of signing in to a site or proxy that asks for a user name and password.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>
#include <utility>

// The rules of signing in when a site (HTTP Basic or Digest) or a proxy
// asks for a user name and password.
namespace SignInRules {

// Who asks: the site's scheme, host and port, or the proxy.
QString asker(const QUrl &url, const QString &proxyHost);
// Whether the password would travel unencrypted (a site over plain http,
// any proxy).
bool inClear(const QUrl &url, const QString &proxyHost);
// What the dialog says: who asks, the realm in its own words, and whether
// the connection is encrypted.
QString prompt(const QUrl &url, const QString &realm, const QString &proxyHost);
// The key a sign-in is kept under: who asks and the realm.
QString key(const QUrl &url, const QString &realm, const QString &proxyHost);
// A user name and password as one secret, and back (nothing when the
// secret is no such pair).
QByteArray pack(const QString &user, const QString &password);
std::optional<std::pair<QString, QString>> unpack(const QByteArray &secret);

} // namespace SignInRules
