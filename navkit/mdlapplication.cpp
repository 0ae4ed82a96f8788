#include "mdlapplication.h"

#include <algorithm>

namespace mdlApplication {

void SortDescending(QStringList &values)
{
    std::sort(values.begin(), values.end(), [](const QString &a, const QString &b) {
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive) > 0;
    });
}

void SwapStrings(QString &a, QString &b)
{
    a.swap(b);
}

} // namespace mdlApplication
