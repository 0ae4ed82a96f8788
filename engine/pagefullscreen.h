// A page shown full screen at its own request, without the window around it.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QWebEnginePage;
class QWebEngineView;

// A page shown full screen at its own request (a video's full-screen
// button): a window of its own covering the screen, holding the page in a
// view of its own, with a short note on how to leave. Esc asks the page to
// leave full screen and never reaches it. When this goes, the page goes back
// to the view it came from.
class PageFullScreen : public QWidget
{
    Q_OBJECT

public:
    PageFullScreen(QWebEnginePage *page, QWebEngineView *home);
    ~PageFullScreen() override;

    static inline const QString kLeaveNote = QStringLiteral("Press Esc to leave full screen");
    // How long the note stays.
    static constexpr int kNoteMs = 3000;
    bool noteShown() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void leave();

    QWebEngineView *m_view;
    QWebEngineView *m_home;
    QLabel *m_note;
    QTimer m_noteTimer;
};
