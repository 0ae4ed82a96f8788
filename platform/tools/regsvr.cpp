// Registers or unregisters a component library in the class registry.
//   regsvr [-u] [-s] <library>
//   -u  unregister instead of register
//   -s  silent: no message, only the exit code
#include "platform/componentabi.h"
#include "platform/componentfactory.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool unregister = false;
    bool silent = false;
    QString library;
    for (const QString &arg : QCoreApplication::arguments().mid(1)) {
        if (arg.compare(QStringLiteral("-u"), Qt::CaseInsensitive) == 0
            || arg.compare(QStringLiteral("/u"), Qt::CaseInsensitive) == 0)
            unregister = true;
        else if (arg.compare(QStringLiteral("-s"), Qt::CaseInsensitive) == 0
                 || arg.compare(QStringLiteral("/s"), Qt::CaseInsensitive) == 0)
            silent = true;
        else
            library = arg;
    }
    QTextStream err(stderr);
    if (library.isEmpty()) {
        if (!silent)
            err << "usage: regsvr [-u] [-s] <library>\n";
        return 2;
    }
    const char *entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const int result = ComponentFactory::callEntryPoint(QFileInfo(library).absoluteFilePath(), entry);
    if (!silent) {
        if (result == ComponentAbi::kOk)
            err << entry << " in " << library << " succeeded.\n";
        else
            err << entry << " in " << library << " failed: 0x" << QString::number(quint32(result), 16) << "\n";
    }
    return result == ComponentAbi::kOk ? 0 : 1;
}
