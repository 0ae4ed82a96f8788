#include "app/settings/mdlinicontrol.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>

using namespace mdlIniControl;

using TestFiles::readAll;
using TestFiles::writeAll;

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_file = m_env->path(QStringLiteral("_loaded.dat"));
    }
    void cleanup() { m_env.reset(); }

    void notFoundStrings()
    {
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count")), kUnknownValue);
        QCOMPARE(WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Empty"), QString()), qint16(1));
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Empty")), kUnknownSectionOrKey);
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count")), kUnknownValue);
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Other"), QStringLiteral("Empty")), kUnknownValue);
        // A stored "unknown value" cannot be told from a missing key.
        WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Literal"), kUnknownValue);
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Literal")), kUnknownValue);
        QVERIFY(isUnusable(QStringLiteral("  ")));
        QVERIFY(isUnusable(kUnknownSectionOrKey));
        QVERIFY(!isUnusable(QStringLiteral("x")));
    }

    void newFileLayoutAndLongValues()
    {
        const QString longUrl = QStringLiteral("http://example.test/") + QString(300, u'a');
        WriteIniValue(m_file, QStringLiteral("Loaded URL"), QStringLiteral("URL_3"),
                      QStringLiteral("  http://a.test/  "));
        WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("3"));
        WriteIniValue(m_file, QStringLiteral("Loaded URL"), QStringLiteral("URL_4"), longUrl);
        QCOMPARE(readAll(m_file),
                 QByteArray("[Loaded URL]\r\nURL_3=http://a.test/\r\nURL_4=") + longUrl.toUtf8()
                     + QByteArray("\r\n[Global]\r\nCount=3\r\n"));
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Loaded URL"), QStringLiteral("URL_4")), longUrl);
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("loaded url"), QStringLiteral("url_3")),
                 QStringLiteral("http://a.test/"));
        // Replacing keeps the key's position and its first spelling.
        WriteIniValue(m_file, QStringLiteral("LOADED URL"), QStringLiteral("url_3"), QStringLiteral("ü"));
        QVERIFY(readAll(m_file).startsWith("[Loaded URL]\r\nURL_3=\xc3\xbc\r\nURL_4="));
    }

    void readingRules()
    {
        QVERIFY(writeAll(m_file,
                         "\xef\xbb\xbf"
                         "top=before any section\n"
                         "  [ Search ]  trailing junk\n"
                         "\tText1 = \" quoted \"  \n"
                         "Text2='single'\n"
                         "Text3=\"unbalanced\n"
                         "; Url1=commented out\n"
                         "#hash=is a key\n"
                         "Url1=http://q.test/?a=1;b=2 = x\n"
                         "url1=second duplicate loses\n"
                         "no equals sign here\n"
                         "[B\n"
                         "afterB=still in Search\n"
                         "[search]\n"
                         "Count=repeated section is never searched\n"));
        const QString s = QStringLiteral("SEARCH");
        QCOMPARE(ReadIniValue(m_file, QString(), QStringLiteral("top")), QStringLiteral("before any section"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("text1")), QStringLiteral(" quoted "));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("Text2")), QStringLiteral("single"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("Text3")), QStringLiteral("\"unbalanced"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("; Url1")), kUnknownValue);
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("#hash")), QStringLiteral("is a key"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("Url1")), QStringLiteral("http://q.test/?a=1;b=2 = x"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("no equals sign here")), kUnknownValue);
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("afterB")), QStringLiteral("still in Search"));
        QCOMPARE(ReadIniValue(m_file, s, QStringLiteral("Count")), kUnknownValue);
    }

    void rewriteKeepsEverythingElse()
    {
        const QByteArray original = "; comment\r\n"
                                    "[Global]\r\n"
                                    "Count = 2\r\n"
                                    "#note=1\r\n"
                                    "dup=first\r\n"
                                    "dup=second\r\n"
                                    "junk line\r\n"
                                    "\r\n"
                                    "[Loaded URL]\r\n"
                                    "URL_3=x\r\n";
        QVERIFY(writeAll(m_file, original));
        WriteIniValue(m_file, QStringLiteral("global"), QStringLiteral("New"), QStringLiteral("n"));
        WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("COUNT"), QStringLiteral("5"));
        WriteIniValue(m_file, QStringLiteral("Extra"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(readAll(m_file),
                 QByteArray("; comment\r\n"
                            "[Global]\r\n"
                            "Count=5\r\n"
                            "#note=1\r\n"
                            "dup=first\r\n"
                            "dup=second\r\n"
                            "junk line\r\n"
                            "New=n\r\n"
                            "\r\n"
                            "[Loaded URL]\r\n"
                            "URL_3=x\r\n"
                            "[Extra]\r\n"
                            "k=v\r\n"));
        // LF files stay LF.
        QVERIFY(writeAll(m_file, "[A]\nk=1\n"));
        WriteIniValue(m_file, QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2"));
        QCOMPARE(readAll(m_file), QByteArray("[A]\nk=2\n"));
    }

    void unchangedValueLeavesFileAlone()
    {
        // Tabs write their entries at every page; a value already stored is
        // not written again (no new file, no lock file left behind).
        QVERIFY(WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("2")));
        const auto inode = [this] {
            struct stat st {};
            return ::stat(QFile::encodeName(m_file).constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        const ino_t before = inode();
        QVERIFY(before != 0);
        QVERIFY(QFile::remove(m_file + QStringLiteral(".lock")));
        QVERIFY(WriteIniValue(m_file, QStringLiteral("global"), QStringLiteral("COUNT"), QStringLiteral("2")));
        QCOMPARE(inode(), before);
        QVERIFY(!QFile::exists(m_file + QStringLiteral(".lock"))); // not even locked
        // A different value, or the same value under a new key, is written.
        QVERIFY(WriteIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("3")));
        QVERIFY(inode() != before);
        QVERIFY(WriteIniValue(m_file, QStringLiteral("Other"), QStringLiteral("Count"), QStringLiteral("3")));
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Other"), QStringLiteral("Count")), QStringLiteral("3"));
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("Global"), QStringLiteral("Count")), QStringLiteral("3"));
    }

    void failedWritesCreateNothing()
    {
        const QString missing = m_env->path(QStringLiteral("no/such/folder/_loaded.dat"));
        QCOMPARE(WriteIniValue(missing, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("1")),
                 qint16(0));
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("no"))));
        // A value with a line break would smuggle in a key of its own.
        QCOMPARE(WriteIniValue(m_file, QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("x\r\n[B]\r\nk=evil")),
                 qint16(0));
        QCOMPARE(ReadIniValue(m_file, QStringLiteral("B"), QStringLiteral("k")), kUnknownValue);
        QVERIFY(!QFile::exists(m_file));
        QCOMPARE(QDir(m_env->root()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
