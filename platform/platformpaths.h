#pragma once

#include <QString>

// Where the stand-ins for the system's services keep their state, and where
// the program's own files live.
namespace PlatformPaths {

// The platform root: $QUILLON_PLATFORM_ROOT, else
// $XDG_DATA_HOME/quillon/platform (~/.local/share/quillon/platform).
QString root();

// Folder of the registry files (one per root key).
QString registryDir();

// The folder that holds the running program, without a trailing slash.
// $QUILLON_PROGRAM_DIR overrides it so that tests never write beside the
// real executables.
QString programFolder();

// Creates the folder and any missing parents private to the user (0700).
// An existing folder is made private too: it holds history, favorites or
// the open pages. True when the folder exists afterwards.
bool makePrivateFolder(const QString &path);

} // namespace PlatformPaths
