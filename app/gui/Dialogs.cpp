#include "Dialogs.h"

#include "Application.h"

namespace quell::gui {

namespace {
MessageBoxFunction& Replacement() {
  static MessageBoxFunction replacement;
  return replacement;
}
}  // namespace

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction replacement) {
  MessageBoxFunction previous = std::move(Replacement());
  Replacement() = std::move(replacement);
  return previous;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  if (Replacement()) return Replacement()(owner, text, caption, flags);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
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
