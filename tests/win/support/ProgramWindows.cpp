#include "ProgramWindows.h"

#include "WinTestSupport.h"

namespace quell::wintest {

std::vector<HWND> WindowsOf(DWORD process, const std::string& windowClass, const char* caption,
                            bool visibleOnly) {
  std::vector<HWND> found;
  ForEachTopLevelWindow([&](HWND w) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process && ClassOf(w) == windowClass && (!caption || TextOf(w) == caption) &&
        (!visibleOnly || IsWindowVisible(w))) {
      found.push_back(w);
    }
    return true;
  });
  return found;
}

HWND ChildOf(HWND parent, const std::string& windowClass, const std::string& text) {
  HWND found = nullptr;
  ForEachChildWindow(parent, [&](HWND w) {
    if (lstrcmpiA(ClassOf(w).c_str(), windowClass.c_str()) == 0 && TextOf(w) == text) found = w;
    return found == nullptr;
  });
  return found;
}

HWND FocusOfThreadOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void ClickAt(POINT point) {
  XMoveTo(point);
  XDoTool("click 1");
}

void ClickOn(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void PressKeys(const std::string& keys) {
  XDoTool("key " + keys);
  PumpFor(250);
}

}  // namespace quell::wintest
