// The picture at the left of the Settings dialog and the About box.
#pragma once

#include <QPixmap>

// The picture at the left of the Settings dialog and the About box.
QPixmap makeBanner(int width, int height);
