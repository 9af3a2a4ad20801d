// Velmaro — started as a screen saver: by Windows with its arguments to a
// .scr file, or by XScreenSaver and its relatives on Linux.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <functional>

class Form1;

struct Launch {
  enum class Mode {
    aquarium,    // the window with its menu, as always
    fullScreen,  // /s, or --root with no window given: every monitor
    preview,     // /p: inside the small window of the screen-saver settings
    settings,    // /c, or a .scr file started without one of these
    intoWindow,  // --window-id, or --root with XSCREENSAVER_WINDOW: inside that window
  };
  Mode mode = Mode::aquarium;
  std::uint64_t window = 0;  // the window to draw inside
  bool operator==(const Launch&) const = default;
};

// The arguments after the program's name. Windows' are /x or -x in either
// case, a window's number after a space or a colon; X's are --root and
// --window-id ID (or -root and -window-id), ID in decimal or 0x hex.
// givenWindow is XSCREENSAVER_WINDOW. Anything else is ignored as the
// window's program always ignored it, but a .scr file ignores nothing and
// shows its settings.
Launch ParseLaunch(const QStringList& arguments, bool startedAsScreenSaver, const QString& givenWindow);

// SET in the folder the Start menu's shortcut or the launcher works in:
// %APPDATA%\Velmaro on Windows, $XDG_CONFIG_HOME/velmaro or ~/.config/velmaro
// elsewhere; empty when the environment names no such folder.
std::filesystem::path ScreenSaverSettingsFile();

// Reads that SET into Conf, quietly: anything missing or unreadable leaves
// the default aquarium. The file is never created, written or held.
void ReadScreenSaverSettings();

// The aquarium full screen or inside the window given, to the end: a key, a
// click or a move of the mouse over a full-screen view, the window it is
// inside gone, or SIGTERM. The exit status.
int RunScreenSaver(const Launch& launch);

// The settings over the aquarium's window, opened by openSettings as its
// menu opens them, which says whether they were chosen with OK: then, and
// only then, SET is saved in its folder. The exit status.
int ConfigureScreenSaver(const std::function<bool(Form1&)>& openSettings);
