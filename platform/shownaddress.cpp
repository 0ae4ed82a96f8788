#include "platform/shownaddress.h"

#include <QUrl>

namespace ShownAddress {

QString of(const QString &address)
{
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    // Only what a parser would send as an address with credentials: a
    // scheme, an authority and user information in it.
    if (!url.isValid() || url.userInfo().isEmpty() || url.host().isEmpty())
        return address;
    return url.adjusted(QUrl::RemoveUserInfo).toString(QUrl::FullyEncoded);
}

} // namespace ShownAddress
