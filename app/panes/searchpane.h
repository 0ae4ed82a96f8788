// Form5, the search pane: the typed text to one or all search engines.
#pragma once

#include "app/panes/pagetarget.h"

#include <QWidget>

class PaneHeader;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The search pane: sends the typed text to one search engine of the
// configuration file, or to all of them, in the active tab or new tabs.
class Form5 : public QWidget
{
    Q_OBJECT

public:
    explicit Form5(QWidget *parent = nullptr);

    // Every "<%search%>" in the template replaced by the query as typed.
    static QString fillTemplate(const QString &urlTemplate, const QString &query);

    QLineEdit *Text1() const { return m_text1; }
    QComboBox *Combo1() const { return m_combo1; }
    QCheckBox *Check1() const { return m_check1; } // "Send To All Search Engines"
    QCheckBox *Check2() const { return m_check2; } // "Open In New Window"
    QPushButton *Command1() const { return m_command1; }

    void search();

signals:
    // The user chose a page to open.
    void openRequested(const QString &url, PageTarget target);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString configValue(const QString &key) const;

    PaneHeader *m_header;
    QLineEdit *m_text1;
    QComboBox *m_combo1;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
    QPushButton *m_command1;
};
