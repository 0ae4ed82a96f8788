// The program-wide values every part of the browser reads.
#pragma once

#include <QString>

// The program-wide values every part of the browser reads: the settings,
// the paths of its files and the tab and key bookkeeping.
struct ProgramState {
    QString HomePage;
    int LoadBack = 0;   // 1: new tabs load in the background
    int AllowPopup = 0; // 1: pop-up stop on
    QString LoadedFile;
    QString ConfigFile;
    QString FavoritesFile;
    QString PermissionsFile; // what sites may do, as the user decided
    int PrevTabIndex = 1;
    int CurTabIndex = 0;
    bool OpenInFront = false;
    int LastKeyCode = -1; // -1 when no key is held
    int LastShift = -1;   // 1 Shift, 2 Ctrl, 4 Alt
};

ProgramState &programState();
