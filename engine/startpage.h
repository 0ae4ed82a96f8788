// The start page of the Internet options, kept in the registry for every browser.
#pragma once

#include <QString>

namespace StartPage {

// The start page as set in the Internet options; empty when never set.
QString stored();
// Where the home command goes: the stored start page, else "about:blank".
QString home();
// Empty: no start page of its own (Home then follows the program's settings).
void store(const QString &url);

} // namespace StartPage
