#include "commandtable.h"

#include "deferredicon.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace CommandTable {

namespace {
Command c(const char *key, const char *caption, const QKeySequence &shortcut = {}, const char *image = "",
          const QList<QKeySequence> &more = {})
{
    return {QString::fromLatin1(key), QString::fromUtf8(caption), shortcut, QString::fromLatin1(image), more};
}

// Go to tab 1 to 8 (Ctrl+1 to Ctrl+8), and the last tab (Ctrl+9).
QList<Command> tabNumbers()
{
    QList<Command> list;
    for (int n = 1; n <= 8; ++n) {
        list.append({QStringLiteral("mnuTab%1").arg(n), QStringLiteral("Tab &%1").arg(n),
                     QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), QString()});
    }
    list.append(c("mnuTabLast", "&Last Tab", Qt::CTRL | Qt::Key_9));
    return list;
}
} // namespace

QList<Menu> menus()
{
    return {
        {QStringLiteral("mnuFile"),
         QStringLiteral(" &File "),
         {c("mnuNew", "&New", Qt::Key_F8, "mnuNewWin"), c("mnuNewTab", "New &Tab", Qt::CTRL | Qt::Key_T),
          c("mnuReopenTab", "&Reopen Closed Tab", Qt::CTRL | Qt::SHIFT | Qt::Key_T),
          c("mnuClone", "Clone", Qt::CTRL | Qt::Key_N), c("mnuOpen", "&Open", Qt::CTRL | Qt::Key_O),
          c("mnuOpenNew", "Op&en New ...", {}, "mnuNewDoc"), c("mnuImportBm", "Import Bookmarks…"),
          c("mnuExportBm", "Export Bookmarks…"), c("mnuSave", "&Save As ...", Qt::CTRL | Qt::Key_S, "mnuSave"),
          c("mnuPrint", "&Print ...", Qt::CTRL | Qt::Key_P, "mnuPrint"), c("mnuSettings", "&Settings ..."),
          c("mnuExit", "&Exit")}},
        {QStringLiteral("mnuEdit"),
         QStringLiteral(" &Edit "),
         {c("mnuCut", "C&ut", Qt::CTRL | Qt::Key_X, "mnuCut"), c("mnuCopy", "&Copy", Qt::CTRL | Qt::Key_C, "mnuCopy"),
          c("mnuPaste", "&Paste", Qt::CTRL | Qt::Key_V, "mnuPaste"),
          c("mnuFind", "&Find ...", QKeySequence::Find, "mnuFind"),
          c("mnuSelAll", "Select &All", Qt::CTRL | Qt::Key_A)}},
        {QStringLiteral("mnuView"),
         QStringLiteral(" &View "),
         {c("mnuHistory", "&History", Qt::CTRL | Qt::Key_H, "mnuClock"),
          c("mnuFindPan", "&Search", Qt::CTRL | Qt::Key_G),
          c("mnuHelpPan", "&Help", Qt::CTRL | Qt::Key_F1, "mnuHelpIndex"),
          c("mnuBack", "&Back ", Qt::ALT | Qt::Key_Left, "mnuBack"),
          c("mnuNext", "&Next", Qt::ALT | Qt::Key_Right, "mnuNext"), c("mnuStop", "&Stop", {}, "mnuStop"),
          c("mnuRefresh", "&Refresh", Qt::Key_F5, "mnuRefresh"),
          c("mnuHardRefresh", "Refresh &Bypassing Cache", Qt::CTRL | Qt::Key_F5),
          c("mnuGotoAddress", "&Address Bar ...", Qt::Key_F4, "",
            {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D)}),
          c("mnuZoomIn", "Zoom &In", Qt::CTRL | Qt::Key_Plus, "", {QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
          c("mnuZoomOut", "Zoom &Out", Qt::CTRL | Qt::Key_Minus),
          c("mnuZoomReset", "Actual Si&ze", Qt::CTRL | Qt::Key_0), c("mnuFullScreen", "&Full Screen", Qt::Key_F11)}},
        {QStringLiteral("mnuTabs"), QStringLiteral(" T&abs "),
         QList<Command>{
             c("mnuNextTab", "&Next Tab", Qt::CTRL | Qt::Key_Tab, "", {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}),
             c("mnuPrevTab", "&Previous Tab", Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, "",
               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})}
             + tabNumbers()},
        {QStringLiteral("mnuTools"),
         QStringLiteral(" &Tools "),
         {c("mnuEmail", "&Email ...", {}, "mnuEmail"), c("mnuPopStop", "&Popup Stop", Qt::CTRL | Qt::Key_Q),
          c("mnuDownloads", "&Downloads", Qt::CTRL | Qt::SHIFT | Qt::Key_Y), c("mnuInternet", "Internet Options")}},
        {QStringLiteral("mnuHelp"),
         QStringLiteral(" &Help "),
         {c("mnuContent", "&Content", Qt::Key_F1, "mnuHelpIndex"), c("mnuSupport", "&Support"),
          c("mnuAbout", "&About ...", {}, "mnuHelpAbout")}},
    };
}

QList<Command> toolBar()
{
    return {c("mnuBack1", " &Back ", {}, "mnuBack"),     c("mnuNext1", "&Next", {}, "mnuNext"),
            c("mnuStop", "&Stop", {}, "mnuStop"),        c("mnuRefresh", "&Refresh", {}, "mnuRefresh"),
            c("mnuHome", "&Home", {}, "mnuHome"),        c("mnuFav", "&Favorites", {}, "mnuFavorites"),
            c("mnuNew", "&New", Qt::Key_F8, "mnuNewWin")};
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
