// The pages a browser shows in place of one that failed: a crashed page, a refused certificate.
#pragma once

#include <QString>
#include <QUrl>

namespace ErrorPages {

// The fragment of the certificate page's way on; only that page offers it.
inline const QString kContinueFragment = QStringLiteral("quillon-continue");

QString crashed();
// site: the refused address; problem: the engine's description of the error;
// token: made for this page alone, the way on carries it.
QString certificateRefused(const QUrl &site, const QString &problem, const QString &token);
// The fragment of the way on for a token.
QString continueFragment(const QString &token);

} // namespace ErrorPages
