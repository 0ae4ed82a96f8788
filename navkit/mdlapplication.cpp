#include "navkit/mdlapplication.h"

#include <algorithm>
#include <vector>

namespace {

// The code units a step of the sort reads: four of 16 bits fill a key.
constexpr qsizetype kStep = 4;

// Four code units after `depth`, as one number that orders like them; a
// string that ends early reads as zeros there.
struct Key {
    quint64 head;
    qsizetype index;
};

quint64 headAt(const QString &v, qsizetype depth)
{
    const QChar *units = v.constData();
    const qsizetype size = v.size();
    quint64 head = 0;
    for (qsizetype k = depth; k < depth + kStep; ++k)
        head = (head << 16) | (k < size ? units[k].unicode() : 0u);
    return head;
}

struct Run {
    Key *first;
    Key *last;
    qsizetype depth;
};

// Small groups, strings that all end within the four units (a zero unit
// and an end read alike), and very long shared beginnings are compared
// whole from `depth`.
constexpr std::ptrdiff_t kCompareBelow = 24;
constexpr qsizetype kMostChunks = 64;

void compareRun(const QStringList &values, const Run &run)
{
    // Strings of a run read alike before `depth` with zeros after their
    // end, so two that both end there differ only by trailing zero units:
    // the longer is the greater.
    std::sort(run.first, run.last, [&values, depth = run.depth](const Key &a, const Key &b) {
        const QString &x = values.at(a.index);
        const QString &y = values.at(b.index);
        const int order = QStringView(x).mid(depth).compare(QStringView(y).mid(depth));
        return order != 0 ? order > 0 : x.size() > y.size();
    });
}

} // namespace

namespace mdlApplication {

void SortDescending(QStringList &values)
{
    // A million addresses share long beginnings and lie all over memory, so
    // comparing whole strings reads each of them some forty times. Instead
    // the strings are sorted four code units at a time, most significant
    // first: each group that ties on its four units is read once more for
    // the next four, and the sort itself only moves numbers.
    if (values.size() < 2)
        return;
    const QChar *firstUnits = values.first().constData();
    qsizetype common = values.first().size();
    for (qsizetype i = 1; i < values.size() && common > 0; ++i) {
        if (i + 8 < values.size())
            __builtin_prefetch(values.at(i + 8).constData());
        const QString &v = values.at(i);
        const QChar *units = v.constData();
        common = std::mismatch(firstUnits, firstUnits + std::min(common, v.size()), units).first - firstUnits;
    }
    std::vector<Key> keys(size_t(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i)
        keys[size_t(i)].index = i;
    std::vector<Run> runs{{keys.data(), keys.data() + keys.size(), common}};
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        if (run.last - run.first < kCompareBelow || run.depth >= common + kStep * kMostChunks) {
            compareRun(values, run);
            continue;
        }
        bool continues = false;
        bool allEqual = true;
        for (Key *k = run.first; k != run.last; ++k) {
            // Each string is a wait on memory: ask for the ones a few keys
            // on now, so that the waits overlap.
            if (run.last - k > 16)
                __builtin_prefetch(&values.at(k[16].index));
            if (run.last - k > 8) {
                const QString &ahead = values.at(k[8].index);
                __builtin_prefetch(ahead.constData() + std::min(run.depth, ahead.size()));
            }
            const QString &v = values.at(k->index);
            k->head = headAt(v, run.depth);
            continues = continues || v.size() > run.depth + kStep;
            allEqual = allEqual && k->head == run.first->head;
        }
        if (!continues) {
            compareRun(values, run);
            continue;
        }
        if (!allEqual)
            std::sort(run.first, run.last, [](const Key &a, const Key &b) { return a.head > b.head; });
        for (Key *from = run.first; from != run.last;) {
            Key *to = from + 1;
            while (to != run.last && to->head == from->head)
                ++to;
            if (to - from > 1)
                runs.push_back({from, to, run.depth + kStep});
            from = to;
        }
    }
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
