// Every command's identity, checked by the compiler; its key names its action in the window.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// Every command the menus, the tool bar and the keys can run. The key is
// the name the window's action carries (and saved layouts and tests use).
enum class CommandId : int {
    New,
    NewTab,
    NewPrivateTab,
    ReopenTab,
    CloseTab,
    Clone,
    Open,
    OpenNew,
    ImportBookmarks,
    ExportBookmarks,
    Save,
    Print,
    Settings,
    Exit,
    Cut,
    Copy,
    Paste,
    Find,
    SelectAll,
    History,
    SearchPane,
    HelpPane,
    Back,
    Next,
    Stop,
    Refresh,
    HardRefresh,
    GotoAddress,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    FullScreen,
    NextTab,
    PreviousTab,
    Tab1,
    Tab2,
    Tab3,
    Tab4,
    Tab5,
    Tab6,
    Tab7,
    Tab8,
    LastTab,
    Email,
    PopupStop,
    Downloads,
    InternetOptions,
    SitePermissions,
    ReadFavoritePages,
    StopReadingPages,
    Content,
    Support,
    About,
    // The tool bar's own buttons.
    Back1,
    Next1,
    Home,
    AddFavorite,
    Count
};

namespace CommandIds {

inline constexpr std::size_t kCount = static_cast<std::size_t>(CommandId::Count);

inline constexpr std::array<std::string_view, kCount> kKeys = {
    "mnuNew",       "mnuNewTab",      "mnuNewPrivateTab", "mnuReopenTab",   "mnuCloseTab", "mnuClone",
    "mnuOpen",      "mnuOpenNew",     "mnuImportBm",      "mnuExportBm",    "mnuSave",     "mnuPrint",
    "mnuSettings",  "mnuExit",        "mnuCut",           "mnuCopy",        "mnuPaste",    "mnuFind",
    "mnuSelAll",    "mnuHistory",     "mnuFindPan",       "mnuHelpPan",     "mnuBack",     "mnuNext",
    "mnuStop",      "mnuRefresh",     "mnuHardRefresh",   "mnuGotoAddress", "mnuZoomIn",   "mnuZoomOut",
    "mnuZoomReset", "mnuFullScreen",  "mnuNextTab",       "mnuPrevTab",     "mnuTab1",     "mnuTab2",
    "mnuTab3",      "mnuTab4",        "mnuTab5",          "mnuTab6",        "mnuTab7",     "mnuTab8",
    "mnuTabLast",   "mnuEmail",       "mnuPopStop",       "mnuDownloads",   "mnuInternet", "mnuPermissions",
    "mnuReadPages", "mnuStopReading", "mnuContent",       "mnuSupport",     "mnuAbout",    "mnuBack1",
    "mnuNext1",     "mnuHome",        "mnuFav",
};

constexpr bool keysAreDistinct()
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].empty())
            return false;
        for (std::size_t j = i + 1; j < kKeys.size(); ++j) {
            if (kKeys[i] == kKeys[j])
                return false;
        }
    }
    return true;
}
static_assert(keysAreDistinct(), "every command has a key of its own");

inline QString key(CommandId id)
{
    const std::string_view k = kKeys[static_cast<std::size_t>(id)];
    return QString::fromLatin1(k.data(), qsizetype(k.size()));
}

// The command an action's key names; nothing for a key no command has.
inline std::optional<CommandId> fromKey(const QString &key)
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (key == QLatin1String(kKeys[i].data(), qsizetype(kKeys[i].size())))
            return static_cast<CommandId>(i);
    }
    return std::nullopt;
}

// Go to tab n (1 to 8).
constexpr CommandId tab(int n)
{
    return static_cast<CommandId>(static_cast<int>(CommandId::Tab1) + n - 1);
}

} // namespace CommandIds
