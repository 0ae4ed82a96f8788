// The Site Permissions dialog: what the user allowed or blocked sites to do, changed or removed.
#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

// The Site Permissions dialog (Tools menu): every decision kept, by site
// and feature; the one selected can be turned to Allow or Block or
// removed (the site then asks again). Each change is written at once.
class SitePermissionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SitePermissionsDialog(QString file, QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; }
    QPushButton *allowButton() const { return m_allow; }
    QPushButton *blockButton() const { return m_block; }
    QPushButton *removeButton() const { return m_remove; }

private:
    void fill();
    void change(int action);

    QString m_file;
    QTreeWidget *m_list;
    QPushButton *m_allow;
    QPushButton *m_block;
    QPushButton *m_remove;
};
