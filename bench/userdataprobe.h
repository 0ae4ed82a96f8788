#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

class Form1;
class QWidget;

// What the user-data benchmark needs to see from inside the browser, each
// printed as one line "<event> <monotonic ms> [details]" on stdout, so that
// the benchmark can set it against the time it sent a key:
//   key <class>             a key came to the focused widget;
//   stall <ms>              the window's thread did not come back to its
//                           event loop for that long (over 50 ms);
//   ready / star <x> <y>    the start has finished; where the star is;
//   active                  the window has the keyboard;
//   suggest <text> <rows>   the suggestion list painted with the answer for
//                           the text in the address box (or, when the
//                           answer changed no row, the answer in: up to
//                           10 ms late);
//   history <rows>          the History pane's list painted with rows;
//   favorites <rows>        the Favorites tab's list painted with rows;
//   tab <n>                 tab n painted after it came to the front;
//   stored                  the favorites file was replaced (a save ended);
//   quit                    the event loop ended.
class UserDataProbe : public QObject
{
    Q_OBJECT

public:
    UserDataProbe(Form1 *form, QString favoritesFile);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tick();
    void painted(QWidget *widget);
    void suggested(const QString &text, int rows);
    void onReady();

    Form1 *m_form;
    QString m_favoritesFile;
    qint64 m_favoritesStamp = 0;
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    QFileSystemWatcher m_files;
    QString m_lastSuggest;
    QString m_lastRows;
    int m_lastHistory = -1;
    int m_lastFavorites = -1;
    QPointer<QWidget> m_newTab;
    int m_newTabNumber = 0;
};
