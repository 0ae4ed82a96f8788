// Creates objects of component libraries by ProgID.
#pragma once

#include <QString>

class QObject;

// Creates objects of component libraries by ProgID: looks the ProgID up in
// the class registry, loads the library (once; it stays loaded) and asks
// its class factory. Members are then reached by name through the
// meta-object system.
namespace ComponentFactory {

// The new object, owned by parent; nullptr (logged) when the class is not
// registered, the library does not load or does not serve the class.
QObject *create(const QString &progId, QObject *parent = nullptr);

// The entry points of a library loaded by path (for registration tools).
// Returns the entry point's result, or ComponentAbi::kFail when the
// library or the entry point cannot be found.
int callEntryPoint(const QString &libraryPath, const char *entryPoint);

} // namespace ComponentFactory
