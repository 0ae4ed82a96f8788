#include "platform/platformpaths.h"
#include "platform/timeconv.h"
#include "platform/twips.h"

#include <QTimeZone>
#include <QtTest>

using namespace TimeConv;

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void automationDates()
    {
        const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
        QCOMPARE(toAutomationDate(epoch), 0.0);
        QCOMPARE(toAutomationDate(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), 36526.5);
        QCOMPARE(toAutomationDate(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
        QCOMPARE(fromAutomationDate(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(fromAutomationDate(36526.5), QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
        // Whole seconds, both ways; a value just short of midnight rounds into the next day.
        const QDateTime t(QDate(2026, 12, 7), QTime(23, 59, 59, 700));
        QCOMPARE(fromAutomationDate(toAutomationDate(t)), QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59)));
        QCOMPARE(fromAutomationDate(45000.9999999), QDateTime(QDate(1899, 12, 30).addDays(45001), QTime(0, 0)));
        QVERIFY(!fromAutomationDate(std::numeric_limits<double>::quiet_NaN()).isValid());
    }

    void fileTimes()
    {
        const QDateTime unixEpoch = QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc());
        QCOMPARE(toFileTime(unixEpoch), Q_UINT64_C(116444736000000000));
        QCOMPARE(fromFileTime(Q_UINT64_C(116444736000000000)), unixEpoch);
        QCOMPARE(fromFileTime(0), QDateTime(QDate(1601, 1, 1), QTime(0, 0), QTimeZone::utc()));
    }

    void twips()
    {
        QCOMPARE(Twips::px(15), 1);
        QCOMPARE(Twips::px(1440), 96);
        QCOMPARE(Twips::px(7455), 497);
        // To the nearest pixel, both ways from zero.
        QCOMPARE(Twips::px(100), 7);
        QCOMPARE(Twips::px(97), 6);
        QCOMPARE(Twips::px(-100), -7);
        QCOMPARE(Twips::tw(96), 1440);
    }

    void platformPaths()
    {
        qputenv("QUILLON_PLATFORM_ROOT", "/tmp/x/root/");
        QCOMPARE(PlatformPaths::root(), QStringLiteral("/tmp/x/root"));
        QCOMPARE(PlatformPaths::registryDir(), QStringLiteral("/tmp/x/root/registry"));
        qunsetenv("QUILLON_PLATFORM_ROOT");
        qputenv("XDG_DATA_HOME", "/tmp/xdg");
        QCOMPARE(PlatformPaths::root(), QStringLiteral("/tmp/xdg/quillon/platform"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(PlatformPaths::root(), QDir::homePath() + QStringLiteral("/.local/share/quillon/platform"));
        qputenv("QUILLON_PROGRAM_DIR", "/tmp/prog");
        QCOMPARE(PlatformPaths::programFolder(), QStringLiteral("/tmp/prog"));
        QCOMPARE(PlatformPaths::installFolder(), QStringLiteral("/tmp/prog"));
        qunsetenv("QUILLON_PROGRAM_DIR");
        // No portable marker beside this program: laid out as installed.
        QVERIFY(!PlatformPaths::isPortable());
        qputenv("XDG_DATA_HOME", "/tmp/xdg");
        QCOMPARE(PlatformPaths::programFolder(), QStringLiteral("/tmp/xdg/quillon"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(PlatformPaths::programFolder(), QDir::homePath() + QStringLiteral("/.local/share/quillon"));
        QCOMPARE(PlatformPaths::installFolder(),
                 QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/quillon")));
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
