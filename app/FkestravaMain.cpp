#include "FkestravaMain.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "gui/Dialogs.h"
#include "system/ExecutablePath.h"
#include "ui/FPopup.h"
#include "system/ForegroundWindow.h"
#include "HookDll/HookProtocol.h"
#include "system/KeySequence.h"
#include "system/PasswordWatcher.h"
#include "system/PawWatcher.h"
#include "ProductInfo.h"
#include "base/ScopeExit.h"
#include "base/Text.h"
#include "base/WideText.h"
#include "res/resource.h"

namespace quell::app {

using gui::Create;
using gui::TComponent;

namespace {

// Sets the application window's extended style, which decides whether the
// program has a taskbar button. A taskbar picks a changed style up only when
// the window is shown anew: the window (it has no size) is hidden for a tool
// window and shown, without activation, for a button.
void SetApplicationExStyle(DWORD exStyle) {
  const HWND window = gui::Application()->Handle();
  ShowWindow(window, SW_HIDE);
  SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  if ((exStyle & WS_EX_TOOLWINDOW) == 0) ShowWindow(window, SW_SHOWNA);
}

gui::TTimer* MakeTimer(TComponent* owner, const char* name, unsigned interval, bool enabled,
                       std::function<void()> tick) {
  gui::TTimer* timer = Create<gui::TTimer>(owner);
  timer->SetName(name);
  timer->SetEnabled(enabled);
  timer->SetInterval(interval);
  timer->OnTimer = [tick = std::move(tick)](TComponent*) { tick(); };
  return timer;
}

}  // namespace

TFormKestravaMain::TFormKestravaMain(TComponent* owner, TLockController& controller)
    : gui::TForm(owner), FController(controller) {
  SetName("FormKestravaMain");
  const HINSTANCE instance = GetModuleHandleA(nullptr);

  // The images of the tray and its menu, at the system's small-icon size.
  ImageList =
      Create<gui::TImageList>(this, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  ImageList->SetName("ImageList");
  for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED}) {
    ImageList->AddIconResource(instance, MAKEINTRESOURCEA(id));
  }

  Menu = ui::BuildProgramMenu(this, ImageList);
  acOptions = Menu.acOptions;
  TLockController& c = FController;
  Menu.acOptions->OnExecute = [&c](TComponent*) { c.acOptionsExecute(); };
  Menu.acExit->OnExecute = [&c](TComponent*) { c.acExitExecute(); };
  Menu.acLock->OnExecute = [&c](TComponent*) { c.acLockExecute(); };
  Menu.acLock->OnUpdate = [&c](TComponent*) { c.acLockUpdate(); };
  Menu.acUnlock->OnExecute = [&c](TComponent*) { c.acUnlockExecute(); };
  Menu.acUnlock->OnUpdate = [&c](TComponent*) { c.acUnlockUpdate(); };
  Menu.acCleanLock->OnExecute = [&c](TComponent*) { c.acCleanLockExecute(); };
  Menu.acCleanLock->OnUpdate = [&c](TComponent*) { c.acCleanLockUpdate(); };
  Menu.HelpTopic1->OnClick = [this](TComponent* s) { HelpTopic1Click(s); };
  Menu.Home1->OnClick = [this](TComponent* s) { Home1Click(s); };

  TimerTaskMgrHide =
      MakeTimer(this, "TimerTaskMgrHide", 1000, false, [&c] { c.TimerTaskMgrHideTimer(); });
  Timer1 = MakeTimer(this, "Timer1", 1000, true, [&c] { c.Timer1Timer(); });
  // Runs only while a lock is: a quarter second keeps the countdown's
  // seconds close to the clock's.
  TimerTimedLock = MakeTimer(this, "TimerTimedLock", 250, false, [&c] { c.TimerTimedLockTimer(); });
  TimerHookLook =
      MakeTimer(this, "TimerHookLook", THookWatch::kLookMs, true, [&c] { c.TimerHookLookTimer(); });

  // Attached before FormCreate: a refused /L opens the dialog from there.
  FController.Attach(this);
  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  OnClose = [this](TComponent* s, gui::TCloseAction& a) { FormClose(s, a); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
}

TFormKestravaMain::~TFormKestravaMain() { FController.Attach(nullptr); }

// --- the form's own events ---

void TFormKestravaMain::AdjustCreationParams(gui::TCreateParams& params) {
  gui::TForm::AdjustCreationParams(params);
  params.style = (params.style & ~WS_CAPTION) | WS_POPUP;
  params.exStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

void TFormKestravaMain::FormCreate(TComponent*) {
  FController.FormCreate(base::ArgumentsOf(__argc, __argv));
}

void TFormKestravaMain::FormShow(TComponent*) {
  if (FTrayIcon) FTrayIcon->ConcealApplication();
}

void TFormKestravaMain::FormClose(TComponent*, gui::TCloseAction&) { FController.FormClose(); }

void TFormKestravaMain::FormDestroy(TComponent*) {
  FController.FormDestroy();
  TComponent::Free(FTrayIcon);
  FTrayIcon = nullptr;
  TComponent::Free(FMenuPainter);
  FMenuPainter = nullptr;
  TComponent::Free(FInputShield);
  FInputShield = nullptr;
}

void TFormKestravaMain::WndProc(gui::TMessage& message) {
  switch (message.Msg) {
    case kNotifyMessage: {
      const std::optional<long> reply = FController.WMHookNotify(
          static_cast<std::intptr_t>(message.LParam), static_cast<std::uintptr_t>(message.WParam));
      // A sender in another thread or process is released here; one in this
      // thread gets the window's result.
      message.Result = reply.value_or(0);
      if (reply) ReplyMessage(*reply);
      return;
    }
    case kPasswordMatchMessage:
      FController.PasswordMatched(static_cast<std::uintptr_t>(message.WParam));
      message.Result = 0;
      return;
    case kPawsMessage:
      FController.PawsOnKeyboard();
      message.Result = 0;
      return;
    case WM_POWERBROADCAST:
      if (PowerEventMayDropHooks(message.WParam)) FController.HooksMayBeGone();
      message.Result = TRUE;
      return;
    case WM_WTSSESSION_CHANGE:
      if (SessionEventMayDropHooks(message.WParam)) FController.HooksMayBeGone();
      message.Result = 0;
      return;
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns.
      FController.WMEndSession(message.WParam != 0);
      message.Result = 0;
      return;
    default: gui::TForm::WndProc(message);
  }
}

void TFormKestravaMain::HelpTopic1Click(TComponent*) {
  // The folder is the executable's, in whatever letters its name has.
  ShellExecuteW(Handle(), L"Open", L"Quellane.chm", nullptr,
                base::WideFromUtf8(ExecutableFolder()).c_str(), SW_SHOWNORMAL);
}

void TFormKestravaMain::Home1Click(TComponent*) {
  ShellExecuteA(Handle(), "OPEN", HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

// --- what the controller shows ---

TWindowId TFormKestravaMain::Window() { return reinterpret_cast<TWindowId>(Handle()); }

void TFormKestravaMain::ShowTray() {
  FTrayIcon = Create<ui::TTrayIcon>(this);
  FTrayIcon->SetName("FTrayIcon");
  TLockController& c = FController;
  FTrayIcon->OnClick = [&c](TComponent*, gui::TMouseButton button, gui::TShiftState, int, int) {
    c.TrayIconClick(button == gui::TMouseButton::Right);
  };
  FTrayIcon->OnDblClick = [&c](TComponent*, gui::TMouseButton, gui::TShiftState, int, int) {
    c.TrayIconDblClick();
  };
  FTrayIcon->OnBalloonShow = [](TComponent*) {};
  FTrayIcon->OnBalloonHide = [](TComponent*) {};
  FTrayIcon->OnBalloonClick = [](TComponent*) {};
  FTrayIcon->SetPopupMenu(Menu.pmTrayIcon);
  FTrayIcon->SetActive(true);

  FMenuPainter = Create<ui::TMenuPainter>(this);
  FMenuPainter->SetName("FMenuPainter");
  FMenuPainter->BindToForm(this);
  ui::ApplyProgramMenuStyle(*FMenuPainter);
  ui::MenuPainterManager()->RegisterPainter(FMenuPainter);
  FMenuPainter->SetActive(true);
}

int TFormKestravaMain::ImageCount() { return ImageList->Count(); }

void TFormKestravaMain::SetTrayImage(int imageIndex) {
  gui::TIcon picture;
  if (FTrayIcon && ImageList->GetIcon(imageIndex, picture)) FTrayIcon->SetIcon(picture);
}

void TFormKestravaMain::ShowNotice(const std::string& title, const std::string& text,
                                   unsigned milliseconds) {
  if (FTrayIcon) ui::TFormPopup::ShowPopup(title, text, milliseconds, FTrayIcon->Icon());
}

void TFormKestravaMain::ShowInputShield(TShieldLook look) {
  if (!FInputShield) FInputShield = Create<ui::TInputShield>(this);
  // The notice, if one is up, stays above the shield.
  ui::TFormPopup* notice = ui::FormPopup();
  FInputShield->ShowShield(
      look == TShieldLook::Black ? ui::TShieldShade::Black : ui::TShieldShade::Clear,
      notice && notice->HandleAllocated() ? notice->Handle() : nullptr);
}

void TFormKestravaMain::HideInputShield() {
  if (FInputShield) FInputShield->HideShield();
}

void TFormKestravaMain::ShowBox(TControllerBox kind, const std::string& text,
                                const std::string& caption) {
  switch (kind) {
    case TControllerBox::BindingError: gui::MessageDlg(text, gui::TMsgDlgType::Error, MB_OK); break;
    case TControllerBox::SettingsUnread:
      gui::ShowMessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR);
      break;
    case TControllerBox::SaveError:
      gui::ShowMessageBox(gui::Application()->Handle(), text, caption, MB_OK | MB_ICONERROR);
      break;
    case TControllerBox::CommandLineHelp:
      gui::ShowMessageBox(Handle(), text, caption, MB_ICONINFORMATION);
      break;
  }
}

gui::TAction* TFormKestravaMain::ActionOf(TControllerAction action) const {
  switch (action) {
    case TControllerAction::Lock: return Menu.acLock;
    case TControllerAction::Unlock: return Menu.acUnlock;
    case TControllerAction::CleanLock: return Menu.acCleanLock;
  }
  return Menu.acLock;
}

void TFormKestravaMain::SetActionEnabled(TControllerAction action, bool enabled) {
  ActionOf(action)->SetEnabled(enabled);
}

void TFormKestravaMain::SetActionShortCut(TControllerAction action, int shortcut) {
  ActionOf(action)->SetShortCut(shortcut);
}

void TFormKestravaMain::SetActionImage(TControllerAction action, int imageIndex) {
  ActionOf(action)->SetImageIndex(imageIndex);
}

void TFormKestravaMain::SetTimer(TControllerTimer timer, bool enabled) {
  switch (timer) {
    case TControllerTimer::TaskMgrHide: TimerTaskMgrHide->SetEnabled(enabled); break;
    case TControllerTimer::TimedLock: TimerTimedLock->SetEnabled(enabled); break;
  }
}

void TFormKestravaMain::RunOptionsDialog() {
  ui::TOptionsHost host;
  host.Settings = FController.LockIniFile->Settings.get();
  host.IdleLock = &FController.IdleLock;
  host.MinimizeOnLock = &FController.MinimizeOnLock;
  host.Images = ImageList;
  host.MinimizeAllWindows = [] { SendMinimizeAllKeys(); };
  host.Lock = [this] { FController.acLockExecute(); };
  host.More = &FController.LockIniFile->More;
  host.Hasher = &FHasher;
  auto* dialog = Create<ui::TFormOptions>(gui::Application(), std::move(host));
  // Known while it is open, for a second request to bring it forward.
  FOptionsWindow = dialog->Handle();
  const base::TScopeExit forget{[this] { FOptionsWindow = nullptr; }};
  dialog->ShowModal();
}

void TFormKestravaMain::BringProgramToFront() {
  ForceForegroundWindow(gui::Application()->Handle());
}

void TFormKestravaMain::BringOptionsToFront() {
  if (FOptionsWindow) ForceForegroundWindow(FOptionsWindow);
}

void TFormKestravaMain::SetTaskbarButton(bool shown) {
  SetApplicationExStyle(shown ? 0 : WS_EX_TOOLWINDOW);
}

void TFormKestravaMain::ProcessMessages() { gui::Application()->ProcessMessages(); }

void TFormKestravaMain::MinimizeAllWindows() { SendMinimizeAllKeys(); }

void TFormKestravaMain::CloseMainForm() { gui::TForm::Close(); }

void TFormKestravaMain::PostCloseMainForm() { PostMessageA(Handle(), WM_CLOSE, 0, 0); }

}  // namespace quell::app
