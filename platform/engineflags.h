// The web engine's own switches, set before the application object is made.
#pragma once

#include <QByteArray>

// The web engine's own switches, set before the application object is made.
namespace EngineFlags {

// The flags with one renderer per site: tabs of the same site share one
// engine process instead of each holding its own, as other browsers do
// with many tabs. A process model the user chose is left alone.
QByteArray withProcessPerSite(const QByteArray &flags);

// Applies the switches to QTWEBENGINE_CHROMIUM_FLAGS.
void apply();

} // namespace EngineFlags
