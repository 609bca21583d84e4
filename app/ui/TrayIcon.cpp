#include "TrayIcon.h"

#include <stdexcept>
#include <vector>

#include "gui/Form.h"

namespace quell::ui {

using gui::TApplication;
using gui::TMessage;

namespace {

static_assert(NIF_MESSAGE == 0x01 && NIF_ICON == 0x02 && NIF_TIP == 0x04 && NIF_INFO == 0x10);

TApplication& App() {
  TApplication* app = gui::Application();
  if (!app) throw std::logic_error("the tray icon needs an application object");
  return *app;
}

TShiftState ShiftFromKeyboard() {
  const auto down = [](int vk) { return GetKeyState(vk) < 0; };
  TShiftState shift = 0;
  if (down(VK_SHIFT)) shift |= gui::ssShift;
  if (down(VK_CONTROL)) shift |= gui::ssCtrl;
  if (down(VK_LBUTTON)) shift |= gui::ssLeft;
  if (down(VK_RBUTTON)) shift |= gui::ssRight;
  if (down(VK_MBUTTON)) shift |= gui::ssMiddle;
  if (down(VK_MENU)) shift |= gui::ssAlt;
  return shift;
}

}  // namespace

TTrayIcon::TTrayIcon(gui::TComponent* owner, TTrayShell* shell)
    : TComponent(owner),
      FShell(shell ? *shell : SystemTrayShell()),
      FClickTimer(gui::Create<gui::TTimer>(this)),
      FBalloonTimer(gui::Create<gui::TTimer>(this)),
      FAddTimer(gui::Create<gui::TTimer>(this)),
      FPipeline(*this, *FClickTimer) {
  FIcon.OnChange = [this](gui::TIcon&) { ResolveShownIcon(); };
  FTrayWindow.reset(gui::CreateUtilityWindow(nullptr, this));
  if (!FTrayWindow) throw std::runtime_error("CreateWindowExA failed for the tray window");
  // The defaults are a state, not a request: constructing the icon shows
  // nothing (showing the application here would flash a taskbar button and
  // take the focus from the user's window).
  FVisibility = tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide;
  FClickTimer->SetEnabled(false);
  FClickTimer->OnTimer = [this](gui::TComponent*) {
    Guarded([&] {
      // A click pressed before the program's windows were disabled (a box
      // modal to all of them) is dropped.
      if (IsWindowEnabled(FTrayWindow.get())) {
        FPipeline.ClickTimerExpired();
      } else {
        FClickTimer->SetEnabled(false);
      }
    });
  };
  FAddTimer->SetEnabled(false);
  FAddTimer->OnTimer = [this](gui::TComponent*) {
    Guarded([&] {
      FAddTimer->SetEnabled(false);
      if (FActive) UpdateTrayEntry();
    });
  };
  FBalloonTimer->SetEnabled(false);
  FBalloonTimer->OnTimer = [this](gui::TComponent*) {
    Guarded([&] {
      FBalloonTimer->SetEnabled(false);
      CloseBalloon();
    });
  };
  FKernel.reset(LoadLibraryA("KERNEL32.DLL"));
  if (FKernel) {
    FRegisterServiceProcess = reinterpret_cast<DWORD(WINAPI*)(DWORD, DWORD)>(
        reinterpret_cast<void*>(GetProcAddress(FKernel.get(), "RegisterServiceProcess")));
  }
  FTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
}

TTrayIcon::~TTrayIcon() {
  InstallHook(false);
  TComponent::Free(FClickTimer);
  FClickTimer = nullptr;
  TComponent::Free(FAddTimer);
  FAddTimer = nullptr;
  TComponent::Free(FAnimateTimer);
  FAnimateTimer = nullptr;
  if (FActive) {
    FActive = false;
    SendTrayCommand(NIM_DELETE);
  }
  TComponent::Free(FBalloonTimer);
  FBalloonTimer = nullptr;
  FIcon.OnChange = nullptr;
  gui::UnbindWindow(FTrayWindow.get());
  FTrayWindow.reset();
}

template <class F>
void TTrayIcon::Guarded(F&& body) {
  try {
    body();
  } catch (...) {
    if (TApplication* app = gui::Application()) app->HandleException(this);
  }
}

void TTrayIcon::SetActive(bool active) {
  if (active == FActive) return;
  FActive = active;
  if (!Loading()) UpdateTrayEntry();
}

void TTrayIcon::SetAnimated(bool animated) {
  FAnimated = animated;
  if (animated) {
    if (!FAnimateTimer) {
      FAnimateTimer = gui::Create<gui::TTimer>(this);
      FAnimateTimer->SetInterval(FDelay);
      FAnimateTimer->OnTimer = [this](gui::TComponent*) { Guarded([&] { AnimateStep(); }); };
    }
    FAnimateTimer->SetEnabled(true);
  } else if (FAnimateTimer) {
    TComponent::Free(FAnimateTimer);
    FAnimateTimer = nullptr;
  }
}

void TTrayIcon::SetIconIndex(int index) {
  if (index == FIconIndex) return;
  FIconIndex = index;
  ResolveShownIcon();
}

void TTrayIcon::SetIcons(gui::TImageList* icons) {
  if (icons == FIcons) return;
  if (FIcons) FIcons->RemoveFreeNotification(this);
  FIcons = icons;
  if (FIcons) FIcons->FreeNotification(this);
  ResolveShownIcon();
}

void TTrayIcon::SetHint(const std::string& hint) { FHint = StoredHint(hint, ShellVersion()); }

void TTrayIcon::SetDropDownMenu(gui::TPopupMenu* menu) {
  if (FDropDownMenu && FDropDownMenu != FPopupMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TTrayIcon::SetPopupMenu(gui::TPopupMenu* menu) {
  if (FPopupMenu && FPopupMenu != FDropDownMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TTrayIcon::SetDelay(unsigned milliseconds) {
  FDelay = milliseconds;
  if (FAnimateTimer) FAnimateTimer->SetInterval(milliseconds);
}

void TTrayIcon::SetVisibility(TTrayVisibilities visibility) {
  FVisibility = visibility;
  SetTaskListShown((visibility & tvVisibleTaskList) != 0);
  SetApplicationShown((visibility & tvVisibleTaskBar) != 0);
  SetAnimated(FAnimated);
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  ResolveShownIcon();
  UpdateTrayEntry();
}

void TTrayIcon::Notification(gui::TComponent* component, gui::TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != gui::TOperation::Remove) return;
  if (component == FDropDownMenu) FDropDownMenu = nullptr;
  if (component == FPopupMenu) FPopupMenu = nullptr;
  if (component == FIcons) {
    FIcons = nullptr;  // the list is going: no notice to take back
    ResolveShownIcon();
  }
}

bool TTrayIcon::SendTrayCommand(DWORD command) {
  return FShell.NotifyIcon(command, &FData) != FALSE;
}

void TTrayIcon::UpdateTrayEntry() {
  InstallHook(FActive);
  FAddTimer->SetEnabled(false);
  if (!FActive) {
    FAddRetry.Reset();
    SendTrayCommand(NIM_DELETE);
    return;
  }
  const bool balloons = ShellSupportsBalloons(ShellVersion());
  if (balloons) {
    FData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    FData.uVersion = NOTIFYICON_VERSION;
  } else {
    FData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  }
  FData.hWnd = FTrayWindow.get();
  FData.uID = kTrayIconId;
  FData.uCallbackMessage = WM_TRAYICON;
  FData.hIcon = FShownIcon.Handle();
  SetTip();
  FData.uFlags = TrayWriteFlags(TrayWrite::Add);
  const gui::TForm* mainForm = App().MainForm();
  const bool hideIcon = (FVisibility & tvAutoHideIcon) && mainForm && mainForm->Visible();
  if (!hideIcon && !SendTrayCommand(NIM_ADD)) {
    // An add also fails for an icon that is there already (an announcement
    // of a new taskbar that came after the shell found it): a modify tells.
    FData.uFlags = TrayWriteFlags(TrayWrite::Icon);
    if (!SendTrayCommand(NIM_MODIFY)) {
      // The notification area is not ready: try again later.
      FAddTimer->SetInterval(FAddRetry.Failed());
      FAddTimer->SetEnabled(true);
      return;
    }
  }
  FAddRetry.Reset();
  if (balloons) SendTrayCommand(NIM_SETVERSION);
}

void TTrayIcon::SetTip() {
  // The first layout has room for 63 characters only; the shell must find
  // the terminating zero inside the part of the record it reads.
  const std::size_t room = FData.cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : kTipChars + 1;
  CopyCut(FData.szTip, room, ShortHint(FHint));
}

void TTrayIcon::ResolveShownIcon() {
  if (Loading()) return;
  switch (
      ChooseShownIcon(FIcons != nullptr, FIcons ? FIcons->Count() : 0, FIconIndex, FIcon.Empty())) {
    case ShownIconSource::ImageListEntry: {
      gui::TIcon entry;
      FIcons->GetIcon(FIconIndex, entry);
      SetShownIcon(entry);
      break;
    }
    case ShownIconSource::ApplicationIcon:
      if (TApplication* app = gui::Application()) {
        SetShownIcon(app->Icon());
      } else {
        SetShownIcon(gui::TIcon());
      }
      break;
    case ShownIconSource::OwnIcon: SetShownIcon(FIcon); break;
  }
}

void TTrayIcon::SetShownIcon(const gui::TIcon& icon) {
  FShownIcon.Assign(icon);
  FData.hIcon = FShownIcon.Handle();
  FData.uFlags = TrayWriteFlags(TrayWrite::Icon);
  if (FActive) SendTrayCommand(NIM_MODIFY);
}

void TTrayIcon::InstallHook(bool install) {
  if (install && !FHookId) {
    FHookId = App().HookMainWindow([this](TMessage& m) { return ApplicationWindowHook(m); });
  } else if (!install && FHookId) {
    if (TApplication* app = gui::Application()) app->UnhookMainWindow(FHookId);
    FHookId = 0;
  }
}

bool TTrayIcon::ApplicationWindowHook(TMessage& message) {
  if (message.Msg == WM_SYSCOMMAND && (message.WParam & 0xFFF0) == SC_MINIMIZE &&
      (FVisibility & tvAutoHide) && FActive) {
    SetApplicationShown(false);
  }
  return false;  // the minimise itself goes on
}

void TTrayIcon::SetTaskListShown(bool shown) {
  if (shown == FTaskListShown) return;
  FTaskListShown = shown;
  if (FRegisterServiceProcess) FRegisterServiceProcess(GetCurrentProcessId(), shown ? 0 : 1);
}

void TTrayIcon::SetApplicationShown(bool shown) {
  FApplicationShown = shown;
  if (Loading()) {
    App().SetShowMainForm(shown);
  } else if (shown) {
    RevealApplication();
  } else {
    ConcealApplication();
  }
}

void TTrayIcon::ConcealApplication() {
  TApplication& app = App();
  gui::TForm* mainForm = app.MainForm();
  if (mainForm && !mainForm->Minimized()) {
    if (FSnap) {
      mainForm->Hide();
      app.SetShowMainForm(false);
    }
    app.Minimize();
  }
  ShowWindow(app.Handle(), SW_HIDE);
  FApplicationShown = false;
  if (FVisibility & tvAutoHideIcon) SendTrayCommand(NIM_ADD);
}

void TTrayIcon::RevealApplication() {
  TApplication& app = App();
  ShowWindow(app.Handle(), SW_SHOW);
  app.Restore();
  if (gui::TForm* mainForm = app.MainForm()) mainForm->Show();
  if (FVisibility & tvAutoHideIcon) SendTrayCommand(NIM_DELETE);
}

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text, int kind,
                            int delayMs, bool cancelPrevious) {
  if (!ShellSupportsBalloons(ShellVersion())) return;
  // The empty balloon that cancels the previous one must not leave its own
  // delay behind, so the new balloon's time is taken after it.
  if (cancelPrevious) CloseBalloon();
  FBalloonShownAt = GetTickCount64();
  FBalloonSeconds = delayMs / 1000;
  FData.uFlags = NIF_INFO;
  CopyCut(FData.szInfoTitle, sizeof FData.szInfoTitle, title);
  CopyCut(FData.szInfo, sizeof FData.szInfo, text);
  FData.uFlags = TrayWriteFlags(TrayWrite::Balloon);
  FData.uTimeout = static_cast<UINT>(delayMs);
  FData.dwInfoFlags = BalloonInfoFlags(kind);
  SendTrayCommand(NIM_MODIFY);
  // Shown: the record forgets it, so that no later write shows it again.
  FData.szInfoTitle[0] = '\0';
  FData.szInfo[0] = '\0';
  FData.dwInfoFlags = 0;
  FData.uFlags = TrayWriteFlags(TrayWrite::Icon);
  if (delayMs < 10000 && !title.empty() && !text.empty()) {
    FBalloonTimer->SetInterval(static_cast<unsigned>(delayMs > 0 ? delayMs : 0));
    FBalloonTimer->SetEnabled(true);
  }
  if (OnBalloonShow) OnBalloonShow(this);
}

void TTrayIcon::CloseBalloon() { ShowBalloon("", "", 0, 5000, false); }

void TTrayIcon::AnimateStep() {
  if (!FActive || !FIcons || FIcons->Count() <= 0) return;
  SetIconIndex(NextAnimationFrame(FIconIndex, FIcons->Count()));
  if (OnAnimate) OnAnimate(this, FIconIndex);
}

void TTrayIcon::ReceiveWindowMessage(HWND, TMessage& message) {
  // The message keeps the result it had when a handler failed.
  Guarded([&] { HandleTrayMessage(message); });
}

void TTrayIcon::HandleTrayMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_QUERYENDSESSION: m.Result = 1; return;
    case WM_ENDSESSION:
      // Only a session that really ends takes the entry away; when the
      // shutdown was cancelled the icon must stay usable.
      if (m.WParam) {
        const bool wasActive = FActive;
        SetActive(false);
        FActive = wasActive;
      }
      return;
    case WM_TRAYICON: MouseDispatch(m); return;
    default: break;
  }
  if (m.Msg == FTaskbarCreatedMessage && FActive) UpdateTrayEntry();
  m.Result = DefWindowProcA(FTrayWindow.get(), m.Msg, m.WParam, m.LParam);
}

void TTrayIcon::MouseDispatch(TMessage& m) {
  POINT p{0, 0};
  GetCursorPos(&p);
  const TShiftState shift = ShiftFromKeyboard();
  const TrayCallbackAction action =
      ClassifyTrayCallback(static_cast<std::uint32_t>(m.LParam & 0xFFFF));
  const TrayMouse mouse{action.button, shift, p.x, p.y};
  // A disabled window takes no input: while a box is modal to every window
  // of the program, the icon's clicks do nothing.
  const bool input = IsWindowEnabled(FTrayWindow.get()) != FALSE;
  switch (action.kind) {
    case TrayCallback::MouseMove:
    case TrayCallback::MouseDown:
    case TrayCallback::MouseUp:
    case TrayCallback::DoubleClick:
      if (!input) return;
      break;
    default: break;
  }
  switch (action.kind) {
    case TrayCallback::MouseMove: FireMouseMove(shift, p.x, p.y); break;
    case TrayCallback::MouseDown: FPipeline.MouseDown(mouse); break;
    case TrayCallback::MouseUp: FPipeline.MouseUp(mouse); break;
    case TrayCallback::DoubleClick: FPipeline.DoubleClick(mouse); break;
    case TrayCallback::BalloonHide:
      try {
        if (OnBalloonHide) OnBalloonHide(this);
      } catch (...) {
      }
      m.Result = 1;
      break;
    case TrayCallback::BalloonTimeout:
      if (BalloonOutlived(static_cast<std::int64_t>(GetTickCount64() - FBalloonShownAt),
                          FBalloonSeconds)) {
        CloseBalloon();
      }
      m.Result = 1;
      break;
    case TrayCallback::BalloonClick:
      try {
        if (OnBalloonClick) OnBalloonClick(this);
      } catch (...) {
      }
      m.Result = 1;
      CloseBalloon();
      break;
    case TrayCallback::Ignored: break;
  }
}

void TTrayIcon::FireMouseMove(TShiftState shift, int x, int y) {
  if (FHint != FLastHint) {
    FLastHint = FHint;
    SetTip();
    FData.uFlags = TrayWriteFlags(TrayWrite::Tip);
    if (FActive) SendTrayCommand(NIM_MODIFY);
  }
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

unsigned TTrayIcon::DoubleClickTime() { return GetDoubleClickTime(); }

void TTrayIcon::MouseDownEvent(const TrayMouse& m) {
  if (OnMouseDown) OnMouseDown(this, m.button, m.shift, m.x, m.y);
}

void TTrayIcon::MouseUpEvent(const TrayMouse& m) {
  if (OnMouseUp) OnMouseUp(this, m.button, m.shift, m.x, m.y);
}

bool TTrayIcon::DoubleClickEvent(const TrayMouse& m) {
  if (!OnDblClick) return false;
  OnDblClick(this, m.button, m.shift, m.x, m.y);
  return true;
}

void TTrayIcon::ClickEvent(const TrayMouse& m) {
  if (OnClick) OnClick(this, m.button, m.shift, m.x, m.y);
}

bool TTrayIcon::HasMenu(Menu menu) {
  return (menu == Menu::Popup ? FPopupMenu : FDropDownMenu) != nullptr;
}

void TTrayIcon::TrackMenu(Menu menu, int x, int y) {
  gui::TPopupMenu* shown = menu == Menu::Popup ? FPopupMenu : FDropDownMenu;
  if (!shown) return;
  // The menu closes on a click elsewhere only while the program is in front,
  // and the message afterwards lets it close at once.
  SetForegroundWindow(FTrayWindow.get());
  shown->Popup(x, y);
  PostMessageA(FTrayWindow.get(), WM_NULL, 0, 0);
}

void TTrayIcon::ClickDefaultItem() {
  if (!FPopupMenu || !FPopupMenu->Items()) return;
  const gui::TMenuItem& items = *FPopupMenu->Items();
  for (std::size_t i = 0; i < items.Count(); ++i) {
    if (items.Items(i)->Default()) {
      items.Items(i)->Click();
      return;
    }
  }
}

}  // namespace quell::ui
