#include "platformpaths.h"
#include "quillon_version.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon XP"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION_TEXT));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillon XP"));
    auto *label = new QLabel(QStringLiteral("Quillon XP %1\nProgram folder: %2")
                                 .arg(QApplication::applicationVersion(), PlatformPaths::programFolder()),
                             &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
