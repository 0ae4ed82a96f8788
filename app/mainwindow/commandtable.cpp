#include "app/mainwindow/commandtable.h"

#include "platform/deferredicon.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace CommandTable {

namespace {
Command c(CommandId id, const char *caption, const QKeySequence &shortcut = {}, const char *image = "",
          const QList<QKeySequence> &more = {})
{
    return {id, QString::fromUtf8(caption), shortcut, QString::fromLatin1(image), more};
}

// Go to tab 1 to 8 (Ctrl+1 to Ctrl+8), and the last tab (Ctrl+9).
QList<Command> tabNumbers()
{
    QList<Command> list;
    for (int n = 1; n <= 8; ++n) {
        list.append({CommandIds::tab(n), QStringLiteral("Tab &%1").arg(n),
                     QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), QString()});
    }
    list.append(c(CommandId::LastTab, "&Last Tab", Qt::CTRL | Qt::Key_9));
    return list;
}
} // namespace

QList<Menu> menus()
{
    return {
        {QStringLiteral("mnuFile"),
         QStringLiteral(" &File "),
         {c(CommandId::New, "&New", Qt::Key_F8, "mnuNewWin"), c(CommandId::NewTab, "New &Tab", Qt::CTRL | Qt::Key_T),
          c(CommandId::NewPrivateTab, "New &Private Tab", Qt::CTRL | Qt::SHIFT | Qt::Key_P),
          c(CommandId::ReopenTab, "&Reopen Closed Tab", Qt::CTRL | Qt::SHIFT | Qt::Key_T),
          c(CommandId::Clone, "Clone", Qt::CTRL | Qt::Key_N), c(CommandId::Open, "&Open", Qt::CTRL | Qt::Key_O),
          c(CommandId::OpenNew, "Op&en New ...", {}, "mnuNewDoc"), c(CommandId::ImportBookmarks, "Import Bookmarks…"),
          c(CommandId::ExportBookmarks, "Export Bookmarks…"),
          c(CommandId::Save, "&Save As ...", Qt::CTRL | Qt::Key_S, "mnuSave"),
          c(CommandId::Print, "&Print ...", Qt::CTRL | Qt::Key_P, "mnuPrint"), c(CommandId::Settings, "&Settings ..."),
          c(CommandId::Exit, "&Exit")}},
        {QStringLiteral("mnuEdit"),
         QStringLiteral(" &Edit "),
         {c(CommandId::Cut, "C&ut", Qt::CTRL | Qt::Key_X, "mnuCut"),
          c(CommandId::Copy, "&Copy", Qt::CTRL | Qt::Key_C, "mnuCopy"),
          c(CommandId::Paste, "&Paste", Qt::CTRL | Qt::Key_V, "mnuPaste"),
          c(CommandId::Find, "&Find ...", QKeySequence::Find, "mnuFind"),
          c(CommandId::SelectAll, "Select &All", Qt::CTRL | Qt::Key_A)}},
        {QStringLiteral("mnuView"),
         QStringLiteral(" &View "),
         {c(CommandId::History, "&History", Qt::CTRL | Qt::Key_H, "mnuClock"),
          c(CommandId::SearchPane, "&Search", Qt::CTRL | Qt::Key_G),
          c(CommandId::HelpPane, "&Help", Qt::CTRL | Qt::Key_F1, "mnuHelpIndex"),
          c(CommandId::Back, "&Back ", Qt::ALT | Qt::Key_Left, "mnuBack"),
          c(CommandId::Next, "&Next", Qt::ALT | Qt::Key_Right, "mnuNext"), c(CommandId::Stop, "&Stop", {}, "mnuStop"),
          c(CommandId::Refresh, "&Refresh", Qt::Key_F5, "mnuRefresh"),
          c(CommandId::HardRefresh, "Refresh &Bypassing Cache", Qt::CTRL | Qt::Key_F5),
          c(CommandId::GotoAddress, "&Address Bar ...", Qt::Key_F4, "",
            {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D)}),
          c(CommandId::ZoomIn, "Zoom &In", Qt::CTRL | Qt::Key_Plus, "", {QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
          c(CommandId::ZoomOut, "Zoom &Out", Qt::CTRL | Qt::Key_Minus),
          c(CommandId::ZoomReset, "Actual Si&ze", Qt::CTRL | Qt::Key_0),
          c(CommandId::FullScreen, "&Full Screen", Qt::Key_F11)}},
        {QStringLiteral("mnuTabs"), QStringLiteral(" T&abs "),
         QList<Command>{c(CommandId::NextTab, "&Next Tab", Qt::CTRL | Qt::Key_Tab, "",
                          {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}),
                        c(CommandId::PreviousTab, "&Previous Tab", Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, "",
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})}
             + tabNumbers()},
        {QStringLiteral("mnuTools"),
         QStringLiteral(" &Tools "),
         {c(CommandId::Email, "&Email ...", {}, "mnuEmail"),
          c(CommandId::PopupStop, "&Popup Stop", Qt::CTRL | Qt::Key_Q),
          c(CommandId::Downloads, "&Downloads", Qt::CTRL | Qt::SHIFT | Qt::Key_Y),
          c(CommandId::InternetOptions, "Internet Options"), c(CommandId::SitePermissions, "Site &Permissions"),
          c(CommandId::ReadFavoritePages, "&Read Favorites' Pages"),
          c(CommandId::StopReadingPages, "S&top Reading Favorites' Pages")}},
        {QStringLiteral("mnuHelp"),
         QStringLiteral(" &Help "),
         {c(CommandId::Content, "&Content", Qt::Key_F1, "mnuHelpIndex"), c(CommandId::Support, "&Support"),
          c(CommandId::About, "&About ...", {}, "mnuHelpAbout")}},
    };
}

QList<Command> toolBar()
{
    return {
        c(CommandId::Back1, " &Back ", {}, "mnuBack"),     c(CommandId::Next1, "&Next", {}, "mnuNext"),
        c(CommandId::Stop, "&Stop", {}, "mnuStop"),        c(CommandId::Refresh, "&Refresh", {}, "mnuRefresh"),
        c(CommandId::Home, "&Home", {}, "mnuHome"),        c(CommandId::AddFavorite, "&Favorites", {}, "mnuFavorites"),
        c(CommandId::New, "&New", Qt::Key_F8, "mnuNewWin")};
}

QList<Command> keysOnly()
{
    return {c(CommandId::CloseTab, "&Close Tab", Qt::CTRL | Qt::Key_W)};
}

QIcon image(const QString &imageKey)
{
    struct Source {
        const char *theme;
        QStyle::StandardPixmap fallback;
    };
    static const QHash<QString, Source> sources = {
        {QStringLiteral("mnuBack"), {"go-previous", QStyle::SP_ArrowBack}},
        {QStringLiteral("mnuNext"), {"go-next", QStyle::SP_ArrowForward}},
        {QStringLiteral("mnuStop"), {"process-stop", QStyle::SP_BrowserStop}},
        {QStringLiteral("mnuRefresh"), {"view-refresh", QStyle::SP_BrowserReload}},
        {QStringLiteral("mnuHome"), {"go-home", QStyle::SP_DirHomeIcon}},
        {QStringLiteral("mnuFavorites"), {"bookmark-new", QStyle::SP_DialogYesButton}},
        {QStringLiteral("mnuFavAdd"), {"bookmark-new", QStyle::SP_DialogYesButton}},
        {QStringLiteral("mnuSave"), {"document-save-as", QStyle::SP_DialogSaveButton}},
        {QStringLiteral("mnuClock"), {"document-open-recent", QStyle::SP_FileDialogDetailedView}},
        {QStringLiteral("mnuEmail"), {"mail-message-new", QStyle::SP_MessageBoxInformation}},
        {QStringLiteral("mnuPrint"), {"document-print", QStyle::SP_FileIcon}},
        {QStringLiteral("mnuCut"), {"edit-cut", QStyle::SP_DialogDiscardButton}},
        {QStringLiteral("mnuCopy"), {"edit-copy", QStyle::SP_FileLinkIcon}},
        {QStringLiteral("mnuPaste"), {"edit-paste", QStyle::SP_DialogApplyButton}},
        {QStringLiteral("mnuNewWin"), {"tab-new", QStyle::SP_FileDialogNewFolder}},
        {QStringLiteral("mnuNewDoc"), {"document-open", QStyle::SP_DialogOpenButton}},
        {QStringLiteral("mnuSettings"), {"preferences-system", QStyle::SP_ComputerIcon}},
        {QStringLiteral("mnuFind"), {"edit-find", QStyle::SP_FileDialogContentsView}},
        {QStringLiteral("mnuHelpIndex"), {"help-contents", QStyle::SP_DialogHelpButton}},
        {QStringLiteral("mnuHelpAbout"), {"help-about", QStyle::SP_MessageBoxQuestion}},
        {QStringLiteral("mnuHistory"), {"document-open-recent", QStyle::SP_FileDialogDetailedView}},
        {QStringLiteral("mnuHelp"), {"help-browser", QStyle::SP_DialogHelpButton}},
        {QStringLiteral("mnuSearch"), {"system-search", QStyle::SP_FileDialogContentsView}},
    };
    const auto it = sources.constFind(imageKey);
    if (it == sources.cend())
        return {};
    const Source source = *it;
    return QIcon(new DeferredIconEngine([source] {
        const QString name = QString::fromLatin1(source.theme);
        // The fallback only when the theme has none: loading a style icon
        // reads all its sizes.
        return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name)
                                         : QApplication::style()->standardIcon(source.fallback);
    }));
}

QIcon programIcon()
{
    QIcon builtIn;
    for (const int size : {16, 32, 48, 256})
        builtIn.addFile(QStringLiteral(":/icons/quillon-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("quillon"), builtIn);
}

} // namespace CommandTable
