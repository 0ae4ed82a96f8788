#include "app/browser/zoomrules.h"

#include <QHash>

#include <array>
#include <cmath>

namespace ZoomRules {

namespace {
constexpr std::array<double, 17> kSteps = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                           1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
constexpr double kSame = 0.005; // factors this close are one step

QHash<QString, double> &sites()
{
    static QHash<QString, double> map;
    return map;
}
} // namespace

double step(double factor, Direction direction)
{
    if (direction == Direction::In) {
        for (const double s : kSteps) {
            if (s > factor + kSame)
                return s;
        }
        return kSteps.back();
    }
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
        if (*it < factor - kSame)
            return *it;
    }
    return kSteps.front();
}

QString text(double factor)
{
    const int percent = int(std::lround(factor * 100));
    return percent == 100 ? QString() : QStringLiteral("%1 %").arg(percent);
}

void remember(const QString &host, double factor)
{
    if (std::abs(factor - 1.0) < kSame)
        sites().remove(host);
    else
        sites().insert(host, factor);
}

double factorFor(const QString &host)
{
    return sites().value(host, 1.0);
}

} // namespace ZoomRules
