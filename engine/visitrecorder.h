// Writes the visits of the browsers into the URL history store on a thread of its own.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

// Writes the visits of the browsers into the URL history store on a thread
// of its own: a page that has finished loading never waits for the disk.
// Visits are written in the order they are recorded, each into the store
// of the platform root current when it was recorded.
class VisitRecorder : public QObject
{
    Q_OBJECT

public:
    // The one recorder, owned by the application object.
    static VisitRecorder *instance();
    ~VisitRecorder() override;

    void record(const QString &url, const QString &title);
    // Returns once every visit recorded so far is written.
    void flush();

private:
    explicit VisitRecorder(QObject *parent);

    QThread m_thread;
    QObject *m_worker;
};
