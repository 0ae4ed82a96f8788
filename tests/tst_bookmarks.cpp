// Bookmarks HTML files from other browsers into the favorites store, and back out.
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/records/favoriterecord.h"
#include "navkit/favorites/favoritesstore.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QtTest>

using namespace BookmarksHtml;

namespace {

const QString S = FavoriteRecord::kFieldSeparator;

QString record(const QString &title, const QString &url, const QString &keywords)
{
    return title + S + url + S + keywords;
}

// Shaped like the export of a browser that nests its menu and toolbar
// folders, puts icons inline and a <DD> after some bookmarks.
QByteArray menuStyleFile()
{
    return TestFiles::readAll(QFINDTESTDATA("data/bookmarks-menu-style.html"));
}

// Shaped like the export of a browser that writes a bookmarks bar folder,
// bookmarklets, single-quoted addresses and the same page twice.
QByteArray barStyleFile()
{
    return TestFiles::readAll(QFINDTESTDATA("data/bookmarks-bar-style.html"));
}

} // namespace

class TestBookmarks : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void menuStyleExport()
    {
        QStringList records;
        for (const Bookmark &b : parse(menuStyleFile()))
            records.append(toRecord(b));
        QCOMPARE(records,
                 (QStringList{
                     record(QStringLiteral("Pruning roses"), QStringLiteral("https://garden.example/pruning?a=1&b=2"),
                            QStringLiteral("Garden When & how to cut back")),
                     record(QStringLiteral("Spaten & Schere \u2013 \u00dcbersicht"),
                            QStringLiteral("https://tools.example/"), QStringLiteral("Garden Tools")),
                     record(QStringLiteral("\u041d\u043e\u0432\u043e\u0441\u0442\u0438"),
                            QStringLiteral("https://news.example/"), QStringLiteral("no keywords")),
                     record(QStringLiteral("Toolbar page"), QStringLiteral("https://toolbar.example/"),
                            QStringLiteral("Bookmarks Toolbar")),
                 }));
    }

    void barStyleExportIntoTheStore()
    {
        const QString store = m_env->path(QStringLiteral("_favorites.dat"));
        // Stored: one of the file's addresses, and a longer address that
        // begins with another of them (which is still taken).
        QVERIFY(FavoritesStore::save(
            store,
            {record(QStringLiteral("Old"), QStringLiteral("https://single.example/q"), QStringLiteral("no keywords")),
             record(QStringLiteral("Deeper"), QStringLiteral("https://recipes.example/soup/deep"),
                    QStringLiteral("no keywords"))}));
        QStringList batch;
        for (const Bookmark &b : parse(barStyleFile()))
            batch.append(toRecord(b));
        QCOMPARE(batch.size(), 4); // the bookmarklet is not taken
        QVERIFY(FavoritesStore::save(store, batch, FavoritesStore::AfterSave::Nothing,
                                     [](const QStringList &stored, const QStringList &fresh) {
                                         return std::optional<QStringList>(newRecords(stored, fresh));
                                     }));
        // The second "Soup" and the page already stored are not added again.
        QCOMPARE(
            FavoritesStore::load(store).mid(2),
            (QStringList{record(QStringLiteral("Soup"), QStringLiteral("https://recipes.example/soup"),
                                QStringLiteral("Bookmarks bar")),
                         record(QStringLiteral("Intranet <main>"), QStringLiteral("https://intranet.example/a?x=1&y=2"),
                                QStringLiteral("Bookmarks bar Work"))}));
    }

    void exportImportsAgainAsTheSameRecords()
    {
        const QStringList records{
            record(QStringLiteral("A & B <c> \"d\""), QStringLiteral("https://a.example/?x=1&y=\"2\""),
                   QStringLiteral("kw1, kw2 about it")),
            record(QStringLiteral("\u00dcbersicht \u2013 \u65e5\u672c"), QStringLiteral("file:///home/u/page.html"),
                   QStringLiteral("no keywords")),
            record(QStringLiteral("Plain"), QStringLiteral("http://plain.example/"),
                   QStringLiteral("x <b>y</b> &amp;")),
        };
        const QByteArray html = write(records);
        QVERIFY(html.startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
        const QString file = m_env->path(QStringLiteral("bookmarks.html"));
        QVERIFY(TestFiles::writeAll(file, html));
        QStringList again;
        for (const Bookmark &b : parse(TestFiles::readAll(file)))
            again.append(toRecord(b));
        QCOMPARE(again, records);
    }

    // Files as other parsers read them: each case a minimal file.
    void readAsOtherParsersDo()
    {
        const auto one = [](const QByteArray &body) {
            return parse("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n" + body + "\n</DL><p>\n");
        };
        // A description runs to the next entry, whatever tags are in it; a
        // link in it is no bookmark.
        QList<Bookmark> got = one("<DT><A HREF=\"http://a.test/\">A</A>\n<DD>first <b>bold</b><br>line,"
                                  " see <a href=\"http://x.test/\">x</a> too\n<DT><A HREF=\"http://b.test/\">B</A>");
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].description, QStringLiteral("first bold line, see x too"));
        QCOMPARE(got[1].url, QStringLiteral("http://b.test/"));
        // "href=" inside another attribute's value, and ">" inside a quoted one.
        got = one("<DT><A ICON_URI=\"http://i.test/?href=http://evil.test/\" TITLE=\"a > b\" "
                  "HREF=\"http://good.test/\">Good</A>");
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].url, QStringLiteral("http://good.test/"));
        QCOMPARE(got[0].title, QStringLiteral("Good"));
        // Commented out: not there. Tags in a title or folder name: text.
        got =
            one("<!-- <DT><A HREF=\"http://hidden.test/\">H</A> -->\n<DT><H3><i>Work</i> stuff</H3>\n<DL><p>\n"
                "<DT><A HREF=\"http://t.test/\" TAGS=\"red,blue\" SHORTCUTURL=\"tt\"><b>Bold</b> title</A>\n</DL><p>");
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].title, QStringLiteral("Bold title"));
        QCOMPARE(got[0].folders, QStringList{QStringLiteral("Work stuff")});
        QCOMPARE(FavoriteRecord::field(toRecord(got[0]), FavoriteRecord::Field::Keywords),
                 QStringLiteral("Work stuff red blue tt"));
        // The declared charset, and a marked UTF-16 file.
        got = parse("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\n"
                    "<DL><p><DT><A HREF=\"http://c.test/\">Caf\xe9</A></DL>");
        QCOMPARE(got.value(0).title, QStringLiteral("Caf\u00e9"));
        const QString utf16 = QStringLiteral("<DL><p><DT><A HREF=\"http://u.test/\">\u00dcber</A></DL>");
        QByteArray marked("\xff\xfe");
        marked.append(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);
        got = parse(marked);
        QCOMPARE(got.value(0).title, QStringLiteral("\u00dcber"));
        // Deep folders: the innermost eight, at most a kilobyte of names.
        QByteArray deep;
        for (int i = 0; i < 40; ++i)
            deep += "<DT><H3>" + QByteArray(200, char('a' + i % 26)) + "</H3>\n<DL><p>\n";
        deep += "<DT><A HREF=\"http://deep.test/\">Deep</A>\n";
        got = one(deep);
        QCOMPARE(got.size(), 1);
        const QString words = FavoriteRecord::field(toRecord(got[0]), FavoriteRecord::Field::Keywords);
        QVERIFY(words.size() <= kMostFolderText);
        QVERIFY(words.endsWith(QString(200, QChar(u'a' + 39 % 26))));
    }

    // What this program writes reads back as it was: blanks kept, and what
    // the reader leaves out is not written.
    void exportAndImportAreInverse()
    {
        const QStringList kept{
            record(QStringLiteral("  Two  blanks\tand a tab "), QStringLiteral("http://w.test/"),
                   QStringLiteral(" kept  as\nit was ")),
            record(QStringLiteral("Plain"), QStringLiteral("https://p.test/a?b=1&c=2"), QStringLiteral("no keywords")),
            record({}, QStringLiteral("http://untitled.test/"), QStringLiteral("no keywords")),
            record(QStringLiteral("Half ") + QChar(0xD83D) + QStringLiteral(" pair \U0001F600"),
                   QStringLiteral("http://half.test/"), QString(QChar(0xDE00))),
        };
        const QStringList dropped{record(QStringLiteral("Blank"), QStringLiteral("about:blank"), {}),
                                  record(QStringLiteral("Mail"), QStringLiteral("mailto:a@b.test"), {})};
        const QByteArray html = write(kept + dropped);
        QVERIFY(!html.contains("about:blank") && !html.contains("mailto:"));
        QStringList again;
        for (const Bookmark &b : parse(html))
            again.append(toRecord(b));
        QCOMPARE(again, kept);
    }

    // One address written several ways is one favorite; the store keeps
    // the spelling it has.
    void oneAddressWrittenTwoWays()
    {
        const auto rec = [](const char *url) { return record(QStringLiteral("T"), QString::fromLatin1(url), {}); };
        const QStringList batch{rec("http://a.example"),     rec("http://a.example/"),  rec("HTTP://A.EXAMPLE/"),
                                rec("http://a.example:80/"), rec("http://a.example/x"), rec("https://a.example/")};
        QCOMPARE(newRecords({}, batch), (QStringList{batch[0], batch[4], batch[5]}));
        QCOMPARE(newRecords({rec("HTTPS://A.Example:443")}, batch), (QStringList{batch[0], batch[4]}));
        QCOMPARE(addressKey(QStringLiteral(" not an address ")), QStringLiteral("not an address"));
    }

    void tenThousandBookmarks()
    {
        QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        for (int folder = 0; folder < 100; ++folder) {
            html += "<DT><H3>Folder " + QByteArray::number(folder) + "</H3>\n<DL><p>\n";
            for (int i = 0; i < 100; ++i) {
                const QByteArray n = QByteArray::number(folder * 100 + i);
                html += "<DT><A HREF=\"https://site" + n + ".example/page?id=" + n + "&amp;k=v\" ADD_DATE=\"1\">Page "
                    + n + "</A>\n<DD>About page " + n + "\n";
            }
            html += "</DL><p>\n";
        }
        html += "</DL><p>\n";
        const QList<Bookmark> bookmarks = parse(html);
        QCOMPARE(bookmarks.size(), 10000);
        QCOMPARE(bookmarks.last().folders, QStringList{QStringLiteral("Folder 99")});
        QStringList batch;
        for (const Bookmark &b : bookmarks)
            batch.append(toRecord(b));
        const QString store = m_env->path(QStringLiteral("_favorites.dat"));
        QVERIFY(FavoritesStore::save(store, batch, FavoritesStore::AfterSave::Nothing,
                                     [](const QStringList &stored, const QStringList &fresh) {
                                         return std::optional<QStringList>(newRecords(stored, fresh));
                                     }));
        const QStringList stored = FavoritesStore::load(store);
        QCOMPARE(stored.size(), 10000);
        QCOMPARE(stored.at(1234),
                 record(QStringLiteral("Page 1234"), QStringLiteral("https://site1234.example/page?id=1234&k=v"),
                        QStringLiteral("Folder 12 About page 1234")));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_GUILESS_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
