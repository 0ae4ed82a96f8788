#pragma once

#include <QByteArray>
#include <QString>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

    // A program folder whose manifest names the component library: the
    // build's own manifest (beside the library), with the library's path.
    bool installComponents(const QByteArray &libraryPath) const
    {
        QDir().mkpath(programDir());
        const QFileInfo library(QString::fromLocal8Bit(libraryPath));
        QFile built(library.absolutePath() + QStringLiteral("/components.manifest"));
        if (!built.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = built.readAll().replace("=" + library.fileName().toLocal8Bit(), "=" + libraryPath);
        QFile manifest(programDir() + QStringLiteral("/components.manifest"));
        return manifest.open(QIODevice::WriteOnly) && manifest.write(text) == text.size();
    }

private:
    QTemporaryDir m_dir;
};
