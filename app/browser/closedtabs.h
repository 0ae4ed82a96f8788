// The pages of the last tabs closed in this run, newest first, each with its back and forward history as the engine can write it, to reopen (the tab set opens them).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Form2;

// The pages of the last tabs closed in this run, newest first, each with
// its back and forward history as the engine can write it, to reopen (the
// tab set opens them).
class ClosedTabs
{
public:
    static constexpr int kKept = 10;

    struct Entry {
        QString url;
        QString title;
        QByteArray history; // the engine's own serialised history; may be empty
    };

    void remember(Form2 *tab);
    const QList<Entry> &entries() const { return m_entries; }
    // Takes entry index (0: the last closed) out of the list.
    Entry take(int index);
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    QList<Entry> m_entries;
};
