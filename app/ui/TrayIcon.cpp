#include "TrayIcon.h"

#include <stdexcept>
#include <vector>

#include "Form.h"

namespace quell::ui {

using gui::TApplication;
using gui::TMessage;

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 0x07
constexpr UINT kAddFlags = kIconFlags | NIF_INFO;              // 0x17

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

TTrayIcon::TTrayIcon(gui::TComponent* owner)
    : TComponent(owner),
      clickTimer_(gui::Create<gui::TTimer>(this)),
      balloonTimer_(gui::Create<gui::TTimer>(this)),
      pipeline_(*this, *clickTimer_) {
  icon_.OnChange = [this](gui::TIcon&) { ResolveShownIcon(); };
  trayWindow_ = gui::CreateUtilityWindow(nullptr, this);
  if (!trayWindow_) throw std::runtime_error("CreateWindowExA failed for the tray window");
  SetVisibility(tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide);
  clickTimer_->SetEnabled(false);
  clickTimer_->OnTimer = [this](gui::TComponent*) {
    Guarded([&] { pipeline_.ClickTimerExpired(); });
  };
  balloonTimer_->SetEnabled(false);
  balloonTimer_->OnTimer = [this](gui::TComponent*) {
    Guarded([&] {
      balloonTimer_->SetEnabled(false);
      CloseBalloon();
    });
  };
  kernel_.reset(LoadLibraryA("KERNEL32.DLL"));
  if (kernel_) {
    registerServiceProcess_ = reinterpret_cast<DWORD(WINAPI*)(DWORD, DWORD)>(
        reinterpret_cast<void*>(GetProcAddress(kernel_.get(), "RegisterServiceProcess")));
  }
  taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
}

TTrayIcon::~TTrayIcon() {
  InstallHook(false);
  TComponent::Free(clickTimer_);
  clickTimer_ = nullptr;
  TComponent::Free(animateTimer_);
  animateTimer_ = nullptr;
  if (active_) {
    active_ = false;
    SendTrayCommand(NIM_DELETE);
  }
  TComponent::Free(balloonTimer_);
  balloonTimer_ = nullptr;
  icon_.OnChange = nullptr;
  gui::UnbindWindow(trayWindow_);
  DestroyWindow(trayWindow_);
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
  if (active == active_) return;
  active_ = active;
  if (!Loading()) UpdateTrayEntry();
}

void TTrayIcon::SetAnimated(bool animated) {
  animated_ = animated;
  if (animated) {
    if (!animateTimer_) {
      animateTimer_ = gui::Create<gui::TTimer>(this);
      animateTimer_->SetInterval(delay_);
      animateTimer_->OnTimer = [this](gui::TComponent*) { Guarded([&] { AnimateStep(); }); };
    }
    animateTimer_->SetEnabled(true);
  } else if (animateTimer_) {
    TComponent::Free(animateTimer_);
    animateTimer_ = nullptr;
  }
}

void TTrayIcon::SetIconIndex(int index) {
  if (index == iconIndex_) return;
  iconIndex_ = index;
  ResolveShownIcon();
}

void TTrayIcon::SetIcons(gui::TImageList* icons) {
  if (icons == icons_) return;
  if (icons_) icons_->RemoveFreeNotification(this);
  icons_ = icons;
  if (icons_) icons_->FreeNotification(this);
  ResolveShownIcon();
}

void TTrayIcon::SetHint(const std::string& hint) { hint_ = StoredHint(hint, ShellVersion()); }

void TTrayIcon::SetDropDownMenu(gui::TPopupMenu* menu) {
  if (dropDownMenu_ && dropDownMenu_ != popupMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TTrayIcon::SetPopupMenu(gui::TPopupMenu* menu) {
  if (popupMenu_ && popupMenu_ != dropDownMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TTrayIcon::SetDelay(unsigned milliseconds) {
  delay_ = milliseconds;
  if (animateTimer_) animateTimer_->SetInterval(milliseconds);
}

void TTrayIcon::SetVisibility(TTrayVisibilities visibility) {
  visibility_ = visibility;
  SetTaskListShown((visibility & tvVisibleTaskList) != 0);
  SetApplicationShown((visibility & tvVisibleTaskBar) != 0);
  SetAnimated(animated_);
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  ResolveShownIcon();
  UpdateTrayEntry();
}

void TTrayIcon::Notification(gui::TComponent* component, gui::TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != gui::TOperation::opRemove) return;
  if (component == dropDownMenu_) dropDownMenu_ = nullptr;
  if (component == popupMenu_) popupMenu_ = nullptr;
  if (component == icons_) {
    icons_ = nullptr;  // the list is going: no notice to take back
    ResolveShownIcon();
  }
}

void TTrayIcon::SendTrayCommand(DWORD command) { TrayShellCalls().notifyIcon(command, &data_); }

void TTrayIcon::UpdateTrayEntry() {
  InstallHook(active_);
  if (!active_) {
    SendTrayCommand(NIM_DELETE);
    return;
  }
  const bool balloons = ShellSupportsBalloons(ShellVersion());
  if (balloons) {
    data_.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data_.uVersion = NOTIFYICON_VERSION;
  } else {
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
  }
  data_.hWnd = trayWindow_;
  data_.uID = kTrayIconId;
  data_.uCallbackMessage = WM_TRAYICON;
  data_.hIcon = shownIcon_.Handle();
  SetTip();
  data_.uFlags = kAddFlags;
  const gui::TForm* mainForm = App().MainForm();
  const bool hideIcon = (visibility_ & tvAutoHideIcon) && mainForm && mainForm->Visible();
  if (!hideIcon) SendTrayCommand(NIM_ADD);
  if (balloons) SendTrayCommand(NIM_SETVERSION);
}

void TTrayIcon::SetTip() {
  // The first layout has room for 63 characters only; the shell must find
  // the terminating zero inside the part of the record it reads.
  const std::size_t room = data_.cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : kTipChars + 1;
  CopyCut(data_.szTip, room, ShortHint(hint_));
}

void TTrayIcon::ResolveShownIcon() {
  if (Loading()) return;
  switch (
      ChooseShownIcon(icons_ != nullptr, icons_ ? icons_->Count() : 0, iconIndex_, icon_.Empty())) {
    case ShownIconSource::ImageListEntry: {
      data_.uFlags = kIconFlags;
      gui::TIcon entry;
      icons_->GetIcon(iconIndex_, entry);
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
    case ShownIconSource::OwnIcon: SetShownIcon(icon_); break;
  }
}

void TTrayIcon::SetShownIcon(const gui::TIcon& icon) {
  shownIcon_.Assign(icon);
  data_.hIcon = shownIcon_.Handle();
  if (active_) SendTrayCommand(NIM_MODIFY);
}

void TTrayIcon::InstallHook(bool install) {
  if (install && !hookId_) {
    hookId_ = App().HookMainWindow([this](TMessage& m) { return ApplicationWindowHook(m); });
  } else if (!install && hookId_) {
    if (TApplication* app = gui::Application()) app->UnhookMainWindow(hookId_);
    hookId_ = 0;
  }
}

bool TTrayIcon::ApplicationWindowHook(TMessage& message) {
  if (message.Msg == WM_SYSCOMMAND && (message.WParam & 0xFFF0) == SC_MINIMIZE &&
      (visibility_ & tvAutoHide) && active_) {
    SetApplicationShown(false);
  }
  return false;  // the minimise itself goes on
}

void TTrayIcon::SetTaskListShown(bool shown) {
  if (shown == taskListShown_) return;
  taskListShown_ = shown;
  if (registerServiceProcess_) registerServiceProcess_(GetCurrentProcessId(), shown ? 0 : 1);
}

void TTrayIcon::SetApplicationShown(bool shown) {
  applicationShown_ = shown;
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
    if (snap_) {
      mainForm->Hide();
      app.SetShowMainForm(false);
    }
    app.Minimize();
  }
  ShowWindow(app.Handle(), SW_HIDE);
  applicationShown_ = false;
  if (visibility_ & tvAutoHideIcon) SendTrayCommand(NIM_ADD);
}

void TTrayIcon::RevealApplication() {
  TApplication& app = App();
  ShowWindow(app.Handle(), SW_SHOW);
  app.Restore();
  if (gui::TForm* mainForm = app.MainForm()) mainForm->Show();
  if (visibility_ & tvAutoHideIcon) SendTrayCommand(NIM_DELETE);
}

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text, int kind,
                            int delayMs, bool cancelPrevious) {
  if (!ShellSupportsBalloons(ShellVersion())) return;
  // The empty balloon that cancels the previous one must not leave its own
  // delay behind, so the new balloon's time is taken after it.
  if (cancelPrevious) CloseBalloon();
  balloonShownAt_ = GetTickCount64();
  balloonSeconds_ = delayMs / 1000;
  data_.uFlags = NIF_INFO;
  CopyCut(data_.szInfoTitle, sizeof data_.szInfoTitle, title);
  CopyCut(data_.szInfo, sizeof data_.szInfo, text);
  data_.uFlags = kAddFlags;
  data_.uTimeout = static_cast<UINT>(delayMs);
  data_.dwInfoFlags = BalloonInfoFlags(kind);
  SendTrayCommand(NIM_MODIFY);
  if (delayMs < 10000 && !title.empty() && !text.empty()) {
    balloonTimer_->SetInterval(static_cast<unsigned>(delayMs > 0 ? delayMs : 0));
    balloonTimer_->SetEnabled(true);
  }
  if (OnBalloonShow) OnBalloonShow(this);
}

void TTrayIcon::CloseBalloon() { ShowBalloon("", "", 0, 5000, false); }

void TTrayIcon::AnimateStep() {
  if (!active_ || !icons_ || icons_->Count() <= 0) return;
  SetIconIndex(NextAnimationFrame(iconIndex_, icons_->Count()));
  if (OnAnimate) OnAnimate(this, iconIndex_);
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
        const bool wasActive = active_;
        SetActive(false);
        active_ = wasActive;
      }
      return;
    case WM_TRAYICON: MouseDispatch(m); return;
    default: break;
  }
  if (m.Msg == taskbarCreatedMessage_ && active_) UpdateTrayEntry();
  m.Result = DefWindowProcA(trayWindow_, m.Msg, m.WParam, m.LParam);
}

void TTrayIcon::MouseDispatch(TMessage& m) {
  POINT p{0, 0};
  GetCursorPos(&p);
  const TShiftState shift = ShiftFromKeyboard();
  const TrayCallbackAction action =
      ClassifyTrayCallback(static_cast<std::uint32_t>(m.LParam & 0xFFFF));
  const TrayMouse mouse{action.button, shift, p.x, p.y};
  switch (action.kind) {
    case TrayCallback::MouseMove: FireMouseMove(shift, p.x, p.y); break;
    case TrayCallback::MouseDown: pipeline_.MouseDown(mouse); break;
    case TrayCallback::MouseUp: pipeline_.MouseUp(mouse); break;
    case TrayCallback::DoubleClick: pipeline_.DoubleClick(mouse); break;
    case TrayCallback::BalloonHide:
      try {
        if (OnBalloonHide) OnBalloonHide(this);
      } catch (...) {
      }
      m.Result = 1;
      break;
    case TrayCallback::BalloonTimeout:
      if (BalloonOutlived(static_cast<std::int64_t>(GetTickCount64() - balloonShownAt_),
                          balloonSeconds_)) {
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
  if (hint_ != lastHint_) {
    lastHint_ = hint_;
    SetTip();
    data_.uFlags = kIconFlags;
    if (active_) SendTrayCommand(NIM_MODIFY);
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
  return (menu == Menu::Popup ? popupMenu_ : dropDownMenu_) != nullptr;
}

void TTrayIcon::TrackMenu(Menu menu, int x, int y) {
  gui::TPopupMenu* shown = menu == Menu::Popup ? popupMenu_ : dropDownMenu_;
  if (!shown) return;
  // The menu closes on a click elsewhere only while the program is in front,
  // and the message afterwards lets it close at once.
  SetForegroundWindow(trayWindow_);
  shown->Popup(x, y);
  PostMessageA(trayWindow_, WM_NULL, 0, 0);
}

void TTrayIcon::ClickDefaultItem() {
  if (!popupMenu_ || !popupMenu_->Items()) return;
  const gui::TMenuItem& items = *popupMenu_->Items();
  for (std::size_t i = 0; i < items.Count(); ++i) {
    if (items.Items(i)->Default()) {
      items.Items(i)->Click();
      return;
    }
  }
}

}  // namespace quell::ui
