// Where the stand-ins for the system's services keep their state, and where the program's own files live.
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

// Two kinds of program folder. A portable one (the build's bin/, marked by
// kPortableMarker) holds everything beside the executable, as it always
// did. An installed program reads its installation data from
// <prefix>/lib/quillon and writes everything it keeps under the user's
// $XDG_DATA_HOME/quillon. $QUILLON_PROGRAM_DIR names one folder for both
// (tests never write beside the real executables).
inline constexpr char kPortableMarker[] = "quillon.portable";

// True when the executable's folder is a portable program folder.
bool isPortable();

// Where the installation data is read: _config.dat as installed,
// components.manifest and the component library. No trailing slash.
QString installFolder();
// The user guide shipped with the program ("userguide.html" in the
// installation data; in a build tree, beside the programs). Empty when
// there is none.
QString userGuide();
// Where the web engine keeps cookies and site storage: inside the program's
// own data folder. Its cache: under $XDG_CACHE_HOME/quillon for an
// installed program, beside the rest for a portable one (or a folder given
// by QUILLON_PROGRAM_DIR).
QString engineStorage();
QString engineCache();

// Where the program keeps the files it writes: _data/ (open pages,
// favorites), _layout.lay and the user's _config.dat. No trailing slash.
QString programFolder();

// Makes the program folder ready on start: created private to the user,
// and when it is not the installation folder, the installation's
// _config.dat copied there once (the user may then edit the search
// engines). False when the folder cannot be made.
bool prepareProgramFolder();

// Why the data folder cannot be trusted with the user's files: it (or one
// of the files the programs keep in it) is a link, or belongs to another
// user. Empty when it is the user's own (or not there yet).
QString dataFolderProblem();

// Creates the folder and any missing parents private to the user (0700).
// An existing folder is made private too: it holds history, favorites or
// the open pages. True when the folder exists afterwards.
bool makePrivateFolder(const QString &path);

} // namespace PlatformPaths
