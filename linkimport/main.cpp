#include "linkimport/importwindow.h"
#include "linkimport/linkappend.h"
#include "platform/platformpaths.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTextStream>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // the engine refuses its sandbox as root
        QTextStream(stderr) << "linkimport: running as root, the web sandbox is off\n";
    }
    LinkAppend::keepFreedMemory();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("linkimport"));
    // The favorites store it writes is the browser's, in the same folders,
    // and never in a folder someone else planted.
    if (const QString problem = PlatformPaths::dataFolderProblem(); !problem.isEmpty()) {
        QTextStream(stderr) << "linkimport: " << problem << "\n";
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            QMessageBox::critical(nullptr, QStringLiteral("linkimport"), problem);
        return 1;
    }
    PlatformPaths::prepareProgramFolder();
    LinkImport::Form1 window;
    window.show();
    return QApplication::exec();
}
