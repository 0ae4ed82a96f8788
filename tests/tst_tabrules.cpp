#include "app/mainwindow/addressrules.h"
#include "app/browser/downloadrules.h"
#include "platform/engineflags.h"
#include "engine/browsercontrol.h"
#include "app/mainwindow/commanddispatcher.h"
#include "navkit/records/favoriterecord.h"
#include "app/mainwindow/loadedpages.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/suggestionlookup.h"
#include "platform/urlhistorystore.h"
#include "app/settings/mdlinicontrol.h"
#include "app/panes/searchengines.h"
#include "platform/shownaddress.h"
#include "app/browser/tablifecycle.h"
#include "app/browser/tabrules.h"
#include "testenvironment.h"
#include "app/browser/zoomrules.h"
#include "app/browser/permissionrules.h"
#include "app/browser/signinrules.h"
#include "app/settings/sitepermissions.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QtTest>

using namespace TabRules;

class TestTabRules : public QObject
{
    Q_OBJECT

private slots:
    // What a page asks of the browser, in the user's words and as kept:
    // sign-in prompts say who asks and whether the password travels in the
    // clear; permission decisions survive a damaged file, which is set
    // aside rather than lost.
    void pageRequestRules()
    {
        const QUrl plain(QStringLiteral("http://127.0.0.1:8080/a/b?c"));
        const QUrl secure(QStringLiteral("https://user@bank.test/login"));
        QCOMPARE(SignInRules::prompt(plain, QStringLiteral(" Router "), QString()),
                 QStringLiteral("http://127.0.0.1:8080 asks for a user name and password.\nIt says: \u201CRouter\u201D"
                                "\nThe connection is not encrypted: the password can be read on the way."));
        QVERIFY(SignInRules::prompt(secure, QString(), QString()).startsWith(QStringLiteral("https://bank.test asks")));
        QVERIFY(SignInRules::prompt(secure, QString(), QString()).endsWith(QStringLiteral("is encrypted.")));
        QVERIFY(SignInRules::inClear(secure, QStringLiteral("proxy.test")));
        QVERIFY(SignInRules::key(plain, QStringLiteral("R"), QString())
                != SignInRules::key(plain, QStringLiteral("S"), QString()));
        QCOMPARE(SignInRules::unpack(SignInRules::pack(QStringLiteral("ann"), QStringLiteral("p\u00e4ss:1"))),
                 (std::pair{QStringLiteral("ann"), QStringLiteral("p\u00e4ss:1")}));
        QCOMPARE(SignInRules::unpack("no separator"), std::nullopt);

        QCOMPARE(PermissionRules::question(QUrl(QStringLiteral("https://maps.test/x?y")), QWebEnginePage::Geolocation),
                 QStringLiteral("https://maps.test wants to know your location."));
        QCOMPARE(PermissionRules::key(QWebEnginePage::DesktopAudioVideoCapture), QStringLiteral("screen"));

        TestEnvironment env;
        const QString file = env.path(QStringLiteral("_permissions.dat"));
        using SitePermissions::Decision;
        QVERIFY(TestFiles::writeAll(file,
                                    "https://a.test\tlocation\tallow\nnot a decision\n"
                                    "https://a.test\tlocation\tblock\n\nhttps://b.test\tcamera\tallow\n"));
        const QList<SitePermissions::Entry> read = SitePermissions::read(file);
        QCOMPARE(read.size(), 2); // the later line for a site and feature wins
        QCOMPARE(SitePermissions::decisionFor(read, QStringLiteral("https://a.test"), QStringLiteral("location")),
                 Decision::Block);
        QVERIFY(SitePermissions::write(
            file,
            SitePermissions::with(read, QStringLiteral("https://b.test"), QStringLiteral("camera"), std::nullopt)));
        QVERIFY(TestFiles::readAll(file + QStringLiteral(".bad")).contains("not a decision"));
        QCOMPARE(TestFiles::readAll(file), QByteArray("https://a.test\tlocation\tblock\n"));
    }

    void captions()
    {
        QCOMPARE(tabCaption(QStringLiteral("123456789012345")), QStringLiteral(" 123456789012345 "));
        QCOMPARE(tabCaption(QStringLiteral("1234567890123456")), QStringLiteral(" 123456789012345... "));
        QCOMPARE(tabCaption(QStringLiteral("  A rather long page title  ")), QStringLiteral(" A rather long p... "));
        QCOMPARE(tabCaption(QStringLiteral("   ")), QStringLiteral("  "));
        QCOMPARE(activatedCaption(QString(), 1), QStringLiteral("  Tab -  "));
        QCOMPARE(activatedCaption(QStringLiteral("x"), 3), QStringLiteral("  Tab - x "));
        QCOMPARE(activatedCaption(QStringLiteral("123456789012345678901234567"), 4),
                 QStringLiteral(" 123456789012345... "));
        QCOMPARE(activatedCaption(QStringLiteral("Anything"), 2), QStringLiteral(" Favorites "));
    }

    void progress()
    {
        QCOMPARE(progressWidths(-1, 100, true), QList<int>{0});
        QCOMPARE(progressWidths(-1, 100, false), (QList<int>{0, 1030, 0}));
        QCOMPARE(progressWidths(50, 100, false), (QList<int>{1030, 0}));
        QCOMPARE(progressWidths(3, 2, true), QList<int>{1030});
        QCOMPARE(progressWidths(50, 100, true), QList<int>{515});
        QCOMPARE(progressWidths(5, 0, true), QList<int>{});
        QCOMPARE(progressWidths(0, 100, true), QList<int>{});
    }

    void lockTable()
    {
        const QStringList tips{QStringLiteral("Zone Internet"),
                               QString(),
                               QStringLiteral("Encrypted"),
                               QStringLiteral("Security SSL - 40 bit"),
                               QStringLiteral("Security SSL - 56 bit"),
                               QStringLiteral("Security SSL"),
                               QStringLiteral("Security SSL - 128/256 bit")};
        for (int i = 0; i <= 6; ++i) {
            const auto look = lockAppearance(i);
            QVERIFY(look);
            QCOMPARE(look->visible, i != 0);
            QCOMPARE(look->toolTip, tips.at(i));
        }
        QVERIFY(!lockAppearance(7));
        QVERIFY(!lockAppearance(-1));
        const QUrl secure(QStringLiteral("https://a/"));
        QCOMPARE(BrowserControl::lockIconFor(QUrl(QStringLiteral("http://a/")), {}), 0);
        QCOMPARE(BrowserControl::lockIconFor(secure, {}), 6);
        QCOMPARE(BrowserControl::lockIconFor(secure, {.mixedContent = true}), 1);
        // A certificate error (passed or not) or a failed load is never shown as secure.
        QCOMPARE(BrowserControl::lockIconFor(secure, {.certificateError = true}), 0);
        QCOMPARE(BrowserControl::lockIconFor(secure, {.certificateError = true, .mixedContent = true}), 0);
        QCOMPARE(BrowserControl::lockIconFor(secure, {.loadFailed = true}), 0);
    }

    void geometry()
    {
        // Re-fit: the browser ends 275 twips above the bottom; negative sizes are not applied.
        QCOMPARE(refitBrowser({100, 100}, 9000, 6000).height, 5725);
        QCOMPARE(refitBrowser({100, 100}, 9000, 6000).width, 9000);
        QCOMPARE(refitBrowser({100, 100}, 9000, 200).height, 100);
        QCOMPARE(statusCellWidth(12645), 12645 - 1950 - 7410 - 1080 - 90);
        // Wide enough: the design's places; narrow (a 1024-pixel window with
        // the side pane): the status text gives way, the cell stays whole.
        const StripLayout wide = stripLayout(12645);
        QCOMPARE(wide.statusWidth, 7410);
        QCOMPARE(wide.cellLeft, 10500);
        QCOMPARE(wide.cellWidth, statusCellWidth(12645));
        const StripLayout narrow = stripLayout(10800);
        QCOMPARE(narrow.cellWidth, 1395);
        QCOMPARE(narrow.cellLeft + narrow.cellWidth, 10800 - 30);
        QCOMPARE(narrow.statusWidth, 7410 - (1395 - statusCellWidth(10800)));
        QVERIFY(stripLayout(100).statusWidth >= 1500);
        // Widening the main status bar by 600 moves the last field and widens the middle one by 600.
        const auto a = MainRules::statusBarLayout(10200);
        const auto b = MainRules::statusBarLayout(10800);
        QCOMPARE(a.shape3Left, 8805);
        QCOMPARE(a.shape2Width, 270);
        QCOMPARE(b.shape3Left - a.shape3Left, 600);
        QCOMPARE(b.shape2Width - a.shape2Width, 600);
        QCOMPARE(a.label2Width, 210);
        QCOMPARE(MainRules::addressWidth(15360), 15360 - 3540 - 1500);
    }

    void popupDecision()
    {
        QVERIFY(MainRules::popupOpensTab(0, -1, false, false));
        QVERIFY(!MainRules::popupOpensTab(1, -1, false, false));
        QVERIFY(MainRules::popupOpensTab(1, 1, false, false));
        QVERIFY(!MainRules::popupOpensTab(1, 3, false, false)); // Shift with Ctrl is not Shift
        QVERIFY(MainRules::popupOpensTab(1, -1, true, false));
        QVERIFY(!MainRules::popupOpensTab(1, -1, true, true));
    }

    void placementReachable()
    {
        const QList<QRect> screens{{0, 0, 1280, 800}, {1280, 0, 1920, 1080}};
        QVERIFY(MainRules::placementReachable({100, 100, 900, 600}, screens));
        QVERIFY(MainRules::placementReachable({2000, 500, 900, 600}, screens)); // on the second screen
        QVERIFY(MainRules::placementReachable({-112, 40, 1024, 720}, screens)); // partly off the left edge
        QVERIFY(MainRules::placementReachable({-868, 0, 900, 600}, screens));   // 32 pixels still there
        QVERIFY(!MainRules::placementReachable({-869, 0, 900, 600}, screens));
        QVERIFY(!MainRules::placementReachable({3300, 100, 900, 600}, screens)); // a screen that is gone
        QVERIFY(!MainRules::placementReachable({100, 100, 900, 600}, {}));
    }

    void pagesToReopen()
    {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.root()));
        const QString file = env.path(QStringLiteral("_loaded.dat"));
        using mdlIniControl::WriteIniValue;
        QCOMPARE(MainRules::pagesToReopen(file), QStringList());
        WriteIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_3"), QStringLiteral("http://three/"));
        WriteIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_5"), QStringLiteral("http://five/"));
        WriteIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_6"), QStringLiteral("http://six/"));
        WriteIniValue(file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("5"));
        QCOMPARE(MainRules::pagesToReopen(file),
                 (QStringList{QStringLiteral("http://three/"), QStringLiteral("http://five/")}));
        WriteIniValue(file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("2"));
        QCOMPARE(MainRules::pagesToReopen(file), QStringList());
        WriteIniValue(file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("x"));
        QCOMPARE(MainRules::pagesToReopen(file), QStringList());
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Global]\r\nCount=4\r\n[Loaded URL]\r\nURL_3=   \r\nURL_4=http://four/\r\n");
        f.close();
        QCOMPARE(MainRules::pagesToReopen(file), QStringList{QStringLiteral("http://four/")});

        // A huge "Count" costs only the entries there are (this hung at start).
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Global]\r\nCount=2147483647\r\n[Loaded URL]\r\nURL_9=http://nine/\r\nURL_03=http://x/\r\n"
                "URL_4=http://four/\r\nURL_4=http://dup/\r\nURL_99999999999999999999=http://big/\r\n");
        f.close();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(MainRules::pagesToReopen(file),
                 (QStringList{QStringLiteral("http://four/"), QStringLiteral("http://nine/")}));
        QVERIFY(clock.elapsed() < 1000);

        // Entries written on the writer's thread, then the whole list: none of
        // them lands after it (a closed tab's entry would come back).
        for (int n = 3; n < 43; ++n)
            LoadedPages::writeEntryLater(file, n, QStringLiteral("http://later/%1").arg(n), n);
        QVERIFY(LoadedPages::writeAll(file, {QString(), QString(), QStringLiteral("http://kept/")}));
        QCOMPARE(MainRules::pagesToReopen(file), QStringList{QStringLiteral("http://kept/")});
        LoadedPages::writeCountLater(file, 3);
        LoadedPages::writeEntryLater(file, 4, QStringLiteral("http://added/"), 4);
        LoadedPages::waitForWrites();
        QCOMPARE(MainRules::pagesToReopen(file),
                 (QStringList{QStringLiteral("http://kept/"), QStringLiteral("http://added/")}));
    }

    void searchEnginesEndAtTheLastEntry()
    {
        QCOMPARE(SearchEngines::entries("[Search]\r\nCount=2147483647\r\nText1=One\r\nText3=Three\r\nText4=\r\n",
                                        QStringLiteral("Text")),
                 (QStringList{QStringLiteral("One"), QStringLiteral("unknown value"), QStringLiteral("Three"),
                              QStringLiteral("Unknown section or key")}));
        QCOMPARE(SearchEngines::entries("[Search]\r\nCount=1\r\nUrl1=a\r\nUrl2=b\r\n", QStringLiteral("Url")),
                 QStringList{QStringLiteral("a")});
        QCOMPARE(SearchEngines::entries("[Search]\r\nCount=-5\r\nUrl1=a\r\n", QStringLiteral("Url")), QStringList());
    }

    void scriptAddressesAndSeparators()
    {
        for (const char *a :
             {"javascript:alert(1)", "  JavaScript:x", "\tjava\nscript:x", "\x01javascript:x", "JAVASCRIPT:"})
            QVERIFY2(BrowserControl::isScriptAddress(QString::fromLatin1(a)), a);
        for (const char *a :
             {"http://javascript.test/", "about:blank", "javascript", "vbscript:x", "/javascript:x", ""})
            QVERIFY2(!BrowserControl::isScriptAddress(QString::fromLatin1(a)), a);

        // A title holding the separator adds no field to a record or a row.
        const QString sep = FavoriteRecord::kFieldSeparator;
        const QString record =
            FavoriteRecord::compose(QStringLiteral("Nice page") + sep + QStringLiteral("javascript:evil()"),
                                    QStringLiteral("http://real.test/"));
        QCOMPARE(record.split(sep).size(), 2);
        QCOMPARE(record.section(sep, 1, 1), QStringLiteral("http://real.test/"));
        const QString keywords = CommandDispatcher::favoriteRecord(
            QStringLiteral("t") + sep + QStringLiteral("x"), QStringLiteral("http://u/"),
            {{QStringLiteral("keywords"), sep + QStringLiteral("k")}});
        QCOMPARE(keywords.split(sep).size(), 3);
        QCOMPARE(keywords.section(sep, 1, 1), QStringLiteral("http://u/"));
    }

    void addressOrWords_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("address");
        const std::pair<const char *, bool> cases[] = {
            {"http://x", true},
            {"HTTPS://example.org/a b", true},
            {"example.org", true},
            {"127.0.0.1:8080/a", true},
            {"localhost", true},
            {"localhost:3000", true},
            {"intranet:8080", true},
            {"about:blank", true},
            {"file:///tmp/a.html", true},
            {"[::1]:80", true},
            {"b\xc3\xbc"
             "cher.de",
             true},
            {"pruning", false},
            {"garden pruning", false},
            {"e.g.", false},
            {".hidden", false},
            {"a..b", false},
            {"what is 2.5", false},
            {"", false},
            {"  ", false},
            {"x,y.com", false},
            {"/tmp/pages/b.html", true},
            {"~/notes.html", true},
            {"intranet/", true},
            {"nas/share", true},
            {"nas:8080", true},
            {"10.1.2.3", true},
            {"c++", false},
        };
        for (const auto &[typed, address] : cases)
            QTest::newRow(typed) << QString::fromUtf8(typed) << address;
    }
    void addressOrWords()
    {
        QFETCH(QString, typed);
        QFETCH(bool, address);
        QCOMPARE(AddressRules::looksLikeAddress(typed), address);
    }

    void addressesShownWithoutUserInformation()
    {
        const QString padded =
            QStringLiteral("http://www.quill-bank.example") + QString(300, u' ') + QStringLiteral("@127.0.0.1/x");
        QCOMPARE(ShownAddress::of(QUrl(padded).toString(QUrl::FullyEncoded)), QStringLiteral("http://127.0.0.1/x"));
        QCOMPARE(ShownAddress::of(QStringLiteral("https://u:pw@h.test:8443/a?b#c")),
                 QStringLiteral("https://h.test:8443/a?b#c"));
        for (const char *kept : {"about:blank", "mailto:a@b.test", "words @ home", "http://h.test/a@b"})
            QCOMPARE(ShownAddress::of(QString::fromLatin1(kept)), QString::fromLatin1(kept));
        const QList<AddressRules::Suggestion> rows = AddressRules::suggestions(
            QStringLiteral("x"), {}, {{QStringLiteral("T"), QStringLiteral("http://u@h.test/")}}, {});
        QCOMPARE(rows.value(0).url, QStringLiteral("http://h.test/"));
        QCOMPARE(TabRules::pageToolTip(QString(), QStringLiteral("http://bank@h.test/")),
                 QStringLiteral("http://h.test/"));
    }

    void whatEnterOpensAndWhatIsListed()
    {
        using AddressRules::Suggestion;
        const QString engine = QStringLiteral("http://s.test/?q=<%search%>&x=<%search%>");
        QCOMPARE(AddressRules::resolve(QStringLiteral(" a & b?"), engine),
                 QStringLiteral("http://s.test/?q=a%20%26%20b%3F&x=a%20%26%20b%3F"));
        QCOMPARE(AddressRules::resolve(QStringLiteral(" example.org "), engine), QStringLiteral("http://example.org"));
        QCOMPARE(AddressRules::resolve(QStringLiteral("nas:8080"), engine), QStringLiteral("http://nas:8080"));
        QCOMPARE(AddressRules::resolve(QStringLiteral("intranet/"), engine), QStringLiteral("http://intranet/"));
        QCOMPARE(AddressRules::resolve(QStringLiteral("HTTPS://a.test/x"), engine), QStringLiteral("HTTPS://a.test/x"));
        // A local path is never sent to the engine, there or not.
        QCOMPARE(AddressRules::resolve(QStringLiteral("/tmp/no such/b.html"), engine),
                 QStringLiteral("file:///tmp/no%20such/b.html"));
        QCOMPARE(AddressRules::resolve(QStringLiteral("~/a.html"), engine),
                 QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/a.html")).toString());
        QCOMPARE(AddressRules::resolve(QStringLiteral("words"), QString()), QStringLiteral("words")); // no engine

        const QString sep = QStringLiteral(">\u00A4<");
        const QList<Suggestion> rows = AddressRules::suggestions(
            QStringLiteral("rose "),
            {QStringLiteral(" Roses ") + sep + QStringLiteral(" http://r.test/ ") + sep + QStringLiteral("kw"),
             QStringLiteral("Again") + sep + QStringLiteral("http://r.test/"), QStringLiteral("no address")},
            {{QStringLiteral("Visited"), QStringLiteral("http://r.test/")},
             {QString(), QStringLiteral("http://v.test/rose")}},
            QStringLiteral("Local"));
        QCOMPARE(rows.size(), 3); // one row per address; a record without one is left out
        QCOMPARE(rows[0].kind, Suggestion::Kind::Favorite);
        QCOMPARE(rows[0].title, QStringLiteral("Roses"));
        QCOMPARE(rows[0].completion, QStringLiteral("http://r.test/"));
        QCOMPARE(rows[1].kind, Suggestion::Kind::History);
        QCOMPARE(rows[1].title, QStringLiteral("http://v.test/rose")); // untitled: its address
        QCOMPARE(rows[2].kind, Suggestion::Kind::Search);
        QCOMPARE(rows[2].title, QStringLiteral("Search Local for rose"));
        QCOMPARE(rows[2].completion, QStringLiteral("rose"));
        QVERIFY(AddressRules::suggestions(QStringLiteral("r.test"), {}, {}, QStringLiteral("Local")).isEmpty());

        using Ranges = QList<std::pair<qsizetype, qsizetype>>;
        QCOMPARE(AddressRules::emphasis(QStringLiteral("Rose garden roses"), QStringLiteral("rose gar")),
                 (Ranges{{0, 4}, {5, 3}, {12, 4}}));
        QCOMPARE(AddressRules::emphasis(QStringLiteral("aaaa"), QStringLiteral("aa aaa")), (Ranges{{0, 4}}));
        QVERIFY(AddressRules::emphasis(QStringLiteral("x"), QStringLiteral("  ")).isEmpty());
    }

    // A store of a million favorites read again after it changed elsewhere
    // takes seconds: the visited pages are listed meanwhile, and the
    // favorites join them when read.
    void suggestionsDoNotWaitForEachOther()
    {
        const TestEnvironment env;
        QVERIFY(UrlHistoryStore().addUrl(QStringLiteral("http://r.test/roses"), QStringLiteral("Roses"), 0));
        QSemaphore storeRead;
        std::atomic<bool> slow{true};
        SuggestionLookup lookup(
            [&](const QString &, const QString &words, int) {
                if (slow)
                    storeRead.acquire();
                return QStringList{QStringLiteral("Fav ") + words};
            },
            [](const QString &, const QString &, int) { return QList<AddressRules::PageMatch>(); });
        // Destroyed before the lookup, whose destructor waits for its threads.
        const auto unblock = qScopeGuard([&] {
            slow = false;
            storeRead.release(8);
        });
        QList<std::pair<QString, SuggestionLookup::Answer>> answers;
        connect(&lookup, &SuggestionLookup::found, this,
                [&answers](const QString &words, const SuggestionLookup::Answer &a) {
                    answers.append({words, a});
                });

        lookup.ask(QStringLiteral("ro"), QString(), 6, 0, 6);
        lookup.ask(QStringLiteral("rose"), QString(), 6, 0, 6); // overtakes the first
        QVERIFY(QTest::qWaitFor([&answers] { return !answers.isEmpty(); }, 5000));
        QVERIFY(lookup.pending());
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers[0].first, QStringLiteral("rose"));
        QVERIFY(answers[0].second.visitedIn && !answers[0].second.favoritesIn);
        QCOMPARE(answers[0].second.visited.value(0).url, QStringLiteral("http://r.test/roses"));
        slow = false;
        storeRead.release(2); // the overtaken question's read, if it was begun, and this one's
        QVERIFY(QTest::qWaitFor([&lookup] { return !lookup.pending(); }, 5000));
        QCOMPARE(answers.size(), 2);
        QVERIFY(answers[1].second.complete());
        QCOMPARE(answers[1].second.favoriteRecords, QStringList{QStringLiteral("Fav rose")});
        QCOMPARE(answers[1].second.visited.size(), 1);

        // Only the newest question is answered, whole at the end.
        answers.clear();
        lookup.ask(QStringLiteral("roses"), QString(), 6, 0, 6);
        lookup.ask(QStringLiteral("rosy"), QString(), 6, 0, 6);
        QVERIFY(QTest::qWaitFor([&lookup] { return !lookup.pending(); }, 5000));
        QVERIFY(!answers.isEmpty() && answers.last().second.complete());
        for (const auto &[words, answer] : std::as_const(answers))
            QCOMPARE(words, QStringLiteral("rosy"));
        QCOMPARE(answers.last().second.favoriteRecords, QStringList{QStringLiteral("Fav rosy")});
        QVERIFY(answers.last().second.visited.isEmpty());
    }

    void backgroundTabsAndEngineProcesses()
    {
        using S = TabLifecycle::State;
        QCOMPARE(TabLifecycle::backgroundState(false, S::Discarded), S::Frozen);
        QCOMPARE(TabLifecycle::backgroundState(true, S::Discarded), S::Discarded);
        QCOMPARE(TabLifecycle::backgroundState(true, S::Frozen), S::Frozen);  // would lose what was typed
        QCOMPARE(TabLifecycle::backgroundState(false, S::Active), S::Active); // playing sound
        QCOMPARE(TabLifecycle::backgroundState(true, S::Active), S::Active);

        const QByteArray plenty = "MemTotal:       24000000 kB\nMemFree:  100 kB\nMemAvailable:   12000000 kB\n";
        const QByteArray scarce = "MemTotal:       24000000 kB\nMemAvailable:    2000000 kB\n";
        QVERIFY(!TabLifecycle::memoryLow(plenty));
        QVERIFY(TabLifecycle::memoryLow(scarce));
        QVERIFY(!TabLifecycle::memoryLow("MemTotal: 1000 kB\n")); // says nothing of what is free
        QVERIFY(!TabLifecycle::memoryLow(""));

        QCOMPARE(EngineFlags::withProcessPerSite(""), QByteArray("--process-per-site"));
        QCOMPARE(EngineFlags::withProcessPerSite(" --disable-gpu --no-sandbox "),
                 QByteArray("--disable-gpu --no-sandbox --process-per-site"));
        QCOMPARE(EngineFlags::withProcessPerSite("--process-per-tab"), QByteArray("--process-per-tab"));
        QCOMPARE(EngineFlags::withProcessPerSite("--single-process --x"), QByteArray("--single-process --x"));
    }

    void zoomSteps()
    {
        using ZoomRules::Direction;
        QCOMPARE(ZoomRules::step(1.0, Direction::In), 1.1);
        QCOMPARE(ZoomRules::step(1.0, Direction::Out), 0.9);
        QCOMPARE(ZoomRules::step(1.12, Direction::Out), 1.1); // between steps: the nearer one that way
        QCOMPARE(ZoomRules::step(1.12, Direction::In), 1.25);
        QCOMPARE(ZoomRules::step(5.0, Direction::In), 5.0);
        QCOMPARE(ZoomRules::step(0.25, Direction::Out), 0.25);
        QCOMPARE(ZoomRules::text(1.0), QString());
        QCOMPARE(ZoomRules::text(0.333), QStringLiteral("33 %"));
        ZoomRules::remember(QStringLiteral("a.test"), 1.5);
        QCOMPARE(ZoomRules::factorFor(QStringLiteral("a.test")), 1.5);
        QCOMPARE(ZoomRules::factorFor(QStringLiteral("b.test")), 1.0);
        ZoomRules::remember(QStringLiteral("a.test"), 1.0);
        QCOMPARE(ZoomRules::factorFor(QStringLiteral("a.test")), 1.0);
    }

    void downloadTexts()
    {
        QCOMPARE(DownloadRules::sizeText(12), QStringLiteral("12 B"));
        QCOMPARE(DownloadRules::sizeText(800 * 1024), QStringLiteral("800 KB"));
        QCOMPARE(DownloadRules::sizeText(1536 * 1024), QStringLiteral("1.5 MB"));
        QCOMPARE(DownloadRules::speedText(5000, 999), QString()); // under a second: not yet
        QCOMPARE(DownloadRules::speedText(2 * 1024 * 1024, 2000), QStringLiteral("1.0 MB/s"));
        QCOMPARE(DownloadRules::progressText(512, 2048), QStringLiteral("25 % of 2 KB"));
        QCOMPARE(DownloadRules::progressText(300 * 1024, -1), QStringLiteral("300 KB"));
        QVERIFY(DownloadRules::asksWhereToSave(QString()));
        QVERIFY(DownloadRules::asksWhereToSave(QStringLiteral("1")));
        QVERIFY(!DownloadRules::asksWhereToSave(QStringLiteral(" 0 ")));

        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("dl"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(DownloadRules::freePath(folder, QStringLiteral("a.tar.gz")), folder + QStringLiteral("/a.tar.gz"));
        QFile(folder + QStringLiteral("/a.tar.gz")).open(QIODevice::WriteOnly);
        const QSet<QString> taken{folder + QStringLiteral("/a.tar (1).gz")};
        QCOMPARE(DownloadRules::freePath(folder, QStringLiteral("a.tar.gz"), taken),
                 folder + QStringLiteral("/a.tar (2).gz"));
        // A name from the server never leaves the folder.
        QCOMPARE(DownloadRules::freePath(folder, QStringLiteral("../../etc/x")), folder + QStringLiteral("/x"));
        QCOMPARE(DownloadRules::freePath(folder, QString()), folder + QStringLiteral("/download"));
        // No hidden files, controls or reversed names from a server.
        QCOMPARE(DownloadRules::safeFileName(QStringLiteral(".bash_profile")), QStringLiteral("bash_profile"));
        QCOMPARE(DownloadRules::safeFileName(QStringLiteral(" ..\\..\\.x")), QStringLiteral("x"));
        QCOMPARE(DownloadRules::safeFileName(QStringLiteral("ev\u202Eil\ttxt.exe")), QStringLiteral("eviltxt.exe"));
        QCOMPARE(DownloadRules::safeFileName(QStringLiteral("...")), QStringLiteral("download"));
        // A name is reserved once: a file or a link already there is never taken.
        const QString reserved = folder + QStringLiteral("/r.bin");
        QVERIFY(DownloadRules::reserve(reserved));
        QVERIFY(!DownloadRules::reserve(reserved));
        QVERIFY(QFile::link(env.path(QStringLiteral("elsewhere")), folder + QStringLiteral("/link.bin")));
        QVERIFY(!DownloadRules::reserve(folder + QStringLiteral("/link.bin")));
        QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("elsewhere"))));
        // Without asking, never into the home folder itself.
        QCOMPARE(DownloadRules::folderWithoutAsking(env.path(QStringLiteral("home")), env.path(QStringLiteral("home"))),
                 env.path(QStringLiteral("home/Downloads")));
        QCOMPARE(DownloadRules::folderWithoutAsking(folder, env.path(QStringLiteral("home"))), folder);
    }

    void keyCodes()
    {
        QCOMPARE(MainRules::keyCode(Qt::Key_Return), 13);
        QCOMPARE(MainRules::keyCode(Qt::Key_Shift), 16);
        QCOMPARE(MainRules::keyCode(Qt::Key_A), 65);
        QCOMPARE(MainRules::keyCode(Qt::Key_F4), 115);
        QCOMPARE(MainRules::shiftBits(Qt::ShiftModifier), 1);
        QCOMPARE(MainRules::shiftBits(Qt::ControlModifier | Qt::AltModifier), 6);
    }
};

QTEST_GUILESS_MAIN(TestTabRules)
#include "tst_tabrules.moc"
