// The class registry.
#pragma once

#include <QString>
#include <QStringList>

// The class registry: which library serves a ProgID. Entries live in the
// registry store under HKEY_CLASSES_ROOT as
//   [HKEY_CLASSES_ROOT\<ProgID>\InprocServer32]  @="<library path>"
// When a ProgID is not registered, the manifest "components.manifest" in
// the program folder is asked instead (a profile file, section "Classes",
// key = ProgID, value = library path, relative to the manifest's folder),
// so a program folder works without any registration step.
namespace ComponentRegistry {

QString manifestPath();

// The library path for progId, or "" when neither source knows it.
QString libraryFor(const QString &progId);

bool registerClass(const QString &progId, const QString &className, const QString &libraryPath);
bool unregisterClass(const QString &progId);

} // namespace ComponentRegistry
