#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// A virtual X server of the benchmark's own, on the first free display
// number from `first` on; name() is empty when none could be started
// (Xvfb not installed, or no number free).
class VirtualDisplay
{
public:
    explicit VirtualDisplay(int first = 87)
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        for (int number = first; !xvfb.isEmpty() && number < first + 10; ++number) {
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            if (QFile::exists(socket))
                continue;
            m_server.start(xvfb,
                           {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            QElapsedTimer wait;
            wait.start();
            while (m_server.waitForStarted(5000) && !QFile::exists(socket) && wait.elapsed() < 5000)
                m_server.waitForFinished(50);
            if (m_server.state() == QProcess::Running && QFile::exists(socket)) {
                m_name = QStringLiteral(":%1").arg(number);
                return;
            }
            stop();
        }
    }
    ~VirtualDisplay() { stop(); }
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    QString name() const { return m_name; }

private:
    void stop()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

    QProcess m_server;
    QString m_name;
};
