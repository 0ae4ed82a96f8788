#include "app/settings/mdlregistry.h"
#include "platform/registrydocument.h"
#include "platform/registrystore.h"
#include "platform/filelock.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace mdlRegistry;

using TestFiles::readAll;
using TestFiles::writeAll;

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void stringRoundTripAndCaseInsensitiveNames()
    {
        QVERIFY(!GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).isValid());
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                         QStringLiteral("http://a.test/ü?x=\"1\"\\"));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Top"), QStringLiteral("1200"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\KESTRANE\\quillon xp"),
                                  QStringLiteral("HOMEPAGE"))
                     .toString(),
                 QStringLiteral("http://a.test/ü?x=\"1\"\\"));
        QCOMPARE(toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("main.top"))), 1200);
        // A value stored again as it is leaves the file as it is (no flush to disk).
        const ino_t stored = TestFiles::inode(RegistryStore().filePath(HKEY_LOCAL_MACHINE));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Top"), QStringLiteral("1200"));
        QCOMPARE(TestFiles::inode(RegistryStore().filePath(HKEY_LOCAL_MACHINE)), stored);
        // Overwriting keeps one value under the first spelling.
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HOMEPAGE"), QString());
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(), QString());
        QVERIFY(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).isValid());
        const QByteArray file = readAll(RegistryStore().filePath(HKEY_LOCAL_MACHINE));
        QVERIFY(file.startsWith("Windows Registry Editor Version 5.00\n"));
        QVERIFY(file.contains("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrane\\Quillon XP\\Forms]\n\"Main.Top\"=\"1200\"\n"));
        QCOMPARE(file.count("\"HomePage\""), 1);
        // Missing key, missing value and a missing number.
        QVERIFY(
            !GetRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Nobody"), QStringLiteral("x")).isValid());
        QCOMPARE(toNumber(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("LoadBack"))), 0);
        QVERIFY(!RegistryKey::open(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Nobody")));
        QVERIFY(RegistryKey::open(HKEY_LOCAL_MACHINE, QStringLiteral("software")));
    }

    void typesSurviveAndOnlyStringsAreRead()
    {
        RegistryStore store;
        const QString key = QStringLiteral("SOFTWARE\\Types");
        const QString withNul = QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after");
        const QByteArray blob("\x00\x01\xfe\xff", 4);
        QVERIFY(store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("dw"), RegValue::dword(0x0a)));
        QVERIFY(store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("exp"),
                               RegValue::string(QStringLiteral("%HOME%\\x"), RegType::ExpandSz)));
        QVERIFY(store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("nul"), RegValue::string(withNul)));
        QVERIFY(store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("bin"), RegValue::binary(blob)));
        QVERIFY(store.setValue(HKEY_LOCAL_MACHINE, key, QString(), RegValue::string(QStringLiteral("default"))));

        const QByteArray file = readAll(store.filePath(HKEY_LOCAL_MACHINE));
        QVERIFY(file.contains("\"dw\"=dword:0000000a"));
        QVERIFY(file.contains("\"exp\"=hex(2):25,00,48,00"));
        QVERIFY(file.contains("\"nul\"=hex(1):"));
        QVERIFY(file.contains("\"bin\"=hex:00,01,fe,ff"));
        QVERIFY(file.contains("@=\"default\""));

        // A fresh store (as another process would) sees the same types.
        RegistryStore other;
        QCOMPARE(other.queryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("DW"))->toDword(), 10u);
        QCOMPARE(other.queryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("exp"))->type, RegType::ExpandSz);
        QCOMPARE(other.queryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("nul"))->text, withNul);
        QCOMPARE(other.queryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("bin"))->data, blob);

        QVERIFY(!GetRegistryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("dw")).isValid());
        QVERIFY(!GetRegistryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("bin")).isValid());
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("exp")).toString(),
                 QStringLiteral("%HOME%\\x"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("nul")).toString(), QStringLiteral("before"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, key, QString()).toString(), QStringLiteral("default"));
    }

    void typesRoundTripAcrossProcesses()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-write"), QStringLiteral("0")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        RegistryStore store;
        const auto dw = store.queryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Child"), QStringLiteral("dw"));
        QVERIFY(dw);
        QCOMPARE(dw->type, RegType::Dword);
        QCOMPARE(dw->toDword(), 0xdeadbeefu);
        QCOMPARE(store.queryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Child"), QStringLiteral("exp"))->type,
                 RegType::ExpandSz);
    }

    void concurrentWritersLoseNothing()
    {
        QList<QProcess *> children;
        for (int i = 1; i <= 3; ++i) {
            auto *p = new QProcess(this);
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-write"), QString::number(i)});
            children.append(p);
        }
        for (QProcess *p : children) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        RegistryStore store;
        for (int i = 1; i <= 3; ++i)
            for (int n = 0; n < 20; ++n)
                QVERIFY2(store.queryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Child"),
                                          QStringLiteral("p%1_%2").arg(i).arg(n)),
                         qPrintable(QStringLiteral("p%1_%2").arg(i).arg(n)));
    }

    void unwritableStoreKeepsOldValues()
    {
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"), QStringLiteral("old"));
        const QString file = RegistryStore().filePath(HKEY_LOCAL_MACHINE);
        // A lock held by another writer for longer than the wait makes the write fail.
        const FileLock held(file, FileLock::Mode::Exclusive, std::chrono::milliseconds(0));
        QVERIFY(held.isLocked());
        RegistryStore store;
        store.setLockTimeout(50);
        QVERIFY(!store.setValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                                RegValue::string(QStringLiteral("new"))));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("old"));

        // A platform root below a regular file: reads are empty, writes do nothing.
        const QString plainFile = m_env->path(QStringLiteral("plain"));
        QVERIFY(writeAll(plainFile, "x"));
        qputenv("QUILLON_PLATFORM_ROOT", (plainFile + QStringLiteral("/root")).toUtf8());
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"), QStringLiteral("new"));
        QVERIFY(!GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).isValid());
        QCOMPARE(readAll(plainFile), QByteArray("x"));
    }

    void damagedFileKeepsItsValues()
    {
        const QString file = RegistryStore().filePath(HKEY_LOCAL_MACHINE);
        const QByteArray damaged = "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrane\\Quillon XP]\r\n"
                                   "\"HomePage\"=\"http://kept.test/\"\r\n"
                                   "garbage line \x01\x02\r\n"
                                   "\"Broken\"=hex:zz,01\r\n"
                                   "\"LoadBack\"=\"1\"\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Half\r\n"
                                   "\"Orphan\"=\"x\"\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                                   "\"Long\"=hex:01,02,\\\r\n  03,04\r\n";
        QVERIFY(writeAll(file, damaged));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("http://kept.test/"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("LoadBack")).toString(),
                 QStringLiteral("1"));
        QCOMPARE(RegistryStore()
                     .queryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Other"), QStringLiteral("Long"))
                     ->data,
                 QByteArray("\x01\x02\x03\x04"));

        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup"), QStringLiteral("1"));
        QCOMPARE(readAll(file + QStringLiteral(".bad")), damaged);
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("http://kept.test/"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup")).toString(),
                 QStringLiteral("1"));
        // The rewritten file is clean, so a second write sets nothing more aside.
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup"), QStringLiteral("0"));
        QVERIFY(!QFile::exists(file + QStringLiteral(".bad.1")));
    }

    void keysAreCreatedListedAndDeleted()
    {
        RegistryStore store;
        QVERIFY(store.createKey(HKEY_CLASSES_ROOT, QStringLiteral("A.B\\CLSID")));
        QVERIFY(store.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("a.b")));
        QVERIFY(
            store.setValue(HKEY_CLASSES_ROOT, QStringLiteral("A.C"), QString(), RegValue::string(QStringLiteral("c"))));
        QCOMPARE(store.subKeyNames(HKEY_CLASSES_ROOT, QString()),
                 (QStringList{QStringLiteral("A.B"), QStringLiteral("A.C")}));
        QVERIFY(store.deleteKey(HKEY_CLASSES_ROOT, QStringLiteral("A.B")));
        QVERIFY(!store.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("A.B\\CLSID")));
        QVERIFY(store.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("A.C")));
        QVERIFY(!store.keyExists(HKEY_LOCAL_MACHINE, QStringLiteral("A.C")));
        QVERIFY(
            !store.setValue(HKEY_CLASSES_ROOT, QStringLiteral("A.C"), QStringLiteral("bad\nname"), RegValue::dword(1)));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

// The child writer used by the cross-process tests.
static int childWrite(int id)
{
    RegistryStore store;
    const QString key = QStringLiteral("SOFTWARE\\Child");
    if (id == 0) {
        bool ok = store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("dw"), RegValue::dword(0xdeadbeef));
        ok = ok
            && store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("exp"),
                              RegValue::string(QStringLiteral("%X%"), RegType::ExpandSz));
        return ok ? 0 : 1;
    }
    for (int n = 0; n < 20; ++n) {
        if (!store.setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("p%1_%2").arg(id).arg(n), RegValue::dword(n)))
            return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child-write") == 0) {
        QCoreApplication app(argc, argv);
        return childWrite(QByteArray(argv[2]).toInt());
    }
    QCoreApplication app(argc, argv);
    TestRegistry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registry.moc"
