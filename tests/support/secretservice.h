// A desktop secret service of the test's own: a session bus and a keyring daemon in temporary folders.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/types.h>

// A session bus and a secret service (the keyring daemon with an unlocked
// login keyring) in temporary folders, for this process: made before
// anything asks for the session bus, ended when it goes. Where either
// program is missing or will not start, running() is false and whyNot()
// says why.
class SecretService
{
public:
    SecretService()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty()) {
            m_whyNot = QStringLiteral("dbus-daemon or gnome-keyring-daemon is not installed");
            return;
        }
        QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--fork"), QStringLiteral("--print-address=1"),
                   QStringLiteral("--print-pid=1")});
        if (!bus.waitForFinished(10000) || bus.exitCode() != 0) {
            m_whyNot = QStringLiteral("no session bus could be started");
            return;
        }
        const QList<QByteArray> lines = bus.readAllStandardOutput().trimmed().split('\n');
        if (lines.size() < 2) {
            m_whyNot = QStringLiteral("the session bus gave no address");
            return;
        }
        m_busPid = lines.at(1).trimmed().toInt();
        qputenv("DBUS_SESSION_BUS_ADDRESS", lines.at(0).trimmed());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        QProcess keyring;
        keyring.setProcessEnvironment(env);
        keyring.start(QStringLiteral("gnome-keyring-daemon"),
                      {QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        // The login keyring is made, unlocked, with this password.
        keyring.write("test");
        keyring.closeWriteChannel();
        if (!keyring.waitForFinished(10000) || keyring.exitCode() != 0) {
            m_whyNot = QStringLiteral("the keyring daemon did not start");
            return;
        }
        m_running = true;
    }
    ~SecretService()
    {
        // The keyring daemon ends with its bus.
        if (m_busPid > 0)
            ::kill(pid_t(m_busPid), SIGTERM);
    }
    SecretService(const SecretService &) = delete;
    SecretService &operator=(const SecretService &) = delete;

    bool running() const { return m_running; }
    QString whyNot() const { return m_whyNot; }

private:
    QTemporaryDir m_dir;
    qint64 m_busPid = 0;
    bool m_running = false;
    QString m_whyNot;
};
