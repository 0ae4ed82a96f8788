// The yardstick for the browser's start-up and memory: one window, N web
// views in tabs, the same page in each, nothing else.
//   bare_engine URL [N]   prints "first-document-ms T" when the first view
//   has loaded and "loaded" when all have and each tab has been shown once;
//   exits at the first with BARE_EXIT_AT_FIRST=1.
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the web engine needs it
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    const int count = argc > 2 ? QByteArray(argv[2]).toInt() : 1;
    const bool exitAtFirst = qEnvironmentVariableIntValue("BARE_EXIT_AT_FIRST") == 1;
    // BARE_PROFILE=disk: the pages keep their data on disk (cookies, cache,
    // storage) in the data location, as a browser's do; otherwise nothing
    // is kept.
    QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
    if (qgetenv("BARE_PROFILE") == "disk")
        profile = new QWebEngineProfile(QStringLiteral("bare"), &app);
    QTabWidget tabs;
    tabs.resize(1024, 720);
    int loaded = 0;
    for (int i = 0; i < count; ++i) {
        auto *view = new QWebEngineView(profile);
        tabs.addTab(view, QStringLiteral("Tab"));
        QObject::connect(view, &QWebEngineView::loadFinished, &tabs, [&, i, view](bool ok) {
            if (!ok || view->title() != QStringLiteral("Small page"))
                QTextStream(stderr) << "load failed or wrong page: " << view->title() << Qt::endl;
            if (i == 0)
                QTextStream(stdout) << "first-document-ms " << clock.nsecsElapsed() / 1e6 << ' ' << view->title()
                                    << Qt::endl;
            if (i == 0 && exitAtFirst)
                QCoreApplication::exit(0);
            if (++loaded < count)
                return;
            // Each tab shown once, as the browser's tabs are when the user
            // looks at them, then the first one again.
            auto *step = new QTimer(&tabs);
            QObject::connect(step, &QTimer::timeout, &tabs, [&tabs, step, view] {
                if (tabs.currentIndex() + 1 < tabs.count()) {
                    tabs.setCurrentIndex(tabs.currentIndex() + 1);
                    return;
                }
                step->stop();
                tabs.setCurrentIndex(0);
                QTextStream(stdout) << "loaded " << view->title() << Qt::endl;
            });
            step->start(50);
        });
        if (i == 0 && qEnvironmentVariableIsSet("BARE_TRACE"))
            QTextStream(stderr) << "T bare load " << clock.nsecsElapsed() / 1e6 << Qt::endl;
        view->load(url);
    }
    tabs.show();
    return QApplication::exec();
}
