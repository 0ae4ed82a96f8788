// The system's Internet options, as far as this browser has any.
#pragma once

#include <QDialog>
#include <QFuture>

class QLineEdit;

// The system's Internet options, as far as this browser has any: the start
// page of the home command, and clearing the browsing history, cookies and
// cache.
class InternetOptions : public QDialog
{
    Q_OBJECT

public:
    explicit InternetOptions(QWidget *parent = nullptr);

    // The URL history is cleared on a worker: at a million visits the file
    // is overwritten for seconds, and another writer is waited for. The
    // future says whether it was cleared.
    static QFuture<bool> clearHistory();
    // Until a clearing under way is done (at exit: it was asked for).
    static void waitForClearing();
    static void clearCookiesAndCache();

private:
    QLineEdit *m_startPage;
};
