#include "platform/compoundfile.h"
#include "testenvironment.h"
#include "platform/valuestream.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

class TestStorage : public QObject
{
    Q_OBJECT

    // 12 MB of text, no two neighbouring megabytes alike.
    static QString bigValue()
    {
        QString value;
        value.reserve(6 << 20);
        for (int i = 0; value.size() < (6 << 20); ++i)
            value += QString::number(i) + u' ';
        return value;
    }

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void valueEncodingAndDamagedLengths()
    {
        ValueStream out;
        out.writeString(QStringLiteral("ab"));
        out.writeString(QString());
        out.writeString(QStringLiteral("ü\u00A4"));
        QCOMPARE(out.data().left(10),
                 QByteArray("\x08\x00\x04\x00\x00\x00"
                            "a\x00"
                            "b\x00",
                            10));
        ValueStream in(out.data());
        QCOMPARE(in.readString(), QStringLiteral("ab"));
        QCOMPARE(in.readString(), QString());
        QCOMPARE(in.readString(), QStringLiteral("ü\u00A4"));
        QVERIFY(!in.readString());

        QByteArray past = out.data().left(6);
        qToLittleEndian<quint32>(1000, past.data() + 2); // length past the end
        past += "ab";
        QVERIFY(!ValueStream(past).readString());
        QVERIFY(!ValueStream(QByteArray("\x03\x00\x02\x00\x00\x00xy", 8)).readString());  // not a string
        QVERIFY(!ValueStream(QByteArray("\x08\x00\x03\x00\x00\x00xyz", 9)).readString()); // odd length
        QVERIFY(!ValueStream(QByteArray("\x08\x00\xff\xff\xff\xff", 6)).readString());
    }

    void createCommitOpenRoundTrip()
    {
        const QString path = m_env->path(QStringLiteral("store.dat"));
        {
            auto file = CompoundFile::create(path);
            QVERIFY(file);
            QVERIFY(!QFile::exists(path)); // nothing on disk before commit
            file->createStream(QStringLiteral("Items"))->writeString(QStringLiteral("one"));
            file->createStream(QStringLiteral("Count"))->writeString(QStringLiteral("1"));
            file->setSummary(CompoundFile::Summary::Title, QStringLiteral("T"));
            file->setSummary(CompoundFile::Summary::RevisionNumber, QStringLiteral("7"));
            file->setSummary(CompoundFile::Summary::Author, QStringLiteral("Zoë"));
            QVERIFY(file->commit());
            // A stream created anew replaces the old one.
            ValueStream *items = file->createStream(QStringLiteral("Items"));
            items->writeString(QStringLiteral("two"));
            items->writeString(QStringLiteral("three"));
            // A stream of a large store's size is read through other
            // memory (the file mapped and read in at once, the copy in huge
            // pages): it must come back byte for byte.
            file->createStream(QStringLiteral("Big"))->writeString(bigValue());
            QVERIFY(file->commit());
        }
        auto file = CompoundFile::open(path);
        QVERIFY(file);
        ValueStream *items = file->openStream(QStringLiteral("Items"));
        QVERIFY(items);
        QCOMPARE(items->readString(), QStringLiteral("two"));
        QCOMPARE(items->readString(), QStringLiteral("three"));
        QVERIFY(!items->readString());
        ValueStream *big = file->openStream(QStringLiteral("Big"));
        QVERIFY(big);
        QVERIFY(big->readString() == bigValue());
        QVERIFY(!file->openStream(QStringLiteral("Missing")));
        QCOMPARE(file->summary(CompoundFile::Summary::Title), QStringLiteral("T"));
        QCOMPARE(file->summary(CompoundFile::Summary::RevisionNumber), QStringLiteral("7"));
        QCOMPARE(file->summary(CompoundFile::Summary::Author), QStringLiteral("Zoë"));
        QVERIFY(!CompoundFile::open(m_env->path(QStringLiteral("missing.dat"))));
    }

    void exclusiveOpen()
    {
        const QString path = m_env->path(QStringLiteral("held.dat"));
        {
            auto file = CompoundFile::create(path);
            QVERIFY(file->commit());
        }
        auto first = CompoundFile::open(path);
        QVERIFY(first);
        QVERIFY(!CompoundFile::open(path));
        QVERIFY(!CompoundFile::create(path));
        // Another process is kept out as well.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-open"), path});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 1);
        first.reset();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-open"), path});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(CompoundFile::open(path));
    }

    void damagedFilesDoNotOpen()
    {
        const QString path = m_env->path(QStringLiteral("bad.dat"));
        {
            auto file = CompoundFile::create(path);
            file->createStream(QStringLiteral("Items"))->writeString(QString(3000, u'x'));
            QVERIFY(file->commit());
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        f.close();
        QVERIFY(CompoundFile::parse(whole));
        QVERIFY(!CompoundFile::parse(QByteArray()));
        QVERIFY(!CompoundFile::parse(QByteArray(4096, '\x5a')));
        // A truncated file gives nothing or its readable streams; never a crash.
        for (int cut : {100, 512, 1024, 2048, int(whole.size()) - 100}) {
            const auto contents = CompoundFile::parse(whole.left(cut));
            if (contents) {
                for (const auto &s : contents->streams)
                    QVERIFY(s.second.size() <= whole.size());
            }
        }
    }

    void otherToolsReadTheFile()
    {
        // Items large enough that the table of sectors outgrows the header
        // (over 7 MiB), written as two pieces; an empty stream; a small one.
        const QString path = m_env->path(QStringLiteral("shared.dat"));
        ValueStream kept;
        for (int i = 0; i < 30000; ++i)
            kept.writeString(QStringLiteral("Record %1 ").arg(i).repeated(12));
        QByteArray items;
        {
            auto file = CompoundFile::create(path);
            file->createStream(QStringLiteral("Count"))->writeString(QStringLiteral("30001"));
            ValueStream *stream = file->createStream(QStringLiteral("Items"));
            stream->appendValues(kept.data());
            stream->writeString(QStringLiteral("the last"));
            items = stream->data();
            QVERIFY(items.size() > 7 * 1024 * 1024);
            file->createStream(QStringLiteral("Empty"));
            file->setSummary(CompoundFile::Summary::Title, QStringLiteral("Title"));
            file->setSummary(CompoundFile::Summary::Subject, QStringLiteral("Subject"));
            file->setSummary(CompoundFile::Summary::Author, QStringLiteral("Author"));
            file->setSummary(CompoundFile::Summary::Comments, QStringLiteral("Comments"));
            file->setSummary(CompoundFile::Summary::LastSavedBy, QStringLiteral("Saver"));
            file->setSummary(CompoundFile::Summary::RevisionNumber, QStringLiteral("3"));
            QVERIFY(file->commit());
        }
        {
            auto file = CompoundFile::open(path);
            QVERIFY(file);
            QCOMPARE(file->openStream(QStringLiteral("Items"))->data(), items);
            QVERIFY(file->openStream(QStringLiteral("Empty"))->data().isEmpty());
            QCOMPARE(file->openStream(QStringLiteral("Count"))->readString(), QStringLiteral("30001"));
            QCOMPARE(file->summary(CompoundFile::Summary::LastSavedBy), QStringLiteral("Saver"));
        }
        // libgsf's own command-line tool.
        const QString gsf = QStandardPaths::findExecutable(QStringLiteral("gsf"));
        if (!gsf.isEmpty()) {
            QProcess list;
            list.start(gsf, {QStringLiteral("list"), path});
            QVERIFY(list.waitForFinished(30000));
            const QByteArray listed = list.readAllStandardOutput();
            QVERIFY2(listed.contains(" Count\n") && listed.contains(" Items\n"), listed.constData());
            QProcess props;
            props.start(gsf, {QStringLiteral("props"), path, QStringLiteral("meta:editing-cycles")});
            QVERIFY(props.waitForFinished(30000));
            QVERIFY(props.readAllStandardOutput().contains("\"3\""));
        }
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import olefile")});
        if (python.isEmpty() || !probe.waitForFinished(30000) || probe.exitCode() != 0)
            QSKIP("python3 with olefile is not installed");
        QProcess py;
        py.start(python,
                 {QStringLiteral("-c"),
                  QStringLiteral("import olefile,sys,hashlib\n"
                                 "o=olefile.OleFileIO(sys.argv[1],raise_defects=olefile.DEFECT_INCORRECT)\n"
                                 "print(sorted('/'.join(e) for e in o.listdir()))\n"
                                 "print(o.get_size('Empty'), hashlib.sha1(o.openstream('Items').read()).hexdigest())\n"
                                 "m=o.get_metadata()\n"
                                 "def s(v): return v.decode() if isinstance(v, bytes) else str(v)\n"
                                 "print('|'.join(s(x) for x in "
                                 "[m.title,m.subject,m.author,m.comments,m.last_saved_by,m.revision_number]))\n"),
                  path});
        QVERIFY(py.waitForFinished(30000));
        const QString out = QString::fromUtf8(py.readAllStandardOutput());
        QVERIFY2(py.exitCode() == 0, qPrintable(QString::fromUtf8(py.readAllStandardError())));
        QVERIFY2(out.contains(QStringLiteral("'Count'")) && out.contains(QStringLiteral("'Items'")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Title|Subject|Author|Comments|Saver|3")), qPrintable(out));
        const QString sha1 = QString::fromLatin1(QCryptographicHash::hash(items, QCryptographicHash::Sha1).toHex());
        QVERIFY2(out.contains(QStringLiteral("0 ") + sha1), qPrintable(out));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--child-open") == 0)
        return CompoundFile::open(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    TestStorage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storage.moc"
