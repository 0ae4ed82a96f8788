#include "platform/compoundfile.h"
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/favoritesservice.h"
#include "navkit/favorites/mdlfavorites.h"
#include "navkit/favorites/pagetextindex.h"
#include "navkit/favorites/pagetextwriter.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>

using namespace FavoritesStore;

using TestFiles::readAll;
using TestFiles::writeAll;

namespace {
const QString S = kFieldSeparator;

QString summary(const QString &path, CompoundFile::Summary field)
{
    auto file = CompoundFile::open(path);
    return file ? file->summary(field) : QStringLiteral("<no file>");
}
// Writes a store by hand, as another (or damaged) writer might have.
void writeRaw(const QString &path, const QString &count, const QStringList &items, const QByteArray &tail = {})
{
    auto file = CompoundFile::create(path);
    QVERIFY(file);
    file->createStream(QStringLiteral("Count"))->writeString(count);
    ValueStream *s = file->createStream(QStringLiteral("Items"));
    for (const QString &i : items)
        s->writeString(i);
    CompoundFile::Contents c;
    c.streams = {{QStringLiteral("Count"), file->openStream(QStringLiteral("Count"))->data()},
                 {QStringLiteral("Items"), s->data() + tail}};
    file.reset();
    QVERIFY(writeAll(path, CompoundFile::serialize(c)));
}
} // namespace

class TestFavorites : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_store = m_env->path(QStringLiteral("_favorites.dat"));
    }
    void cleanup() { m_env.reset(); }

    void firstSaveCreatesTheFile()
    {
        QVERIFY(load(m_store).isEmpty());
        QVERIFY(!QFile::exists(m_store)); // a load never creates it
        QVERIFY(save(m_store, {QStringLiteral("a") + S + QStringLiteral("x"), QStringLiteral("   "), QString()}));
        QCOMPARE(load(m_store), QStringList{QStringLiteral("a") + S + QStringLiteral("x")});
        QCOMPARE(summary(m_store, CompoundFile::Summary::RevisionNumber), QStringLiteral("1"));
        QCOMPARE(summary(m_store, CompoundFile::Summary::Title), QStringLiteral("Quillon XP - Favorites File"));
        QCOMPARE(summary(m_store, CompoundFile::Summary::Subject), QStringLiteral("Quillon XP - Storage Favorites"));
        QVERIFY(summary(m_store, CompoundFile::Summary::Comments).startsWith(QStringLiteral("More info on ")));
        QCOMPARE(summary(m_store, CompoundFile::Summary::Author), userName());
        QCOMPARE(summary(m_store, CompoundFile::Summary::LastSavedBy), userName());
        QVERIFY(!userName().isEmpty());
    }

    void threeNewOverThreeOld()
    {
        QVERIFY(save(m_store, {QStringLiteral("o1"), QStringLiteral("o2"), QStringLiteral("o3")}));
        QVERIFY(save(m_store,
                     {QStringLiteral("a") + S + QStringLiteral("x"), QStringLiteral("   "),
                      QStringLiteral("b") + S + QStringLiteral("y")}));
        QCOMPARE(load(m_store),
                 (QStringList{QStringLiteral("o1"), QStringLiteral("o2"), QStringLiteral("o3"),
                              QStringLiteral("a") + S + QStringLiteral("x"),
                              QStringLiteral("b") + S + QStringLiteral("y")}));
        auto file = CompoundFile::open(m_store);
        QCOMPARE(file->openStream(QStringLiteral("Count"))->readString(), QStringLiteral("5"));
        // Records are stored unchanged, surrounding blanks included; duplicates too.
        file.reset();
        QVERIFY(save(m_store, {QStringLiteral("  o1  "), QStringLiteral("o1")}));
        QCOMPARE(load(m_store).mid(5), (QStringList{QStringLiteral("  o1  "), QStringLiteral("o1")}));
    }

    void revisionAndAuthorAcrossSaves()
    {
        writeRaw(m_store, QStringLiteral("0"), {});
        {
            auto file = CompoundFile::open(m_store);
            file->setSummary(CompoundFile::Summary::Author, QStringLiteral("First Author"));
            file->setSummary(CompoundFile::Summary::LastSavedBy, QStringLiteral("Somebody Else"));
            file->setSummary(CompoundFile::Summary::RevisionNumber, QStringLiteral("41 (edited)"));
            QVERIFY(file->commit());
        }
        QVERIFY(save(m_store, {QStringLiteral("r")}));
        QVERIFY(save(m_store, {}));
        QCOMPARE(summary(m_store, CompoundFile::Summary::RevisionNumber), QStringLiteral("43"));
        QCOMPARE(summary(m_store, CompoundFile::Summary::Author), QStringLiteral("First Author"));
        QCOMPARE(summary(m_store, CompoundFile::Summary::LastSavedBy), userName());
        QCOMPARE(nextRevision(QStringLiteral("x9")), QStringLiteral("1"));
        QCOMPARE(nextRevision(QStringLiteral("99999999999999")), QStringLiteral("1000000000"));
    }

    void heldFileLoadsNothingAndSavesNothing()
    {
        QVERIFY(save(m_store, {QStringLiteral("one")}));
        auto held = CompoundFile::open(m_store);
        QVERIFY(load(m_store).isEmpty());
        QVERIFY(!save(m_store, {QStringLiteral("two")}));
        held.reset();
        QCOMPARE(load(m_store), QStringList{QStringLiteral("one")});
    }

    void damagedStores()
    {
        // "Count" larger than "Items": the readable ones, kept by the next save.
        writeRaw(m_store, QStringLiteral("10"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        const QByteArray before = readAll(m_store);
        QCOMPARE(load(m_store).size(), 3);
        QVERIFY(save(m_store, {QStringLiteral("d")}));
        QCOMPARE(load(m_store),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
        QCOMPARE(readAll(m_store + QStringLiteral(".bad")), before);

        // A value whose length runs past the end of the stream.
        writeRaw(m_store, QStringLiteral("3"), {QStringLiteral("a"), QStringLiteral("b")},
                 QByteArray("\x08\x00\xff\x00\x00\x00zz", 8));
        QCOMPARE(load(m_store), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

        // "Count" missing or not a number: every value there is.
        writeRaw(m_store, QStringLiteral("many"), {QStringLiteral("a"), QStringLiteral("b")});
        QCOMPARE(load(m_store).size(), 2);

        // Not a compound file at all: no records; a save keeps it aside and
        // stores the new favorite, so what the list shows is what is stored.
        QByteArray random(5000, '\0');
        QRandomGenerator rng(7);
        for (char &c : random)
            c = char(rng.bounded(256));
        QFile::remove(m_store + QStringLiteral(".bad"));
        QVERIFY(writeAll(m_store, random));
        QVERIFY(load(m_store).isEmpty());
        QVERIFY(save(m_store, {QStringLiteral("x")}));
        QCOMPARE(load(m_store), QStringList{QStringLiteral("x")});
        QCOMPARE(readAll(m_store + QStringLiteral(".bad")), random);

        // A truncated compound file.
        QFile::remove(m_store);
        QVERIFY(save(m_store, QStringList(200, QStringLiteral("record") + S + QStringLiteral("http://t.test/"))));
        const QByteArray whole = readAll(m_store);
        QVERIFY(writeAll(m_store, whole.left(whole.size() / 2)));
        QVERIFY(load(m_store).size() < 200);
    }

    void rewriteReplacesTheWholeList()
    {
        const auto keep = [](const QStringList &kept) {
            return [kept](const QStringList &) { return std::optional<QStringList>(kept); };
        };
        QVERIFY(!rewrite(m_store, keep({QStringLiteral("x")}))); // nothing stored: nothing made
        QVERIFY(!QFile::exists(m_store));
        QVERIFY(save(m_store, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QStringList seen;
        QVERIFY(rewrite(m_store, [&seen](const QStringList &stored) {
            seen = stored;
            return std::optional<QStringList>(QStringList{stored[2], QStringLiteral(" "), stored[0]});
        }));
        QCOMPARE(seen, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QCOMPARE(load(m_store), (QStringList{QStringLiteral("c"), QStringLiteral("a")})); // blanks dropped
        QCOMPARE(summary(m_store, CompoundFile::Summary::RevisionNumber), QStringLiteral("2"));

        // Called off, or held by another writer: the file is as it was.
        const QByteArray before = readAll(m_store);
        QVERIFY(!rewrite(m_store, [](const QStringList &) { return std::optional<QStringList>(); }));
        QCOMPARE(readAll(m_store), before);
        auto held = CompoundFile::open(m_store);
        QVERIFY(!rewrite(m_store, keep({})));
        held.reset();
        QCOMPARE(readAll(m_store), before);

        // Everything removed: an empty store, not a missing one.
        QVERIFY(rewrite(m_store, keep({})));
        QVERIFY(QFile::exists(m_store));
        QVERIFY(load(m_store).isEmpty());

        // A damaged store is kept aside whole before the rewrite.
        writeRaw(m_store, QStringLiteral("10"), {QStringLiteral("a"), QStringLiteral("b")});
        const QByteArray damaged = readAll(m_store);
        QVERIFY(rewrite(m_store, [](const QStringList &stored) { return std::optional<QStringList>(stored.mid(1)); }));
        QCOMPARE(load(m_store), QStringList{QStringLiteral("b")});
        QCOMPARE(readAll(m_store + QStringLiteral(".bad")), damaged);
    }

    void indexFollowsTheFile()
    {
        const QString meta = QStringLiteral("Garden>\u00A4<http://g.test/>\u00A4<Pruning roses, \u00DCberwintern");
        QVERIFY(save(m_store,
                     {QStringLiteral("Kitchen>\u00A4<http://k.test/"), meta,
                      QStringLiteral("Roses again>\u00A4<http://r.test/")}));
        auto index = FavoritesIndex::of(m_store);
        QCOMPARE(index->count(), 3);
        QCOMPARE(index->matching(u"PRUNING", 10), std::vector<qsizetype>{1});
        QCOMPARE(index->matching(u"\u00FCberw", 10), std::vector<qsizetype>{1}); // beyond ASCII, any case
        QCOMPARE(index->matching(u"roses", 10), (std::vector<qsizetype>{1, 2}));
        QCOMPARE(index->matching(u"roses", 1), std::vector<qsizetype>{1});
        QCOMPARE(index->matching(u"  ", 2), (std::vector<qsizetype>{0, 1})); // blank: all, in order
        QVERIFY(index->matching(u"nowhere", 10).empty());
        QCOMPARE(index->findUrl(u" http://r.test/ "), 2);
        QCOMPARE(index->findUrl(u"http://r.test"), -1); // the whole address, not a part
        QCOMPARE(index->record(1), QStringView(meta));
        QCOMPARE(FavoritesIndex::of(m_store), index); // unchanged: not read again

        // A save of the same length is still seen: the file is a new one.
        QVERIFY(rewrite(m_store, [](const QStringList &stored) {
            QStringList changed = stored;
            changed[0].replace(QStringLiteral("Kitchen"), QStringLiteral("Cuisine"));
            return std::optional<QStringList>(changed);
        }));
        index = FavoritesIndex::of(m_store);
        QCOMPARE(index->matching(u"cuisine", 10), std::vector<qsizetype>{0});
        QFile::remove(m_store);
        QCOMPARE(FavoritesIndex::of(m_store)->count(), 0);

        // Many records, hits dense and sparse: the same records as a plain
        // case-blind search finds, fields split where the separators are.
        QStringList many;
        for (int i = 0; i < 5000; ++i) {
            many.append(QStringLiteral("Title %1").arg(i) + S + QStringLiteral("http://m.test/%1").arg(i)
                        + (i % 97 == 0 ? S + QStringLiteral("RARE word") : QString()));
        }
        QVERIFY(save(m_store, many));
        index = FavoritesIndex::of(m_store);
        for (const QString &needle :
             {QStringLiteral("t"), QStringLiteral("rare"), QStringLiteral("/4999"), QStringLiteral("title 12"),
              QStringLiteral("e 0"), QStringLiteral("9") + S + QStringLiteral("HTTP://m.test/49")}) {
            std::vector<qsizetype> expected;
            for (int i = 0; i < many.size(); ++i) {
                if (many.at(i).contains(needle, Qt::CaseInsensitive))
                    expected.push_back(i);
            }
            QCOMPARE(index->matching(needle, FavoritesIndex::kNoLimit), expected);
        }
        QCOMPARE(index->title(97), QStringView(u"Title 97"));
        QCOMPARE(index->url(97), QStringView(u"http://m.test/97"));
        QCOMPARE(index->url(98), QStringView(u"http://m.test/98"));

        // What this process adds extends what was read (twice over: one base
        // shared), without the file being read again; a blank is not added.
        for (int round = 0; round < 2; ++round) {
            FavoritesStore::Appended appended;
            QVERIFY(save(m_store,
                         {QStringLiteral("Added %1").arg(round) + S + QStringLiteral("http://added.test/%1").arg(round),
                          QStringLiteral("  ")},
                         appended));
            QVERIFY(appended.kept);
            FavoritesIndex::extend(m_store, appended);
            const auto extended = FavoritesIndex::of(m_store);
            QCOMPARE(extended->count(), 5001 + round);
            QCOMPARE(extended->record(0).utf16(), index->record(0).utf16()); // the same text: not read again
            QCOMPARE(load(m_store).size(), 5001 + round);
        }
        const auto extended = FavoritesIndex::of(m_store);
        QCOMPARE(extended->findUrl(u"http://added.test/0"), 5000);
        QCOMPARE(extended->findUrl(u"http://m.test/5"), 5);
        QCOMPARE(extended->title(5001), QStringView(u"Added 1"));
        QCOMPARE(extended->url(5001), QStringView(u"http://added.test/1"));
        QCOMPARE(extended->matching(u"added", 10), (std::vector<qsizetype>{5000, 5001}));
        QCOMPARE(extended->matching(u"d 1", 2), (std::vector<qsizetype>{5001}));
        QCOMPARE(extended->matching(u"e 4999", 1), std::vector<qsizetype>{4999});
        QCOMPARE(extended->matching(u"  ", 3), (std::vector<qsizetype>{0, 1, 2}));
        // Added by another writer: read again, whole; and an extension of a
        // version no longer kept changes nothing.
        FavoritesStore::Appended late;
        QVERIFY(save(m_store, {QStringLiteral("Late") + S + QStringLiteral("http://late.test/")}, late));
        QVERIFY(save(m_store, {QStringLiteral("Elsewhere") + S + QStringLiteral("http://e.test/")}));
        const auto reread = FavoritesIndex::of(m_store);
        FavoritesIndex::extend(m_store, late);
        QCOMPARE(FavoritesIndex::of(m_store), reread);
        QCOMPARE(reread->count(), 5004);
        QVERIFY(reread->record(0).utf16() != index->record(0).utf16());
        QCOMPARE(reread->findUrl(u"http://e.test/"), 5003);
        // A version that looks like the kept one (an inode used again within
        // the clock's tick) but held another number of records is not extended.
        late.before = late.after = *FileIdentity::of(m_store);
        late.storedBefore = 1;
        FavoritesIndex::extend(m_store, late);
        QCOMPARE(FavoritesIndex::of(m_store), reread);

        // A new start maps the index file written beside the store, with
        // what this process added since: the store is not read (its bytes
        // are replaced in place, its identity kept, to show it).
        const QString indexFile = FavoritesIndexFile::indexFor(m_store);
        QCOMPARE(QFileInfo(indexFile).fileName(), QStringLiteral("_favorites_index.dat"));
        QCOMPARE(int(QFileInfo(indexFile).permissions() & 0x0077), 0);
        FavoritesStore::Appended beside;
        QVERIFY(save(m_store, {QStringLiteral("Beside") + S + QStringLiteral("http://beside.test/")}, beside));
        FavoritesIndex::extend(m_store, beside);
        QVERIFY(QFileInfo::exists(FavoritesIndexFile::addedFor(m_store)));
        const auto expected = FavoritesIndex::of(m_store);
        QCOMPARE(expected->count(), 5005);
        const QByteArray storeBytes = readAll(m_store);
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(m_store).constData(), &before), 0);
        const auto overwriteStore = [&](const QByteArray &bytes) {
            QFile f(m_store);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QCOMPARE(f.write(bytes), bytes.size());
            f.close();
            const timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_store).constData(), times, 0), 0);
        };
        overwriteStore(QByteArray(storeBytes.size(), 'x'));
        FavoritesIndex::forgetKept();
        const auto mapped = FavoritesIndex::of(m_store);
        QCOMPARE(mapped->count(), 5005);
        for (qsizetype i = 0; i < mapped->count(); ++i)
            QCOMPARE(mapped->record(i), expected->record(i));
        QCOMPARE(mapped->matching(u"BESIDE", 5), std::vector<qsizetype>{5004});
        QCOMPARE(mapped->matching(u"e 4999", 5), std::vector<qsizetype>{4999});
        QCOMPARE(mapped->findUrl(u"http://m.test/77 "), 77);
        QCOMPARE(mapped->url(5004), QStringView(u"http://beside.test/"));
        overwriteStore(storeBytes);

        // An index file that is not whole is not used: the store is read and
        // the file written anew. One that looks whole but holds nonsense
        // gives wrong answers until the store changes, never a read outside it.
        const QByteArray good = readAll(indexFile);
        for (const QByteArray &damaged : {good.chopped(8), QByteArray("QXFIDX9") + good.mid(7)}) {
            QVERIFY(writeAll(indexFile, damaged));
            FavoritesIndex::forgetKept();
            QCOMPARE(FavoritesIndex::of(m_store)->findUrl(u"http://beside.test/"), 5004);
            QVERIFY(readAll(indexFile).startsWith("QXFIDX3"));
            QVERIFY(!QFileInfo::exists(FavoritesIndexFile::addedFor(m_store)));
        }
        QByteArray noise = readAll(indexFile); // now of this version, whole
        for (qsizetype i = 80; i < noise.size(); i += 3)
            noise[i] = char(QRandomGenerator::global()->generate());
        QVERIFY(writeAll(indexFile, noise));
        FavoritesIndex::forgetKept();
        const auto nonsense = FavoritesIndex::of(m_store);
        QCOMPARE(nonsense->count(), 5005);
        for (qsizetype i = 0; i < nonsense->count(); ++i)
            QVERIFY(std::max(nonsense->title(i).size(), nonsense->url(i).size()) <= nonsense->record(i).size());
        nonsense->matching(u"e", FavoritesIndex::kNoLimit);
        nonsense->findUrl(u"http://m.test/5");

        // Many added at once (one without an address): the index file is
        // written again, whole, and the next start uses it as it is.
        QStringList many2{QStringLiteral("No address")};
        for (int i = 0; i < 2001; ++i)
            many2.append(QStringLiteral("Bulk %1").arg(i) + S + QStringLiteral("http://bulk.test/%1").arg(i));
        FavoritesStore::Appended bulk;
        QVERIFY(save(m_store, many2, bulk));
        FavoritesIndex::extend(m_store, bulk);
        QVERIFY(!QFileInfo::exists(FavoritesIndexFile::addedFor(m_store)));
        const std::optional<FileIdentity> written = FileIdentity::of(indexFile);
        FavoritesIndex::forgetKept();
        const auto bulkRead = FavoritesIndex::of(m_store);
        QCOMPARE(FileIdentity::of(indexFile), written); // not written again
        QCOMPARE(bulkRead->findUrl(u"http://bulk.test/2000"), 7006);
        QCOMPARE(bulkRead->title(5005), QStringView(u"No address"));
        QVERIFY(bulkRead->url(5005).isNull());
    }

    void indexNotFooledByAReusedInode()
    {
        // Saves a moment apart: each writes a new file and frees the last
        // one's inode, which the next save may get again, with the same size
        // and, within the clock's tick, the same time.
        const auto version = [this](int n) {
            return rewrite(m_store, [n](const QStringList &) {
                return std::optional<QStringList>(
                    QStringList{QStringLiteral("Version %1").arg(n) + S + QStringLiteral("http://v.test/")});
            });
        };
        QVERIFY(save(m_store, {QStringLiteral("Version 0") + S + QStringLiteral("http://v.test/")}));
        const FileIdentity first = *FileIdentity::of(m_store);
        QCOMPARE(FavoritesIndex::of(m_store)->matching(u"version 0", 5), std::vector<qsizetype>{0});
        int n = 1;
        for (; n < 9; ++n) {
            QVERIFY(version(n));
            const FileIdentity now = *FileIdentity::of(m_store);
            if (now.inode == first.inode && now.size == first.size)
                break;
        }
        if (n == 9)
            QSKIP("the file system gave no inode again");
        const timespec times[2] = {{0, UTIME_OMIT}, {first.changed / 1000000000, first.changed % 1000000000}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_store).constData(), times, 0), 0);
        const FileIdentity now = *FileIdentity::of(m_store);
        if (now.generation == 0)
            QSKIP("the file system tells no inode's generation");
        QVERIFY(now != first);
        const auto index = FavoritesIndex::of(m_store);
        QVERIFY(index->matching(u"version 0", 5).empty());
        QCOMPARE(index->matching(QStringLiteral("version %1").arg(n), 5), std::vector<qsizetype>{0});
    }

    void pageTextIndex()
    {
        // What is typed becomes a query of quoted words: nothing typed is syntax.
        QCOMPARE(PageTextIndex::matchExpression(QStringLiteral("Zephyr")), QStringLiteral("\"Zephyr\"*"));
        QCOMPARE(PageTextIndex::matchExpression(QStringLiteral("e-mail NEAR(x) \"bo")),
                 QStringLiteral("\"e\" \"mail\" \"NEAR\" \"x\"")); // "bo" is still being typed
        QCOMPARE(PageTextIndex::matchExpression(QStringLiteral("harbour la ")),
                 QStringLiteral("\"harbour\" \"la\"")); // a finished short word counts
        QCOMPARE(PageTextIndex::matchExpression(QStringLiteral("marmalade ")), QStringLiteral("\"marmalade\""));
        QVERIFY(PageTextIndex::matchExpression(QStringLiteral("a b ;")).isEmpty()); // too short to be worth it
        const QString longText = QString(PageTextIndex::kMaxTextBytes - 1, u'a') + QStringLiteral("\u00e9\u00e9");
        QCOMPARE(PageTextIndex::capped(longText).size(), PageTextIndex::kMaxTextBytes - 1); // whole characters

        // Stored only for a favorite's address; the title weighs most; a snippet shows the words.
        QVERIFY(save(m_store,
                     {QStringLiteral("One") + S + QStringLiteral("http://one.test/"),
                      QStringLiteral("Two") + S + QStringLiteral("http://two.test/"),
                      QStringLiteral("Two again") + S + QStringLiteral("http://two.test/")}));
        FavoritesService service;
        service.StorePageText(m_store, QStringLiteral("http://one.test/"), QStringLiteral("Lantern"), {},
                              QStringLiteral("plain words about a harbour ") + QStringLiteral("filler ").repeated(500)
                                  + QStringLiteral("lantern"));
        service.StorePageText(m_store, QStringLiteral("http://two.test/"), QStringLiteral("Harbour view"),
                              QStringLiteral("boats"), QStringLiteral("sea"));
        service.StorePageText(m_store, QStringLiteral("http://stranger.test/"), QStringLiteral("Lantern"), {},
                              QStringLiteral("lantern harbour"));
        PageTextWriter::waitForDone();
        const QString file = PageTextIndex::fileFor(m_store);
        QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("_favorites_text.db"));
        PageTextIndex writer(file);
        for (int i = 0; i < 6; ++i) // pages without the words: relevance needs a few
            QVERIFY(writer.put({{QStringLiteral("http://other.test/%1").arg(i), {}, {}, QStringLiteral("meadow")}}));
        QCOMPARE(int(QFileInfo(file).permissions() & 0x0077), 0);
        QStringList found = service.FindPageText(m_store, QStringLiteral("harb"), 5);
        QCOMPARE(found.size(), 4); // record, snippet; the stranger's page was not kept
        QCOMPARE(found.at(0), QStringLiteral("Two") + S + QStringLiteral("http://two.test/"));
        QCOMPARE(found.at(2), QStringLiteral("One") + S + QStringLiteral("http://one.test/"));
        QVERIFY(found.at(3).contains(QStringLiteral("harbour")));
        found = service.FindPageText(m_store, QStringLiteral("LANTERN filler"), 5);
        QCOMPARE(found.size(), 2);
        QVERIFY(found.at(1).contains(QStringLiteral("lantern")));
        QVERIFY(found.at(1).size() < 200); // a snippet, not the page

        // A page read again replaces its text; one due is listed for reading.
        QVERIFY(
            writer.put({{QStringLiteral("http://one.test/"), QStringLiteral("Lantern"), {}, QStringLiteral("quay")}},
                       QDateTime::currentDateTimeUtc().addDays(-40)));
        QVERIFY(service.FindPageText(m_store, QStringLiteral("harbour"), 5).size() == 2);
        QCOMPARE(service.PagesToRead(m_store, 30), QStringList({QStringLiteral("http://one.test/")}));

        // The text goes with the last favorite of its address.
        QCOMPARE(service.DeleteFavorites(m_store, {QStringLiteral("Two") + S + QStringLiteral("http://two.test/")}), 1);
        PageTextWriter::waitForDone();
        QCOMPARE(writer.pageCount(), 8);
        QCOMPARE(
            service.DeleteFavorites(m_store, {QStringLiteral("Two again") + S + QStringLiteral("http://two.test/")}),
            1);
        PageTextWriter::waitForDone();
        QCOMPARE(writer.pageCount(), 7);
        QVERIFY(service.FindPageText(m_store, QStringLiteral("harbour"), 5).isEmpty());

        // Cleared: no word of any page is left in the files.
        service.ClearPageText(m_store);
        PageTextWriter::waitForDone();
        QCOMPARE(writer.pageCount(), 0);
        for (const QString &suffix : {QString(), QStringLiteral("-wal")})
            QVERIFY(!readAll(file + suffix).contains("quay"));

        // A damaged index (written whole, then broken while closed) is set
        // aside; the next page starts a new one.
        const QString other = PageTextIndex::fileFor(m_env->path(QStringLiteral("other.dat")));
        {
            PageTextIndex before(other);
            QVERIFY(before.put({{QStringLiteral("http://one.test/"), {}, {}, QStringLiteral("before")}}));
        }
        QFile damaged(other);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        damaged.seek(1024);
        damaged.write(QByteArray(64 * 1024, '\xff'));
        damaged.close();
        PageTextIndex fresh(other);
        QVERIFY(!fresh.search(QStringLiteral("before"), 5).has_value() || fresh.pageCount() == 0);
        QVERIFY(fresh.put({{QStringLiteral("http://one.test/"), {}, {}, QStringLiteral("after")}}));
        QCOMPARE(fresh.search(QStringLiteral("after"), 5)->size(), 1);
        QVERIFY(QFileInfo::exists(other + QStringLiteral(".damaged")));
    }

    void importWalk()
    {
        const QString fav = m_env->path(QStringLiteral("Favorites"));
        const QString longUrl = QStringLiteral("http://long.test/") + QString(300, u'q');
        QVERIFY(writeAll(fav + QStringLiteral("/B.url"), "[InternetShortcut]\r\nURL=http://b.test/\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/a.url"),
                         "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://a.test/\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/NoUrl.url"), "[InternetShortcut]\r\nIconIndex=1\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/Long.url"), "[InternetShortcut]\r\nURL=" + longUrl.toUtf8() + "\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/notes.txt"), "[InternetShortcut]\r\nURL=http://no.test/\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/sub1/Same.url"), "[InternetShortcut]\nURL=http://s1.test/\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/sub1/deep/d.URL"), "[InternetShortcut]\r\nURL=http://d.test/\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/sub2/Same.url"), "[InternetShortcut]\r\nURL=http://s2.test/\r\n"));
        QVERIFY(writeAll(fav + QStringLiteral("/sub2/Empty/.keep"), ""));
        // A link back to the top must not make the walk endless.
        QVERIFY(QFile::link(fav, fav + QStringLiteral("/sub2/loop")));

        QString folder = fav;
        QString pattern = QStringLiteral("*.url");
        qint16 count = 0;
        mdlFavorites::ImportFolder(m_store, folder, pattern, count);
        QCOMPARE(count, qint16(7));
        QCOMPARE(load(m_store),
                 (QStringList{
                     QStringLiteral("a.") + S + QStringLiteral("http://a.test/"),
                     QStringLiteral("B.") + S + QStringLiteral("http://b.test/"),
                     QStringLiteral("Long.") + S + longUrl, // whole, not cut
                     QStringLiteral("Same.") + S + QStringLiteral("http://s1.test/"),
                     QStringLiteral("d.") + S + QStringLiteral("http://d.test/"),
                     QStringLiteral("Same.") + S + QStringLiteral("http://s2.test/"),
                 }));
        // Saved every half second and at the end, not once per folder: a
        // walk this short is one save.
        QCOMPARE(summary(m_store, CompoundFile::Summary::RevisionNumber), QStringLiteral("1"));

        QString none;
        mdlFavorites::ImportFolder(m_store, none, pattern, count);
        QCOMPARE(load(m_store).size(), 6);
    }

    void folderPathAndShortcutRules()
    {
        QCOMPARE(mdlFavorites::FavoritesFolderPath(6), QString());
        QVERIFY(QDir().mkpath(m_env->platformRoot() + QStringLiteral("/Favorites")));
        QCOMPARE(mdlFavorites::FavoritesFolderPath(6), m_env->platformRoot() + QStringLiteral("/Favorites"));
        qputenv("QUILLON_FAVORITES_DIR", "/somewhere/Favorites/");
        QCOMPARE(mdlFavorites::FavoritesFolderPath(6), QStringLiteral("/somewhere/Favorites"));
        QCOMPARE(mdlFavorites::FavoritesFolderPath(5), QString());
        qunsetenv("QUILLON_FAVORITES_DIR");

        QCOMPARE(mdlFavorites::ShortcutTitle(QStringLiteral("Example.url")), QStringLiteral("Example."));
        QString withNul = QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd");
        QCOMPARE(mdlFavorites::TrimAtNull(withNul), QStringLiteral("ab"));
        QCOMPARE(withNul, QStringLiteral("ab"));
        const QString shortcut = m_env->path(QStringLiteral("x.url"));
        QByteArray bytes("\xff\xfe garbage\r\n[InternetShortcut]\r\nURL=http://x.test/");
        bytes += '\0';
        bytes += "junk\r\n";
        QVERIFY(writeAll(shortcut, bytes));
        QCOMPARE(mdlFavorites::ShortcutUrl(shortcut), QStringLiteral("http://x.test/"));
        QCOMPARE(mdlFavorites::ShortcutUrl(m_env->path(QStringLiteral("missing.url"))), QString());
    }

    void killedWriterLeavesAWholeStore()
    {
        QRandomGenerator rng(12345);
        int previous = 0;
        for (int round = 0; round < 100; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-save-loop"), m_store});
            QVERIFY(child.waitForReadyRead(30000)); // the child says when it starts saving
            QTest::qWait(int(rng.bounded(1, 25)));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000));

            auto file = CompoundFile::open(m_store);
            if (round == 0 && !file)
                continue; // killed before the first commit
            QVERIFY2(file, "the store must always open");
            const int count = file->openStream(QStringLiteral("Count"))->readString().value_or(QString()).toInt();
            ValueStream *items = file->openStream(QStringLiteral("Items"));
            int n = 0;
            while (auto v = items->readString()) {
                QCOMPARE(*v, QStringLiteral("rec%1").arg(n)); // old records, then new ones, in order
                ++n;
            }
            QCOMPARE(count, n);
            QVERIFY(n >= previous);
            previous = n;
        }
        QVERIFY(previous > 0);
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_store;
};

// Saves one record after another until it is killed.
static int childSaveLoop(const QString &store)
{
    QTextStream(stdout) << "saving" << Qt::endl;
    for (;;) {
        const int n = int(load(store).size());
        save(store, {QStringLiteral("rec%1").arg(n)});
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--child-save-loop") == 0)
        return childSaveLoop(QString::fromLocal8Bit(argv[2]));
    TestFavorites test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_favorites.moc"
