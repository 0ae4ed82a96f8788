// The star at the end of the address box.
#pragma once

#include <QIcon>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>

class QAction;
class QLineEdit;

// The star at the end of the address box: filled when the active page's
// address is stored as a favorite. A click adds the page, or edits the
// favorite when it is stored already. What "stored", "add" and "edit" mean
// comes from the window.
class FavoriteStar : public QObject
{
    Q_OBJECT

public:
    struct Hooks {
        std::function<QString()> address; // the active page's
        // Empty: not stored. Called on a worker thread too (the store may be
        // large and not yet read), after prepare on the window's thread.
        std::function<QString(const QString &)> storedRecord;
        std::function<void()> prepare;
        std::function<void()> add;
        std::function<void(const QString &record)> edit;
    };

    FavoriteStar(QLineEdit *box, Hooks hooks, QObject *parent);

    // Looks again a moment later: several changes in a row (a page load,
    // a command) cost one look, and none before the first page is asked for.
    void recheck();
    bool isStored() const { return m_stored; }
    QAction *action() const { return m_action; }

private:
    void look();
    void show(bool stored);
    void onClicked();

    // Drawn once: the star is looked at after every address change.
    QIcon m_empty;
    QIcon m_full;
    QAction *m_action;
    Hooks m_hooks;
    QTimer m_delay;
    bool m_stored = false;
    quint64 m_question = 0; // of the latest look: older answers are dropped
    QThreadPool m_lookups;  // waited for when the star goes: its hooks' objects outlive it
};
