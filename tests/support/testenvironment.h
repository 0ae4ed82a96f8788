#pragma once

#include <QByteArray>
#include <QString>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Points the platform root and the program folder at fresh temporary
// folders for the lifetime of the object, so no test touches real data.
class TestEnvironment
{
public:
    TestEnvironment()
    {
        qputenv("QUILLON_PLATFORM_ROOT", platformRoot().toUtf8());
        qputenv("QUILLON_PROGRAM_DIR", programDir().toUtf8());
    }
    ~TestEnvironment()
    {
        qunsetenv("QUILLON_PLATFORM_ROOT");
        qunsetenv("QUILLON_PROGRAM_DIR");
    }
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    QString root() const { return m_dir.path(); }
    QString platformRoot() const { return m_dir.path() + QStringLiteral("/platform"); }
    QString programDir() const { return m_dir.path() + QStringLiteral("/program"); }
    QString path(const QString &name) const { return m_dir.path() + u'/' + name; }

    // A program folder whose manifest names the component library, as the
    // build's own program folder has.
    bool installComponents(const QByteArray &libraryPath) const
    {
        QDir().mkpath(programDir());
        QFile manifest(programDir() + QStringLiteral("/components.manifest"));
        return manifest.open(QIODevice::WriteOnly)
            && manifest.write("[Classes]\r\nQuillonHelper.List=" + libraryPath + "\r\nQuillonHelper.clsHistory="
                              + libraryPath + "\r\nQuillonHelper.clsHistoryItem=" + libraryPath + "\r\n") > 0;
    }

private:
    QTemporaryDir m_dir;
};
