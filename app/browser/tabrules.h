// The rules of a browser tab, as small functions.
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The rules of a browser tab, as small functions. Lengths are in twips.
namespace TabRules {

// Tabs 1 and 2 are fixed: the home page and the favorites.
inline constexpr int kHomeTab = 1;
inline constexpr int kFavoritesTab = 2;

// " " + the title trimmed, cut to 15 characters plus "..." when longer.
QString tabCaption(const QString &locationName);

// What a tab is named by: its page's title, or while the page has none
// its address's host.
QString pageName(const QString &locationName, const QString &locationUrl);
// The tab's tooltip: the whole title, or the address of a page without one.
QString pageToolTip(const QString &locationName, const QString &locationUrl);

// The caption set when a tab is activated: " Favorites " at position 2;
// otherwise like tabCaption, with " Tab - " in front of a title shorter
// than 2 characters.
QString activatedCaption(const QString &locationName, int position);

inline constexpr int kProgressFull = 1030;
// The widths the progress fill takes, in order, for one ProgressChange
// (an idle browser flashes full and back to empty). Empty: unchanged.
QList<int> progressWidths(int progress, int progressMax, bool busy);

struct LockAppearance {
    bool visible = false;
    QString toolTip;
};
// How the lock looks for a SecureLockIcon value; nullopt outside 0 to 6.
std::optional<LockAppearance> lockAppearance(int secureLockIcon);

// The re-fit of the browser inside the tab: the new (width, height).
struct Size {
    int width;
    int height;
};
Size refitBrowser(Size current, int scaleWidth, int scaleHeight);

// Width of the right-hand status cell for a status strip of inner width w.
int statusCellWidth(int stripWidth);

// The status strip's fields for a strip of inner width w: the design's
// places while the right-hand cell gets at least its design width (1395),
// else the status text field gives up what the cell lacks.
struct StripLayout {
    int statusWidth;  // Shape1 (the status text is 105 less)
    int progressLeft; // Shape4 (the fill starts 30 further)
    int cellLeft;     // Shape3 and the right-hand cell's text
    int cellWidth;    // Shape3 (the cell's text is 105 less)
};
StripLayout stripLayout(int stripWidth);

} // namespace TabRules
