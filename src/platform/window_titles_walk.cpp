// The top-level window walk over the window directory. Each call looks at
// the desktop as it is now, so a window that closes during the walk simply
// ends or shortens it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/window_titles.h"

namespace {

HWND HandleOf(pid_t pid) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(pid)); }
pid_t PidOf(HWND hwnd) { return static_cast<pid_t>(reinterpret_cast<std::uintptr_t>(hwnd)); }

// The first live window whose pid is above after (0: the first of all).
HWND FirstWindowAfter(pid_t after) {
  std::vector<zmo::WindowEntry> windows;
  if (zmo::EnumWindowTitles(&windows) != 0) {
    SetLastError(static_cast<DWORD>(ERROR_ACCESS_DENIED));
    return nullptr;
  }
  for (const zmo::WindowEntry& w : windows) {
    if (w.pid > after) return HandleOf(w.pid);
  }
  SetLastError(static_cast<DWORD>(ERROR_SUCCESS));
  return nullptr;
}

}  // namespace

extern "C" HWND GetTopWindow(HWND parent) {
  if (parent) {
    SetLastError(static_cast<DWORD>(ERROR_SUCCESS));  // a window here has no children
    return nullptr;
  }
  return FirstWindowAfter(0);
}

extern "C" HWND GetWindow(HWND hwnd, UINT command) {
  if (command != GW_HWNDNEXT || !hwnd) {
    SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    return nullptr;
  }
  return FirstWindowAfter(PidOf(hwnd));
}

extern "C" int GetWindowTextLengthA(HWND hwnd) {
  std::string title;
  if (!hwnd || zmo::GetWindowTitleOf(PidOf(hwnd), &title) != 0) {
    SetLastError(static_cast<DWORD>(ERROR_INVALID_HANDLE));
    return 0;
  }
  return static_cast<int>(title.size());
}

extern "C" int GetWindowTextA(HWND hwnd, LPSTR text, int max_count) {
  if (!text || max_count < 1) return 0;
  text[0] = '\0';
  std::string title;
  if (!hwnd || zmo::GetWindowTitleOf(PidOf(hwnd), &title) != 0) {
    SetLastError(static_cast<DWORD>(ERROR_INVALID_HANDLE));
    return 0;
  }
  size_t n = std::min(title.size(), static_cast<size_t>(max_count - 1));
  std::memcpy(text, title.data(), n);
  text[n] = '\0';
  return static_cast<int>(n);
}
