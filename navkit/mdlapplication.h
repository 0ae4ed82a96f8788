// The component library's small helpers: sorting lists of text.
#pragma once

#include <QString>
#include <QStringList>

namespace mdlApplication {

// Sorts from greatest to least in code-unit order. Equal strings cannot be
// told apart, so any stable or unstable sort gives the same result.
void SortDescending(QStringList &values);

// Exchanges the two strings without copying their characters.
void SwapStrings(QString &a, QString &b);

} // namespace mdlApplication
