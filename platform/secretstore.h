// The desktop's secret store (the freedesktop secret service), for passwords the user asks to keep.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// Passwords the user asks to keep, in the desktop's secret store (the
// freedesktop secret service on the session bus, through QtKeychain):
// never in a file of the program's own. Every call answers later, on the
// caller's thread; nothing waits.
namespace SecretStore {

// The service all of the program's secrets are kept under.
inline const QString kService = QStringLiteral("Quillon XP");

// Whether a secret service answers (or can be started) on the session
// bus; without one nothing can be kept.
bool available();
// Why nothing can be kept when no secret service answers, for the user.
inline const QString kUnavailableReason =
    QStringLiteral("No secret store answers on this desktop: the password is kept for this session only");

// The secret kept under key, handed to done (nothing when none is kept or
// the store did not answer); done is not called once context is gone.
void read(const QString &key, QObject *context, std::function<void(std::optional<QByteArray>)> done);
// Keeps (or, with nothing, forgets) the secret under key; a failure is logged.
void write(const QString &key, const std::optional<QByteArray> &secret);

} // namespace SecretStore
