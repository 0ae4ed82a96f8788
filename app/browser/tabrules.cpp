#include "app/browser/tabrules.h"

#include "platform/shownaddress.h"

#include <algorithm>

#include <QUrl>

namespace TabRules {

namespace {
QString shortTitle(const QString &locationName)
{
    const QString t = locationName.trimmed();
    return t.size() > 15 ? t.left(15) + QStringLiteral("...") : t;
}
} // namespace

QString tabCaption(const QString &locationName)
{
    return u' ' + shortTitle(locationName) + u' ';
}

QString pageName(const QString &locationName, const QString &locationUrl)
{
    if (!locationName.trimmed().isEmpty())
        return locationName;
    return QUrl(locationUrl.trimmed()).host();
}

QString pageToolTip(const QString &locationName, const QString &locationUrl)
{
    const QString title = locationName.trimmed();
    return title.isEmpty() ? ShownAddress::of(locationUrl.trimmed()) : title;
}

QString activatedCaption(const QString &locationName, int position)
{
    if (position == kFavoritesTab)
        return QStringLiteral(" Favorites ");
    QString t = shortTitle(locationName);
    if (t.size() < 2)
        t = QStringLiteral(" Tab - ") + t;
    return u' ' + t + u' ';
}

QList<int> progressWidths(int progress, int progressMax, bool busy)
{
    QList<int> widths;
    if (progress == -1)
        widths.append(0);
    if (!busy) {
        widths.append(kProgressFull);
        widths.append(0);
        return widths;
    }
    if (progress >= 1 && progressMax >= 1) {
        double w = progress * (double(kProgressFull) / progressMax);
        if (w > kProgressFull)
            w = kProgressFull;
        widths.append(int(w));
    }
    return widths;
}

std::optional<LockAppearance> lockAppearance(int secureLockIcon)
{
    switch (secureLockIcon) {
    case 0: return LockAppearance{false, QStringLiteral("Zone Internet")};
    case 1: return LockAppearance{true, QString()};
    case 2: return LockAppearance{true, QStringLiteral("Encrypted")};
    case 3: return LockAppearance{true, QStringLiteral("Security SSL - 40 bit")};
    case 4: return LockAppearance{true, QStringLiteral("Security SSL - 56 bit")};
    case 5: return LockAppearance{true, QStringLiteral("Security SSL")};
    case 6: return LockAppearance{true, QStringLiteral("Security SSL - 128/256 bit")};
    default: return std::nullopt;
    }
}

Size refitBrowser(Size current, int scaleWidth, int scaleHeight)
{
    Size out = current;
    if (out.height != scaleHeight && scaleHeight - 275 >= 0)
        out.height = scaleHeight - 275;
    if (out.width != scaleWidth && scaleWidth >= 0)
        out.width = scaleWidth;
    return out;
}

int statusCellWidth(int stripWidth)
{
    // Shape1 left 1950 and width 7410, Shape4 width 1080, and a 90 gap.
    return stripWidth - 1950 - 7410 - 1080 - 90;
}

StripLayout stripLayout(int stripWidth)
{
    constexpr int kStatusWidth = 7410;
    constexpr int kCellWidth = 1395; // the right-hand cell's design width
    constexpr int kLeastStatusWidth = 1500;
    const int cell = statusCellWidth(stripWidth);
    // A narrow tab gives the status text less room rather than push the
    // right-hand cell out of sight.
    const int shrink = cell >= kCellWidth ? 0 : std::min(kCellWidth - cell, kStatusWidth - kLeastStatusWidth);
    return {kStatusWidth - shrink, 9390 - shrink, 10500 - shrink, cell + shrink};
}

} // namespace TabRules
