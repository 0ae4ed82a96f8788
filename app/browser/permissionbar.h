// The bar at the top of a tab that asks whether its page may do what it asks.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// The bar at the top of a tab that asks whether its page may do what it
// asks (show notifications, know the location...): "Allow", "Block", and
// whether to remember the answer for the site (ticked at first). Not a
// dialog: the page stays usable while it waits.
class PermissionBar : public QWidget
{
    Q_OBJECT

public:
    explicit PermissionBar(QWidget *parent = nullptr);

    void ask(const QString &question);
    QString question() const;
    QPushButton *allowButton() const { return m_allow; }
    QPushButton *blockButton() const { return m_block; }
    QCheckBox *rememberBox() const { return m_remember; }

signals:
    void answered(bool allow, bool remember);

private:
    QLabel *m_question;
    QPushButton *m_allow;
    QPushButton *m_block;
    QCheckBox *m_remember;
};
