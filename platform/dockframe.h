// Menus, tool bars, tabbed document windows and docked panes of a main window, offered in the shape the program's forms drive them.
#pragma once

#include "platform/addressbox.h"

#include <QByteArray>
#include <QKeySequence>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class DockPane;
class DocumentWindow;
class QAction;
class QKeySequence;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QTabWidget;
class QToolBar;

// Menus, tool bars, tabbed document windows and docked panes of a main
// window, offered in the shape the program's forms drive them: commands by
// key, documents by 1-based position or key, panes and bars by name, the
// layout as bytes, and events with holder arguments a handler may write to.
class DockFrame : public QObject
{
    Q_OBJECT

public:
    explicit DockFrame(QMainWindow *host);
    ~DockFrame() override;

    QMainWindow *host() const { return m_host; }
    QTabWidget *tabs() const { return m_tabs; }

    // Command bars: "MenuBar", "ToolBar", "Address".
    QMenuBar *menuBar() const;
    QToolBar *toolBar(const QString &name) const;
    QMenu *addMenu(const QString &key, const QString &caption);
    // A command keyed by key (the action's object name).
    QAction *addCommand(const QString &key, const QString &caption, const QKeySequence &shortcut = {});
    QAction *command(const QString &key) const;
    // The edit command "mnuAddress" in the "Address" bar.
    AddressBox *addressBox() const { return m_address; }
    QString commandText(const QString &key) const;
    void setCommandText(const QString &key, const QString &text);
    void setCommandWidth(const QString &key, int twips);
    void setBarDockedSize(const QString &name, int widthTwips, int heightTwips);

    // Documents, in position order.
    // Front: the new tab becomes the current one (reported as activated);
    // Behind: it is added after the others and the current tab stays.
    // position: the place the new tab takes (1 the first), or 0 for after
    // the others.
    enum class Placement { Front, Behind };
    DocumentWindow *addDocument(const QString &caption, QWidget *form, Placement placement = Placement::Front,
                                int position = 0);
    QList<DocumentWindow *> documents() const;
    int documentCount() const;
    DocumentWindow *document(int position) const;
    DocumentWindow *activeDocument() const;
    // The open document of that key, without looking at every tab.
    DocumentWindow *documentByKey(const QString &key) const;
    // Asks the closing event, then removes the tab. False when refused.
    bool closeDocument(DocumentWindow *window);
    void forget(DocumentWindow *window);
    // Hides the tab's close button (the closing event still decides).
    void setClosable(DocumentWindow *window, bool closable);
    // While held, no document page (Hold::PagesAndTabBar) and no tab bar
    // is shown, whichever tab is current; the room the documents take
    // stays as it is.
    enum class Hold { Nothing, TabBar, PagesAndTabBar };
    void holdPages(Hold hold);

    // Panes: dock widgets found by name.
    DockPane *addPane(const QString &name, const QString &caption);
    DockPane *pane(const QString &name) const;

    QByteArray saveLayout() const;
    bool restoreLayout(const QByteArray &layout);
    int widthTwips() const;
    bool startUp() const { return m_startUp; }
    void setStartUp(bool on) { m_startUp = on; }

signals:
    void CommandExecuted(QAction *command);
    void EditKeyDown(QAction *command, int *keyCode, int *shift);
    void DocumentActivated(DocumentWindow *window);
    void DocumentClosing(DocumentWindow *window, int number, bool *cancel);
    void DocumentClosed(DocumentWindow *window, int number);
    void DocumentOpened(DocumentWindow *window, int number);
    void Resized();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DocumentWindow *documentAt(int index) const;
    // A close button on every closable tab while there are a few dozen, on
    // the current one only beyond (each button added lays out every tab).
    static constexpr int kCloseButtonsOnAllTabs = 48;
    bool wantsCloseButton(int index) const;
    void updateCloseButtons();

    QMainWindow *m_host;
    QTabWidget *m_tabs;
    AddressBox *m_address;
    QAction *m_addressCommand;
    QMap<QString, QToolBar *> m_bars;
    QMap<QString, QPointer<QAction>> m_commands;
    QMap<QString, DockPane *> m_panes;
    QList<DocumentWindow *> m_documents; // open and closed-but-not-released
    QHash<QWidget *, DocumentWindow *> m_byPage;
    QHash<QString, DocumentWindow *> m_byKey;
    QSet<const DocumentWindow *> m_fixed; // tabs that show no close button
    bool m_held = false;
    int m_nextKey = 1;
    bool m_startUp = false;
};
