// Addresses as the user is shown them.
#pragma once

#include <QString>

// An address shown in the address box, a suggestion row, the status text or
// a tooltip never carries user information ("user:password@"): a page could
// put a trusted name there, padded with blanks, so that the real host is
// out of sight. The host then follows the scheme, in full.
namespace ShownAddress {

// The address without its user information; anything else as given.
QString of(const QString &address);

} // namespace ShownAddress
