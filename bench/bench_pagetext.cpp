// The favorites' page text index at scale: favorites with about 8 KB of
// text each, indexed from text, then searched as the user types.
//   bench_pagetext [sizes...]   (default 10000 100000)
// Prints, per size: pages indexed per second, the index file against the
// raw text, the first keystroke after start (a fresh connection) and the
// median of later keystrokes. Fails (exit 1) when a page's rare word is not
// found: a wrong answer is no figure.
#include "benchutil.h"
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesservice.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/pagetextindex.h"
#include "navkit/records/favoriterecord.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>

namespace {

// Made-up words with a natural (Zipf) spread: a few very common, most rare.
class Vocabulary
{
public:
    explicit Vocabulary(int size)
    {
        static const char *const syllables[] = {"ka",  "lo", "mer", "tin", "sa",   "ve", "ro", "dun", "pi", "gal",
                                                "shu", "ne", "tor", "bi",  "quel", "fa", "zo", "ri",  "an", "mu"};
        // Word i spells i in base 20 with a syllable a digit, at least two:
        // every word its own, the common ones short.
        double total = 0;
        for (int i = 0; i < size; ++i) {
            QString word;
            int n = i;
            do {
                word += QLatin1String(syllables[n % 20]);
                n /= 20;
            } while (n > 0 || word.size() < 4);
            m_words.append(word);
            total += 1.0 / (i + 1);
            m_cumulative.push_back(total);
        }
        for (double &c : m_cumulative)
            c /= total;
    }
    QString pick(QRandomGenerator &rng) const
    {
        const auto at = std::lower_bound(m_cumulative.begin(), m_cumulative.end(), rng.generateDouble());
        return m_words.at(qsizetype(std::min<size_t>(size_t(at - m_cumulative.begin()), m_cumulative.size() - 1)));
    }
    const QString &at(int i) const { return m_words.at(i); }

private:
    QStringList m_words;
    std::vector<double> m_cumulative;
};

QString pageText(const Vocabulary &words, QRandomGenerator &rng, int page)
{
    QString text;
    text.reserve(8400);
    while (text.size() < 8000) {
        text += words.pick(rng);
        text += rng.bounded(12) == 0 ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    // A word of this page only, to check the answers.
    return text + QStringLiteral(" uniq%1word").arg(page);
}

QString address(int page)
{
    return QStringLiteral("https://site%1.example.test/articles/%2.html").arg(page % 997).arg(page);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const Vocabulary words(60000);
    GrowthTable table(QStringLiteral("Page text index: favorites with ~8 KB of text each"),
                      {QStringLiteral("index ms"), QStringLiteral("pages/s"), QStringLiteral("file / raw"),
                       QStringLiteral("first key ms"), QStringLiteral("key median ms"), QStringLiteral("key max ms")});
    bool wrong = false;
    for (const qint64 size : benchSizes(argc, argv, {10000, 100000})) {
        QTemporaryDir dir;
        // BENCH_KEEP=1 keeps the index for a look (its folder is printed).
        dir.setAutoRemove(!qEnvironmentVariableIsSet("BENCH_KEEP"));
        if (!dir.autoRemove())
            out << "kept in " << dir.path() << Qt::endl;
        const QString store = dir.filePath(QStringLiteral("_favorites.dat"));
        QStringList records;
        for (int i = 0; i < size; ++i)
            records.append(FavoriteRecord::compose(QStringLiteral("Article %1").arg(i), address(i)));
        if (!FavoritesStore::save(store, records))
            return 1;
        const QString file = PageTextIndex::fileFor(store);

        // Indexing from text, in the writer's batches.
        QRandomGenerator rng(11);
        qint64 raw = 0;
        double indexMs = 0;
        {
            PageTextIndex index(file);
            constexpr int kBatch = 500;
            for (int first = 0; first < size; first += kBatch) {
                QList<PageTextIndex::Page> batch;
                for (int i = first; i < std::min<qint64>(size, first + kBatch); ++i) {
                    const QString text = pageText(words, rng, i);
                    raw += text.toUtf8().size();
                    batch.append({address(i), QStringLiteral("Article %1").arg(i), QString(), text});
                }
                QElapsedTimer t;
                t.start();
                if (!index.put(batch))
                    return 1;
                indexMs += double(t.nsecsElapsed()) / 1e6;
            }
        }
        const qint64 bytes = QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size();

        // Typing, a key at a time: a rare word, a common one, one in between,
        // a word of one page. Only keys that search the text are timed (the
        // first two letters of a word search nothing).
        FavoritesService service;
        FavoritesIndex::of(store); // the address box has read the store for the title matches
        const QString &rare = words.at(20000);
        const QString &common = words.at(40);
        const QString own = QStringLiteral("uniq%1word").arg(size / 2);
        QStringList keys;
        for (const QString &phrase : {rare, common + u' ' + rare.left(4), words.at(2000), own}) {
            for (qsizetype n = 1; n <= phrase.size(); ++n)
                keys.append(phrase.left(n));
        }
        QElapsedTimer first;
        first.start();
        service.FindPageText(store, keys.at(2), 4); // a fresh connection after start
        const double firstMs = double(first.nsecsElapsed()) / 1e6;
        std::vector<double> keyMs;
        for (const QString &typed : keys) {
            if (PageTextIndex::matchExpression(typed).isEmpty())
                continue;
            QElapsedTimer t;
            t.start();
            const QStringList found = service.FindPageText(store, typed, 4);
            keyMs.push_back(double(t.nsecsElapsed()) / 1e6);
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                out << typed << ' ' << keyMs.back() << ' ' << found.size() / 2 << Qt::endl;
            if (typed == own && (found.size() != 2 || !found.first().contains(address(int(size / 2))))) {
                out << "the page holding " << own << " was not found" << Qt::endl;
                wrong = true;
            }
        }
        std::sort(keyMs.begin(), keyMs.end());
        table.row(size,
                  {indexMs, size / (indexMs / 1000), double(bytes) / double(raw), firstMs, keyMs[keyMs.size() / 2],
                   keyMs.back()});
    }
    return wrong ? 1 : 0;
}
