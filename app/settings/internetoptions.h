// The system's Internet options, as far as this browser has any.
#pragma once

#include <QDialog>

class QLineEdit;

// The system's Internet options, as far as this browser has any: the start
// page of the home command, and clearing the browsing history, cookies and
// cache.
class InternetOptions : public QDialog
{
    Q_OBJECT

public:
    explicit InternetOptions(QWidget *parent = nullptr);

    static bool clearHistory();
    static void clearCookiesAndCache();

private:
    QLineEdit *m_startPage;
};
