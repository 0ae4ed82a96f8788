// Form2, one browser tab: the page above its status strip.
#pragma once

#include "engine/browsercontrol.h"

#include <QList>
#include <QString>
#include <QWidget>

class FindBar;
class PagePermissions;
class QFrame;
class QLabel;

// The window behind one browser tab: the browser wb1 above a status strip
// (status text, progress bar, lock). Turns the browser's events into
// signals for the window: caption, back/forward state, address, open page.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // newWindowHost: the browser that takes the pages' new windows (the
    // window decides what becomes of them).
    // A private tab's pages leave nothing on disk: no history, no cookies or
    // cache kept, never saved with the open pages or remembered when closed.
    explicit Form2(BrowserControl *newWindowHost, QWidget *parent = nullptr,
                   BrowserControl::Privacy privacy = BrowserControl::Privacy::Normal);
    bool isPrivate() const;

    bool StateBack() const { return m_stateBack; }
    bool StateNext() const { return m_stateNext; }
    // When a tab's page is loaded: at once, or when the tab is first shown
    // (pages restored at start-up: a session of many tabs then costs only
    // the tab in front).
    enum class LoadWhen { Now, WhenShown };
    // Remembers the address and navigates to it.
    void setLoadURL(const QString &n_url, LoadWhen when = LoadWhen::Now);
    bool loadPending() const { return m_loadPending; }
    // The back/forward list a restored tab gets back when it loads.
    void setRestoredHistory(const QByteArray &history) { m_restoredHistory = history; }
    // The back/forward list to keep for the next start (a tab not yet
    // loaded keeps the one it was restored with).
    QByteArray historyState() const;
    // The page to reopen at the next start: the address shown, or while
    // nothing is shown yet the one asked for.
    QString pageAddress() const;
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    BrowserControl *wb1() const { return m_wb1; }
    // Made when first asked for: its box loads the style's images, which
    // made every tab of a restored session slower for a bar seldom opened.
    FindBar *findBar();
    PagePermissions *permissions() const { return m_permissions; }

    // Zooms the page; the factor is kept for its site for this run, and the
    // status strip shows it when it is not 100 %.
    void setZoom(double factor);
    QString zoomText() const;

    // What the status strip shows.
    QString statusText() const;
    // A word from the window for the user (the page's next status replaces it).
    void showStatus(const QString &text);
    int progressWidthTwips() const { return m_progressTwips; }
    bool lockVisible() const;
    QString lockToolTip() const;

signals:
    // The tab's own back and forward state changed (StateBack, StateNext).
    void backForwardChanged();
    // The page's name for the tab strip changed.
    void captionChanged(const QString &caption, const QString &toolTip);
    // A navigation completed at this address.
    void addressChanged(const QString &address);
    // The page to reopen at the next start may have changed.
    void pageChanged();
    // The user asked for a link in a new tab.
    void newTabRequested(const QString &url);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The browser's events.
    void onProgressChange(int progress, int progressMax);
    void onCommandStateChange(int command, bool enable);
    void onSetSecureLockIcon(int value);
    void onNavigateComplete2();
    void onDocumentComplete();
    void onWindowSetPosition();
    void refitBrowser();

    void setTabCaption();
    void readBackForward();
    void setProgressTwips(int twips);
    void showProgress(QList<int> widths, quint64 generation);
    void layoutStrip();

    BrowserControl *m_wb1;
    FindBar *m_findBar = nullptr;
    PagePermissions *m_permissions;
    QWidget *m_picture1;
    QWidget *m_picture2;
    QLabel *m_imgSecure;
    QFrame *m_shape1;
    QLabel *m_lblStatus1;
    QFrame *m_shape4;
    QFrame *m_shape5;
    QFrame *m_shape3;
    QLabel *m_lblStatus3;
    QString m_url;
    bool m_loadPending = false;
    bool m_loadQueued = false; // the pending load runs on the next turn
    QByteArray m_restoredHistory;
    QString m_tag;
    bool m_stateBack = false;
    bool m_stateNext = false;
    int m_progressTwips = 0;
    quint64 m_progressGeneration = 0; // a newer progress cancels a pending step
    static constexpr int kFlashMs = 60;
};
