// Form4, the Settings dialog: home page and background loading.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The Settings dialog: the home page and whether new tabs load in the
// background. OK writes both to the registry and to the running program.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

    QLineEdit *Text1() const { return m_text1; }
    QCheckBox *Check1() const { return m_check1; }
    // Ask where to save each download (else: the downloads folder).
    QCheckBox *Check2() const { return m_check2; }
    // The folder downloads go to without asking (empty: the system's).
    QLineEdit *Text2() const { return m_text2; }
    QPushButton *Command1() const { return m_command1; } // "Storno"
    QPushButton *Command2() const { return m_command2; } // "OK"
    QPushButton *Command3() const { return m_command3; } // "*"

private:
    void save();

    QLineEdit *m_text1;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
    QCheckBox *m_check3; // remember the text of favorite pages
    QPushButton *m_clearText;
    QLineEdit *m_text2;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
};
