#include "app/settings/clslayout.h"
#include "quillon_version.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

using TestFiles::readAll;
using TestFiles::writeAll;

class TestLayout : public QObject
{
    Q_OBJECT

    QByteArray header(quint16 type, quint16 dims, quint32 count, quint32 lbound)
    {
        QByteArray h(12, '\0');
        qToLittleEndian(type, h.data());
        qToLittleEndian(dims, h.data() + 2);
        qToLittleEndian(count, h.data() + 4);
        qToLittleEndian(lbound, h.data() + 8);
        return h;
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_file = m_env->path(QStringLiteral("_layout.lay"));
    }
    void cleanup() { m_env.reset(); }

    // The build's own version, and the one after it.
    static QString thisVersion()
    {
        return clsLayout::versionText(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH);
    }
    static QString nextVersion()
    {
        return clsLayout::versionText(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH + 1);
    }

    void versionText()
    {
        QCOMPARE(clsLayout::versionText(1, 0, 350), QStringLiteral("01.00.0350"));
        QCOMPARE(clsLayout::versionText(12, 3, 45), QStringLiteral("12.03.0045"));
        QCOMPARE(clsLayout::programVersionText(), thisVersion());
    }

    void firstStartCreatesEmptyFile()
    {
        clsLayout layout;
        layout.Load(m_file);
        QVERIFY(!layout.Layout().isValid());
        QVERIFY(QFile::exists(m_file));
        QCOMPARE(QFileInfo(m_file).size(), 0);
    }

    void sameVersionOnlyAndFileFormat()
    {
        const QByteArray bytes("dock\x00layout\xff", 12);
        clsLayout saver;
        saver.setLayout(bytes);
        saver.Save(m_file);
        const QByteArray file = readAll(m_file);
        QCOMPARE(qFromLittleEndian<quint16>(file.constData()), quint16(0x2011));
        QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 2), quint16(1));
        QCOMPARE(qint64(qFromLittleEndian<quint32>(file.constData() + 4)), qint64(file.size() - 12));
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 8), 0u);

        clsLayout same;
        same.Load(m_file);
        QCOMPARE(same.Layout().toByteArray(), bytes);
        QCOMPARE(same.versionRead(), thisVersion());

        clsLayout upgraded(nextVersion());
        upgraded.Load(m_file);
        QVERIFY(!upgraded.Layout().isValid());
        QCOMPARE(upgraded.versionRead(), thisVersion());
    }

    void shorterOverLongerAndEmptyLayout()
    {
        clsLayout big;
        big.setLayout(QByteArray(5000, 'x'));
        big.Save(m_file);
        const qint64 bigSize = QFileInfo(m_file).size();

        clsLayout small;
        small.setLayout(QByteArray(10, 'y'));
        small.Save(m_file);
        const QByteArray file = readAll(m_file);
        QVERIFY(file.size() < bigSize);
        QCOMPARE(qint64(qFromLittleEndian<quint32>(file.constData() + 4)), qint64(file.size() - 12));
        // The same layout again (most exits) leaves the file as it is.
        const ino_t stored = TestFiles::inode(m_file);
        small.Save(m_file);
        QCOMPARE(TestFiles::inode(m_file), stored);

        clsLayout empty;
        empty.Save(m_file);
        QVERIFY(!readAll(m_file).contains("Layout"));
        clsLayout loader;
        loader.setLayout(QByteArray("kept"));
        loader.Load(m_file);
        QVERIFY(!loader.Layout().isValid()); // the file's (absent) layout wins
        QCOMPARE(loader.versionRead(), thisVersion());
    }

    void failedSaveKeepsOldFile()
    {
        clsLayout a;
        a.setLayout(QByteArray("old"));
        a.Save(m_file);
        const QByteArray before = readAll(m_file);
        clsLayout b;
        b.setLayout(QByteArray("new"));
        b.Save(m_env->path(QStringLiteral("missing/_layout.lay")));
        QCOMPARE(readAll(m_file), before);
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("missing"))));
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTemporaryDir dir;
        clsLayout good;
        good.setLayout(QByteArray(64, 'g'));
        good.Save(dir.filePath(QStringLiteral("good.lay")));
        const QByteArray valid = readAll(dir.filePath(QStringLiteral("good.lay")));
        QVERIFY(valid.size() > 80);

        QTest::newRow("truncated") << valid.left(valid.size() - 5);
        QTest::newRow("header only") << valid.left(12);
        QTest::newRow("short header") << valid.left(7);
        QTest::newRow("wrong type") << header(0x2008, 1, 0, 0) + valid.mid(12);
        QTest::newRow("two dimensions") << header(0x2011, 2, quint32(valid.size() - 12), 0) + valid.mid(12);
        QTest::newRow("lower bound 1") << header(0x2011, 1, quint32(valid.size() - 12), 1) + valid.mid(12);
        QTest::newRow("huge N") << header(0x2011, 1, 0xffffffffu, 0) + valid.mid(12);
        QByteArray countHuge = valid;
        qToLittleEndian<quint32>(0x7fffffff, countHuge.data() + 12); // bag entry count
        QTest::newRow("huge entry count") << countHuge;
        QByteArray nameHuge = valid;
        qToLittleEndian<quint16>(0xffff, nameHuge.data() + 16); // first name length
        QTest::newRow("name past end") << nameHuge;
        QRandomGenerator rng(42);
        for (int i = 0; i < 5; ++i) {
            QByteArray random(int(rng.bounded(1, 400)), '\0');
            for (char &c : random)
                c = char(rng.bounded(256));
            QTest::newRow(qPrintable(QStringLiteral("random %1").arg(i))) << random;
        }
    }

    void damagedFiles()
    {
        QFETCH(QByteArray, content);
        QVERIFY(writeAll(m_file, content));
        clsLayout layout;
        layout.Load(m_file);
        QVERIFY(!layout.Layout().isValid());
        // Saving over a damaged file keeps the damaged one aside.
        layout.Save(m_file);
        QCOMPARE(readAll(m_file + QStringLiteral(".bad")), content);
        clsLayout again;
        again.Load(m_file);
        QCOMPARE(again.versionRead(), thisVersion());
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
