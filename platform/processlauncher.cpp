#include "platform/processlauncher.h"

#include "platform/logging.h"

#include <QProcess>

namespace ProcessLauncher {

bool isNoOp(const QString &commandLine)
{
    // Re-registering the system web browser library: the browser engine here
    // is part of the program, so there is nothing to register.
    return commandLine.simplified().compare(QStringLiteral("regsvr32.exe /s shdocvw.dll"), Qt::CaseInsensitive) == 0;
}

bool start(const QString &commandLine, Window window)
{
    Q_UNUSED(window); // window state is the desktop's business here
    if (isNoOp(commandLine))
        return true;
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return false;
    const QString program = args.takeFirst();
    if (!QProcess::startDetached(program, args)) {
        qCWarning(lcFiles) << "could not start" << commandLine;
        return false;
    }
    return true;
}

} // namespace ProcessLauncher
