#include "navkit/mdlapplication.h"

#include <algorithm>
#include <vector>

namespace mdlApplication {

void SortDescending(QStringList &values)
{
    // A million addresses share long beginnings and lie all over memory:
    // the sort compares four code units after the common beginning, held
    // beside each string's index, and reads a string only when those tie.
    if (values.size() < 2)
        return;
    qsizetype common = values.first().size();
    for (const QString &v : std::as_const(values)) {
        qsizetype n = 0;
        const qsizetype most = std::min(common, v.size());
        while (n < most && v.at(n) == values.first().at(n))
            ++n;
        common = n;
    }
    struct Key {
        quint64 head;
        qsizetype index;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString &v = values.at(i);
        quint64 head = 0;
        for (qsizetype k = 0; k < 4; ++k)
            head = (head << 16) | (common + k < v.size() ? v.at(common + k).unicode() : 0u);
        keys.push_back({head, i});
    }
    std::sort(keys.begin(), keys.end(), [&values, common](const Key &a, const Key &b) {
        if (a.head != b.head)
            return a.head > b.head;
        return QStringView(values.at(a.index)).mid(common).compare(QStringView(values.at(b.index)).mid(common)) > 0;
    });
    QStringList sorted;
    sorted.reserve(values.size());
    for (const Key &k : keys)
        sorted.append(std::move(values[k.index]));
    values = std::move(sorted);
}

void SwapStrings(QString &a, QString &b)
{
    a.swap(b);
}

} // namespace mdlApplication
