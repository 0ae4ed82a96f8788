#include "browsercontrol.h"
#include "dockframe.h"
#include "documentwindow.h"
#include "form1.h"
#include "form2.h"
#include "keyrecorder.h"
#include "quillon_version.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <unistd.h>

namespace {

// QUILLON_EXIT_AT_FIRST_DOCUMENT=1: print the time from start to the home
// tab's first completed document and quit (for the start-up benchmark).
void exitAtFirstDocument(Form1 &form, const QElapsedTimer &clock)
{
    DocumentWindow *home = form.dsMain()->document(1);
    auto *tab = home ? qobject_cast<Form2 *>(home->hostedForm()) : nullptr;
    if (!tab) {
        QCoreApplication::exit(1);
        return;
    }
    QObject::connect(tab->wb1(), &BrowserControl::DocumentComplete, &form, [&clock](const QString &url) {
        if (url == QStringLiteral("about:blank"))
            return;
        QTextStream(stdout) << "first-document-ms " << clock.nsecsElapsed() / 1e6 << Qt::endl;
        QCoreApplication::exit(0);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        // The engine refuses to start its sandbox as root.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QTextStream(stderr) << "quillon: running as root, the web sandbox is off\n";
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon XP"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION_TEXT));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));

    KeyRecorder keys;
    app.installEventFilter(&keys);

    Form1 form;
    form.load();
    if (qEnvironmentVariableIntValue("QUILLON_EXIT_AT_FIRST_DOCUMENT") == 1)
        exitAtFirstDocument(form, clock);
    const int rc = app.exec();
    form.close(); // shutdown when the event loop was left some other way
    return rc;
}
