// The import tool without keywords: 10,000 shortcuts in 1,000 folders.
#include "benchutil.h"
#include "favoritesstore.h"
#include "linkappend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString fav = dir.filePath(QStringLiteral("Favorites"));
    int made = 0;
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const QString folder = QStringLiteral("%1/f%2/g%3/h%4").arg(fav).arg(a).arg(b).arg(c);
                QDir().mkpath(folder);
                for (int s = 0; s < 10; ++s, ++made) {
                    QFile f(QStringLiteral("%1/Shortcut %2.url").arg(folder).arg(s));
                    if (!f.open(QIODevice::WriteOnly))
                        return 1;
                    f.write(QStringLiteral("[InternetShortcut]\r\nURL=https://site%1.example.test/path/page.html\r\n")
                                .arg(made).toUtf8());
                }
            }
        }
    }
    const QString store = dir.filePath(QStringLiteral("_favorites.dat"));
    int count = 0;
    benchMedian("linkimport of 10,000 shortcuts in 1,000 folders, no keywords", 1,
                [&] { count = LinkAppend::importFolder(store, fav, {}, {}); }, 10000);
    const auto stored = FavoritesStore::load(store).size();
    QTextStream(stdout) << "counted " << count << ", stored " << stored << Qt::endl;
    benchMedian("the same import again (everything already present)", 1,
                [&] { count = LinkAppend::importFolder(store, fav, {}, {}); }, 10000);
    return stored == 10000 && FavoritesStore::load(store).size() == 10000 ? 0 : 1;
}
