#include "userdataprobe.h"

#include "app/mainwindow/addresscompleter.h"
#include "app/mainwindow/mainwindow.h"
#include "app/mainwindow/suggestiondelegate.h"
#include "benchutil.h"
#include "platform/addressbox.h"
#include "platform/dockframe.h"
#include "platform/dockpane.h"
#include "platform/documentwindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDockWidget>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTextStream>
#include <QToolButton>

namespace {

constexpr int kTickMs = 10;
constexpr int kStallMs = 50;

void say(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

QString at(const char *event)
{
    return QString::fromLatin1(event) + u' ' + QString::number(monotonicMs(), 'f', 1);
}

qint64 stampOf(const QString &file)
{
    const QFileInfo info(file);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ qint64(info.size()) : 0;
}

} // namespace

UserDataProbe::UserDataProbe(Form1 *form, QString favoritesFile)
    : QObject(form)
    , m_form(form)
    , m_favoritesFile(std::move(favoritesFile))
{
    // A timer on the window's thread: when it comes late, the thread was
    // busy for the time it was late.
    m_ticker.setTimerType(Qt::PreciseTimer);
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &UserDataProbe::tick);
    m_sinceTick.start();
    m_ticker.start();
    qApp->installEventFilter(this);
    connect(form, &Form1::loaded, this, &UserDataProbe::onReady);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [] { say(at("quit")); });
    m_favoritesStamp = stampOf(m_favoritesFile);
    m_files.addPath(QFileInfo(m_favoritesFile).absolutePath());
    connect(&m_files, &QFileSystemWatcher::directoryChanged, this, [this] {
        const qint64 stamp = stampOf(m_favoritesFile);
        if (stamp != m_favoritesStamp) {
            m_favoritesStamp = stamp;
            say(at("stored"));
        }
    });
}

void UserDataProbe::tick()
{
    const qint64 late = m_sinceTick.restart() - kTickMs;
    if (late > kStallMs)
        say(at("stall") + u' ' + QString::number(late));
    // An answer that changed no row paints nothing: the list was already
    // right once the answer was in.
    QLineEdit *box = m_form->dsMain()->addressBox();
    if (auto *completer = qobject_cast<AddressCompleter *>(box->completer());
        completer && completer->popup()->isVisible() && !completer->answerPending())
        suggested(box->text(), completer->popup()->model()->rowCount());
}

void UserDataProbe::suggested(const QString &text, int rows)
{
    if (text == m_lastSuggest)
        return; // each text's answer once
    m_lastSuggest = text;
    say(at("suggest") + u' ' + text + u' ' + QString::number(rows));
}

void UserDataProbe::onReady()
{
    // With no window manager, the window takes the keyboard only once the
    // X server has mapped it: asked again until it has.
    auto *activate = new QTimer(this);
    connect(activate, &QTimer::timeout, this, [this, activate] {
        if (m_form->isActiveWindow()) {
            say(at("active"));
            activate->deleteLater();
        } else {
            m_form->activateWindow();
        }
    });
    activate->start(50);
    QLineEdit *box = m_form->dsMain()->addressBox();
    for (QToolButton *button : box->findChildren<QToolButton *>()) {
        if (button->defaultAction() && button->defaultAction()->objectName() == QStringLiteral("FavoriteStar")) {
            const QPoint centre = button->mapToGlobal(button->rect().center());
            say(at("star") + QStringLiteral(" %1 %2").arg(centre.x()).arg(centre.y()));
        }
    }
    QTabWidget *tabs = m_form->dsMain()->tabs();
    connect(tabs, &QTabWidget::currentChanged, this, [this, tabs](int index) {
        m_newTab = tabs->widget(index);
        m_newTabNumber = index + 1;
    });
    say(at("ready"));
}

bool UserDataProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType())
        painted(static_cast<QWidget *>(watched));
    else if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched == QApplication::focusWidget())
        say(at("key") + u' ' + QString::fromLatin1(watched->metaObject()->className()));
    return false;
}

void UserDataProbe::painted(QWidget *widget)
{
    DockFrame *frame = m_form->dsMain();
    if (m_newTab && (widget == m_newTab || m_newTab->isAncestorOf(widget))) {
        say(at("tab") + u' ' + QString::number(m_newTabNumber));
        m_newTab = nullptr;
        return;
    }
    auto *view = qobject_cast<QAbstractItemView *>(widget->parentWidget());
    if (!view || view->viewport() != widget || !view->model())
        return;
    const int rows = view->model()->rowCount();
    if (rows == 0)
        return;
    QLineEdit *box = frame->addressBox();
    if (auto *completer = qobject_cast<AddressCompleter *>(box->completer()); completer && view == completer->popup()) {
        // The first favorites or visited pages painted for a text (part of
        // the answer may still be looked up; the search row is there at
        // once), then the whole answer.
        int found = 0;
        for (int row = 0; row < rows; ++row) {
            const int kind = view->model()->index(row, 0).data(SuggestionDelegate::KindRole).toInt();
            found += kind == int(AddressRules::Suggestion::Kind::Favorite)
                || kind == int(AddressRules::Suggestion::Kind::History);
        }
        if (found > 0 && box->text() != m_lastRows) {
            m_lastRows = box->text();
            say(at("rows") + u' ' + m_lastRows + u' ' + QString::number(found));
        }
        if (!completer->answerPending())
            suggested(box->text(), rows);
        return;
    }
    if (DockPane *history = frame->pane(QStringLiteral("frmHistory")); history && history->dock()->isAncestorOf(view)) {
        if (rows != m_lastHistory)
            say(at("history") + u' ' + QString::number(rows));
        m_lastHistory = rows;
        return;
    }
    if (DocumentWindow *favorites = frame->document(2); favorites && favorites->page()->isAncestorOf(view)) {
        if (rows != m_lastFavorites)
            say(at("favorites") + u' ' + QString::number(rows));
        m_lastFavorites = rows;
    }
}
