#include "Dialogs.h"

#include "Application.h"
#include "base/WideText.h"

namespace quell::gui {

namespace {
class TSystemMessageBoxes final : public TMessageBoxes {
 public:
  int Show(HWND owner, const std::string& text, const std::string& caption, UINT flags) override {
    // The texts are UTF-8 (a path in a message may hold any letter).
    return MessageBoxW(owner, base::WideFromUtf8(text).c_str(), base::WideFromUtf8(caption).c_str(),
                       flags);
  }
};

struct ThreadWindows {
  bool hiddenToo;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM data) {
  auto& found = *reinterpret_cast<ThreadWindows*>(data);
  if (found.hiddenToo || IsWindowVisible(window)) found.windows.push_back(window);
  return TRUE;
}

bool IsTooltip(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, TOOLTIPS_CLASSA) == 0;
}
}  // namespace

TDisabledProgramWindows::TDisabledProgramWindows(HWND keep, bool hiddenToo) {
  ThreadWindows found{hiddenToo, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectThreadWindow, reinterpret_cast<LPARAM>(&found));
  for (HWND w : found.windows) {
    if (w == keep) continue;
    if (hiddenToo && IsTooltip(w)) {
      SendMessageA(w, TTM_POP, 0, 0);
      SendMessageA(w, TTM_ACTIVATE, FALSE, 0);
      // A tip the control no longer counts as shown may still be on screen.
      if (IsWindowVisible(w)) ShowWindow(w, SW_HIDE);
      FTooltips.push_back(w);
    }
    if (IsWindowEnabled(w)) {
      EnableWindow(w, FALSE);
      FDisabled.push_back(w);
    }
  }
}

TDisabledProgramWindows::~TDisabledProgramWindows() {
  for (HWND w : FDisabled) {
    if (IsWindow(w)) EnableWindow(w, TRUE);
  }
  for (HWND w : FTooltips) {
    if (IsWindow(w)) SendMessageA(w, TTM_ACTIVATE, TRUE, 0);
  }
}

int ShowProgramModalBox(HWND owner, const std::string& text, const std::string& caption,
                        UINT flags) {
  const TDisabledProgramWindows disabled(nullptr, true);
  return ShowMessageBox(owner, text, caption, flags);
}

TMessageBoxes& SystemMessageBoxes() {
  static TSystemMessageBoxes system;
  return system;
}

TMessageBoxes& TApplication::MessageBoxes() const {
  return FMessageBoxes ? *FMessageBoxes : SystemMessageBoxes();
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  TApplication* app = Application();
  return (app ? app->MessageBoxes() : SystemMessageBoxes()).Show(owner, text, caption, flags);
}

int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons) {
  UINT icon = 0;
  std::string caption;
  TApplication* app = Application();
  switch (type) {
    case TMsgDlgType::Warning:
      icon = MB_ICONWARNING;
      caption = "Warning";
      break;
    case TMsgDlgType::Error:
      icon = MB_ICONERROR;
      caption = "Error";
      break;
    case TMsgDlgType::Information:
      icon = MB_ICONINFORMATION;
      caption = "Information";
      break;
    case TMsgDlgType::Confirmation:
      icon = MB_ICONQUESTION;
      caption = "Confirm";
      break;
    case TMsgDlgType::Custom: caption = app ? app->Title() : std::string(); break;
  }
  HWND owner = GetActiveWindow();
  if (!owner && app) owner = app->Handle();
  return ShowMessageBox(owner, text, caption, buttons | icon | MB_TASKMODAL);
}

}  // namespace quell::gui
