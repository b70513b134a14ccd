// Top-level window titles, as the configurator sees them on a desktop.
//
// A console program started with _spawnv has a window titled by its program
// path; a batch file's window takes the title its `title` line sets; a
// program running as a service has no window. The windows of the machine are
// files in one directory, one per process ("<pid>", holding the process's
// start time and the title), so every process that shares the directory sees
// the same desktop. A window lives as long as its process: an entry whose
// process is gone (or whose pid now names another process) is dropped by the
// next enumeration.
//
// The directory is $ZMO_WINDOWS when set and not empty, else "windows" in
// the registry store's directory; it is created on first use when its parent
// exists.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace zmo {

struct WindowEntry {
  pid_t pid = 0;
  std::string title;
};

// Directory of the windows in force.
std::string WindowTitleDirectory();

// Gives process pid a window with the title (or retitles the one it has).
// Returns 0, or -1 with errno (ESRCH when the process is gone).
int SetWindowTitle(pid_t pid, const std::string& title);

// Closes the window of process pid when it has one. Returns 0, or -1 with errno.
int RemoveWindow(pid_t pid);

// Drops the window of pid when its process is gone (a child just reaped).
void DropWindowIfGone(pid_t pid);

// The title of pid's window. Returns 0, or -1 with errno (ENOENT: no window).
int GetWindowTitleOf(pid_t pid, std::string* title);

// Every live window, in the order of their pids (stale entries are removed
// on the way where the directory allows it). Returns 0, or -1 with errno
// when the directory cannot be read; a missing directory gives no windows.
int EnumWindowTitles(std::vector<WindowEntry>* out);

}  // namespace zmo

// The Windows calls of the top-level window walk. A window handle names its
// process; the z-order is the order of the pids. Only the desktop (a null
// parent) has top-level windows.
struct HWND__;
using HWND = HWND__*;

constexpr UINT GW_HWNDNEXT = 2;

extern "C" {
// The first top-level window, or null when there is none.
HWND GetTopWindow(HWND parent);
// GW_HWNDNEXT: the window after hwnd, or null at the end of the walk.
HWND GetWindow(HWND hwnd, UINT command);
// Length of the window's title in bytes, 0 when the window is gone.
int GetWindowTextLengthA(HWND hwnd);
// Copies at most max_count - 1 bytes of the title and a NUL into text.
// Returns the bytes copied (0 when the window is gone or max_count < 1).
int GetWindowTextA(HWND hwnd, LPSTR text, int max_count);
}
