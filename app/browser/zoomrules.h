// Page zoom steps and the zoom each site had in this run.
#pragma once

#include <QString>

// Page zoom: the steps Zoom In and Zoom Out go through, and the factor
// each site was last shown at in this run.
namespace ZoomRules {

enum class Direction { In, Out };

// The next step from factor in that direction (25 % to 500 %).
double step(double factor, Direction direction);
// "125 %"; empty at 100 %, which the status strip does not show.
QString text(double factor);

// Remembered per host for the run; 1.0 for a host not zoomed.
void remember(const QString &host, double factor);
double factorFor(const QString &host);

} // namespace ZoomRules
