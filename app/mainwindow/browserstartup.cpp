#include "browserstartup.h"

#include "graphicsmode.h"
#include "keyrecorder.h"
#include "mainwindow.h"
#include "quillon_version.h"

#include <QApplication>
#include <QTextStream>

#include <unistd.h>

namespace BrowserStartup {

int run(int argc, char *argv[], const BeforeLoad &beforeLoad)
{
    QElapsedTimer clock;
    clock.start();
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        // The engine refuses to start its sandbox as root.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QTextStream(stderr) << "quillon: running as root, the web sandbox is off\n";
    }
    GraphicsMode::apply();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the web engine needs it
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon XP"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION_TEXT));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));

    KeyRecorder keys;
    app.installEventFilter(&keys);

    Form1 form;
    if (beforeLoad)
        beforeLoad(form, clock);
    form.load();
    const int rc = QApplication::exec();
    form.close(); // shutdown when the event loop was left some other way
    return rc;
}

} // namespace BrowserStartup
