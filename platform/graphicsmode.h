// How the web views are drawn on this machine.
#pragma once

#include <QByteArray>
#include <QString>

// How the web views are drawn on this machine.
namespace GraphicsMode {

// True when pages should be drawn in software: the machine has no GPU
// render node, so OpenGL would be a software rasteriser there, and with it
// every repaint of the window (a status text, a progress step) is composed
// again as a whole. A backend the user chose is left alone.
bool preferSoftware(const QString &driFolder, const QByteArray &userChoice);

// Applies the choice for this machine; call before the application object
// is made.
void apply();

} // namespace GraphicsMode
