// What the command and pane tests share: their test pages, a command run by key, a list row's centre.
#pragma once

#include "platform/dockframe.h"
#include "platform/filedialogservice.h"
#include "app/mainwindow/mainwindow.h"
#include "testhttpserver.h"

#include <QAction>
#include <QListView>
#include <QTest>

namespace CommandPages {

inline QByteArray page(const char *title, const QByteArray &head = {}, const QByteArray &body = {})
{
    return "<html><head><title>" + QByteArray(title) + "</title>" + head + "</head><body>" + body + "</body></html>";
}

// Starts the server with the pages: /home, /a (with "alpha text"), /b,
// /meta (keywords and a description) and /nometa.
inline bool serve(TestHttpServer &server)
{
    if (!server.listen())
        return false;
    server.setPage(QStringLiteral("/home"), page("Home"));
    server.setPage(QStringLiteral("/a"), page("Page A", {}, "<p id='t'>alpha text</p>"));
    server.setPage(QStringLiteral("/b"), page("Page B"));
    server.setPage(QStringLiteral("/meta"),
                   page("Meta",
                        "<meta name='Keywords' content='kw1, kw2'><meta name='author' content='x'>"
                        "<meta name='DESCRIPTION' content=' about it'>"));
    server.setPage(QStringLiteral("/nometa"), page("Plain", "<meta name='author' content='x'>"));
    return true;
}

// The real dialogs back after a test that replaced them.
inline void restoreDialogs()
{
    FileDialogService::setRunner({});
    FileDialogService::setSaveRunner({});
    FileDialogService::setPrintRunner({});
}

inline QPoint rowCentre(QListView *view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

// Runs a command as the user does: by its key where it has one (through
// the window system, so the shortcut map and the focused page see it as
// they see a person's key), else as a click on its menu entry does.
inline void run(Form1 *main, const char *key)
{
    QAction *command = main->dsMain()->command(QString::fromLatin1(key));
    const QKeySequence shortcut = command->shortcut();
    if (shortcut.isEmpty()) {
        command->trigger();
        return;
    }
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main))
        qWarning("the window did not become active");
    const QKeyCombination combination = shortcut[0];
    QTest::keyClick(main->windowHandle(), combination.key(), combination.keyboardModifiers());
}

} // namespace CommandPages
