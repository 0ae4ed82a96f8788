// LinkImport::Form1, the import tool's window.
#pragma once

#include "navkit/proxies/listproxy.h"

#include <QWidget>

class FolderImport;
class KeywordFetcher;
class QCheckBox;
class QLabel;
class QPushButton;

namespace LinkImport {

// The import tool's window " IE Favorites": the stored favorites in a list
// control, the "Import..." button, the keywords check box and the progress.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // The tool's store: its own folder + "/_favorites.dat".
    static QString dataFile();

    // Imports the Favorites folder (after deleting the store when bClear)
    // from the event loop; importFinished then gives the number of
    // shortcut files found, with the list reloaded. False when one runs.
    Q_INVOKABLE bool ImportFromIE(const QString &dataFile, bool bClear);

    ListProxy List1() const { return m_list1; }
    QCheckBox *Check1() const { return m_check1; }
    QPushButton *Command1() const { return m_command1; }
    // "Bookmarks...": imports a bookmarks HTML file exported by a browser;
    // while it runs (away from the GUI thread) the button cancels it.
    QPushButton *Command2() const { return m_command2; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label3() const { return m_label3; }
    KeywordFetcher *fetcher() const { return m_fetcher; }

signals:
    void importFinished(int count);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onListClick();
    void onImportProgress(int percent);
    void onImportFinished(int added);

private:
    void importBookmarks();

private:
    ListProxy m_list1;
    QLabel *m_label1;
    QLabel *m_label3;
    QCheckBox *m_check1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    KeywordFetcher *m_fetcher;
    FolderImport *m_import = nullptr; // with keywords or without, made per import
    bool m_importing = false;
    bool m_importingBookmarks = false;
    bool m_closed = false;
};

} // namespace LinkImport
