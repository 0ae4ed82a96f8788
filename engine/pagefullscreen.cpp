#include "engine/pagefullscreen.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QWebEngineView>

PageFullScreen::PageFullScreen(QWebEnginePage *page, QWebEngineView *home)
    : m_view(new QWebEngineView(this))
    , m_home(home)
    , m_note(new QLabel(kLeaveNote, this))
{
    setObjectName(QStringLiteral("PageFullScreen"));
    setWindowTitle(home->window()->windowTitle());
    m_view->setPage(page);
    m_note->setObjectName(QStringLiteral("FullScreenNote"));
    m_note->setStyleSheet(QStringLiteral("QLabel { background: rgba(0, 0, 0, 180); color: white; padding: 12px 20px;"
                                         " border-radius: 6px; font-size: 14pt; }"));
    m_note->adjustSize();
    m_note->raise();
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(kNoteMs);
    connect(&m_noteTimer, &QTimer::timeout, m_note, &QLabel::hide);
    m_noteTimer.start();
    // A window shortcut: the key is taken before the page could see it.
    auto *escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, &PageFullScreen::leave);
    addAction(escape);
    setGeometry(home->window()->geometry());
    showFullScreen();
    m_view->setFocus();
}

PageFullScreen::~PageFullScreen()
{
    // The page goes back where it was shown, before this view goes.
    if (QWebEnginePage *page = m_view->page(); page && m_home)
        m_home->setPage(page);
}

bool PageFullScreen::noteShown() const
{
    return m_note->isVisible();
}

void PageFullScreen::leave()
{
    m_view->triggerPageAction(QWebEnginePage::ExitFullScreen);
}

void PageFullScreen::closeEvent(QCloseEvent *event)
{
    // Closed by the desktop: the page leaves full screen, which ends this.
    event->ignore();
    leave();
}

void PageFullScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
    m_note->move((width() - m_note->width()) / 2, height() / 8);
}
