// Form3, the About box.
#pragma once

#include <QDialog>

class QPushButton;

// The About box: the product title, its version and the maker's contact line.
class Form3 : public QDialog
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    QString contactLine() const;
    // "Version 1.2.3 (Qt 6.4.2)".
    static QString versionLine();
    QPushButton *Command1() const { return m_command1; }

private:
    QPushButton *m_command1;
    QString m_contact;
};
