#include "FkestravaMain.h"

#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "CommandLine.h"
#include "Dialogs.h"
#include "FPopup.h"
#include "ForegroundWindow.h"
#include "HookProtocol.h"
#include "KeySequence.h"
#include "OptionsDialogHost.h"
#include "OptionsRules.h"
#include "ProductInfo.h"
#include "RunEntryRegistry.h"
#include "resource.h"

namespace quell::app {

using gui::Create;
using gui::TComponent;
using rules::HotKeyOfSlot;

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

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

}  // namespace

TFormKestravaMain::TFormKestravaMain(TComponent* owner, TController& controller)
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

  ActionList = Create<gui::TActionList>(this);
  ActionList->SetName("ActionList");
  ActionList->SetImages(ImageList);
  auto action = [&](const char* name, const char* caption, int image) {
    gui::TAction* a = Create<gui::TAction>(this, ActionList);
    a->SetName(name);
    a->SetCaption(caption);
    a->SetImageIndex(image);
    return a;
  };
  acOptions = action("acOptions", "Options ...", 1);
  acOptions->OnExecute = [this](TComponent* s) { acOptionsExecute(s); };
  acExit = action("acExit", "Exit", 0);
  acExit->OnExecute = [this](TComponent* s) { acExitExecute(s); };
  acLock = action("acLock", "Lock Computer", 2);
  acLock->OnExecute = [this](TComponent* s) { acLockExecute(s); };
  acLock->OnUpdate = [this](TComponent* s) { acLockUpdate(s); };
  acUnlock = action("acUnlock", "Unlock", 3);
  acUnlock->OnExecute = [this](TComponent* s) { acUnlockExecute(s); };
  acUnlock->OnUpdate = [this](TComponent* s) { acUnlockUpdate(s); };
  acCleanLock = action("acCleanLock", "Lock for Cleaning", 2);
  acCleanLock->SetHint("Lock keyboard and mouse for a while; unlocks by itself");
  acCleanLock->OnExecute = [this](TComponent* s) { acCleanLockExecute(s); };
  acCleanLock->OnUpdate = [this](TComponent* s) { acCleanLockUpdate(s); };

  pmTrayIcon = Create<gui::TPopupMenu>(this);
  pmTrayIcon->SetName("pmTrayIcon");
  pmTrayIcon->SetImages(ImageList);
  auto item = [&](gui::TMenuItem* parent, const char* name, gui::TAction* linked,
                  const char* caption) {
    gui::TMenuItem* i = Create<gui::TMenuItem>(this);
    i->SetName(name);
    if (linked) i->SetAction(linked);
    if (caption) i->SetCaption(caption);
    parent->Add(i);
    return i;
  };
  gui::TMenuItem* root = pmTrayIcon->Items();
  pmiLockComputer = item(root, "pmiLockComputer", acLock, nullptr);
  pmiLockForCleaning = item(root, "pmiLockForCleaning", acCleanLock, nullptr);
  pmiUnlock = item(root, "pmiUnlock", acUnlock, nullptr);
  pmiN1 = item(root, "pmiN1", nullptr, "-");
  pmiOptions = item(root, "pmiOptions", acOptions, nullptr);
  pmiN2 = item(root, "pmiN2", nullptr, "-");
  Homewebsite1 = item(root, "Homewebsite1", nullptr, "Help");
  HelpTopic1 = item(Homewebsite1, "HelpTopic1", nullptr, "Help Topic");
  HelpTopic1->OnClick = [this](TComponent* s) { HelpTopic1Click(s); };
  Home1 = item(Homewebsite1, "Home1", nullptr, "Home");
  Home1->OnClick = [this](TComponent* s) { Home1Click(s); };
  N1 = item(root, "N1", nullptr, "-");
  pmiExit = item(root, "pmiExit", acExit, nullptr);

  TimerTaskMgrHide = Create<gui::TTimer>(this);
  TimerTaskMgrHide->SetName("TimerTaskMgrHide");
  TimerTaskMgrHide->SetEnabled(false);
  TimerTaskMgrHide->SetInterval(1000);
  TimerTaskMgrHide->OnTimer = [this](TComponent* s) { TimerTaskMgrHideTimer(s); };
  Timer1 = Create<gui::TTimer>(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(1000);
  Timer1->OnTimer = [this](TComponent* s) { Timer1Timer(s); };
  // Runs only while a lock is: a quarter second keeps the countdown's
  // seconds close to the clock's.
  TimerTimedLock = Create<gui::TTimer>(this);
  TimerTimedLock->SetName("TimerTimedLock");
  TimerTimedLock->SetEnabled(false);
  TimerTimedLock->SetInterval(250);
  TimerTimedLock->OnTimer = [this](TComponent* s) { TimerTimedLockTimer(s); };

  // Connected before FormCreate: a refused /L opens the dialog from there.
  ConnectOptionsDialog(*this);
  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  OnClose = [this](TComponent* s, gui::TCloseAction& a) { FormClose(s, a); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
}

TFormKestravaMain::~TFormKestravaMain() = default;

// --- start-up and shut-down ---

void TFormKestravaMain::AdjustCreationParams(gui::TCreateParams& params) {
  gui::TForm::AdjustCreationParams(params);
  params.style = (params.style & ~WS_CAPTION) | WS_POPUP;
  params.exStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

void TFormKestravaMain::FormCreate(TComponent*) {
  FTrayIcon = nullptr;
  const std::string exePath = ExecutablePath();
  try {
    FController.LockIniFile = std::make_unique<settings::TLockIniFile>(exePath);
  } catch (const settings::TIniFileOpenError& error) {
    // An unreadable settings file is reported and the program goes on
    // with the defaults: not as a first run, and without ever saving over
    // the file it could not read.
    gui::ShowMessageBox(nullptr, error.what(), std::string(settings::SaveErrorCaption),
                        MB_OK | MB_ICONERROR);
    FController.LockIniFile =
        std::make_unique<settings::TLockIniFile>(exePath, settings::TLockIniFile::TUnread{});
  }
  FController.LockIniFile->OnSaveError = [](const std::string& text, const std::string& caption) {
    gui::ShowMessageBox(gui::Application()->Handle(), text, caption, MB_OK | MB_ICONERROR);
  };
  FController.LockIniFile->Load();
  // A hot key that cannot be typed is no hot key, in the menu, in the
  // options and in the library alike.
  for (int slot : {settings::SLOT_KEY_LOCK, settings::SLOT_KEY_UNLOCK}) {
    std::int32_t& value = FController.LockIniFile->Settings->Values[slot];
    value = HotKeyOfSlot(value);
  }

  ProcessCommandLine();
  if (!FController.IsFirstInstance) return;

  FTrayIcon = Create<ui::TTrayIcon>(this);
  FTrayIcon->SetName("FTrayIcon");
  FTrayIcon->OnClick = [this](TComponent* s, gui::TMouseButton b, gui::TShiftState sh, int x,
                              int y) { TrayIconClick(s, b, sh, x, y); };
  FTrayIcon->OnDblClick = [this](TComponent* s, gui::TMouseButton b, gui::TShiftState sh, int x,
                                 int y) { TrayIconDblClick(s, b, sh, x, y); };
  FTrayIcon->OnBalloonShow = [](TComponent*) {};
  FTrayIcon->OnBalloonHide = [](TComponent*) {};
  FTrayIcon->OnBalloonClick = [](TComponent*) {};

  const settings::TSettingValues& values = FController.LockIniFile->Settings->Values;
  FController.MinimizeOnLock = values[settings::SLOT_CHECK_MINI] != 0;
  FController.IdleLock.IdleLockEnabled = values[settings::SLOT_CHECK_IDLE] != 0;
  FController.IdleLock.IdleLimit = values[settings::SLOT_EDIT_IDLE];
  ApplyMoreSettings(false);

  FTrayIcon->SetPopupMenu(pmTrayIcon);
  FTrayIcon->SetActive(true);
  SetTrayImage(false);
  CreateMenuPainter();
  ApplySettings();
  SetApplicationExStyle(WS_EX_TOOLWINDOW);
  PostMessageA(Handle(), kNotifyMessage, 0, LN_ACTIVATE);
}

void TFormKestravaMain::CreateMenuPainter() {
  using namespace ui;
  FMenuPainter = Create<TMenuPainter>(this);
  FMenuPainter->SetName("FMenuPainter");
  FMenuPainter->BindToForm(this);
  ApplyProgramMenuStyle(*FMenuPainter);
  MenuPainterManager()->RegisterPainter(FMenuPainter);
  FMenuPainter->SetActive(true);
}

void TFormKestravaMain::ProcessCommandLine() {
  const std::vector<std::string> args = CommandLineArguments();
  for (TSwitch s : ParseSwitches(args)) {
    switch (s) {
      case TSwitch::Lock: acLockExecute(this); break;
      case TSwitch::Unlock: acUnlockExecute(this); break;
      case TSwitch::Help: ShowCommandLineHelp(Handle()); break;
    }
  }
  if (FController.IsFirstInstance) return;
  if (args.empty() && BindHookLibrary(true)) {
    PostMessageA(FHook.GetNotifyWnd(), kNotifyMessage, 0, LN_ACTIVATE);
  }
  PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TFormKestravaMain::ShowCommandLineHelp(HWND owner) {
  gui::ShowMessageBox(owner, CommandLineHelpText(FileNameOf(ExecutablePath())),
                      CommandLineHelpCaption, MB_ICONINFORMATION);
}

void TFormKestravaMain::FormShow(TComponent*) {
  if (FTrayIcon) FTrayIcon->ConcealApplication();
}

void TFormKestravaMain::FormClose(TComponent*, gui::TCloseAction&) {
  // From here on nothing binds or hooks again: the rest of a command that
  // was running when Exit came (the options dialog's) must not undo this.
  FClosed = true;
  if (!FHook.Bound()) return;
  if (FController.IsFirstInstance) {
    SetLocked(false);
    FHook.UnSetShellHook();
    FHook.StartLog(nullptr);
  }
  FHook.Unbind();
}

void TFormKestravaMain::FormDestroy(TComponent*) {
  FPasswordWatcher.reset();
  FController.LockIniFile.reset();
  TComponent::Free(FTrayIcon);
  FTrayIcon = nullptr;
  TComponent::Free(FMenuPainter);
  FMenuPainter = nullptr;
}

// --- the hook library ---

bool TFormKestravaMain::BindHookLibrary(bool showErrors) {
  if (FHook.Bound()) return true;
  if (FClosed) return false;
  const std::string folder = ExecutableFolder();
  std::string error;
  // Only the first instance takes the library's notifications.
  if (FHook.Bind(folder, FController.IsFirstInstance ? Handle() : nullptr, &error)) return true;
  if (showErrors) gui::MessageDlg(error, gui::TMsgDlgType::Error, MB_OK);
  return false;
}

void TFormKestravaMain::ApplySettings() {
  const settings::TSettingValues& values = FController.LockIniFile->Settings->Values;
  if (BindHookLibrary(true) && FController.IsFirstInstance) {
    // Index 15 is passed too; the library stores 0..14 and refuses it.
    for (int index = 1; index <= settings::SettingSlotCount; ++index) {
      const bool hotKey = index == settings::SLOT_KEY_LOCK || index == settings::SLOT_KEY_UNLOCK;
      const bool lockedByCleaning = FCleaningLock && index >= settings::SLOT_LOCK_KEYBOARD &&
                                    index <= settings::SLOT_LOCK_MOUSE_WHEEL;
      FHook.SetProperties(index, lockedByCleaning ? 1
                                 : hotKey         ? HotKeyOfSlot(values[index])
                                                  : values[index]);
    }
    FHook.SetShellHook();
  }
  acLock->SetShortCut(HotKeyOfSlot(values[settings::SLOT_KEY_LOCK]));
  acUnlock->SetShortCut(HotKeyOfSlot(values[settings::SLOT_KEY_UNLOCK]));
  acLock->SetImageIndex(values[settings::SLOT_LOCKED_IMAGE]);
  acUnlock->SetImageIndex(values[settings::SLOT_UNLOCKED_IMAGE]);
}

bool TFormKestravaMain::IsLocked() { return FHook.Bound() && FHook.GetIsLocked() != 0; }

// --- lock and unlock ---

void TFormKestravaMain::acLockExecute(TComponent*) { SetLocked(true); }
void TFormKestravaMain::acUnlockExecute(TComponent*) { SetLocked(false); }
void TFormKestravaMain::acLockUpdate(TComponent*) { acLock->SetEnabled(!IsLocked()); }
void TFormKestravaMain::acUnlockUpdate(TComponent*) { acUnlock->SetEnabled(IsLocked()); }
void TFormKestravaMain::SetLocked(bool lock) {
  if (!BindHookLibrary(true)) return;
  if (!FController.IsFirstInstance) {
    SendMessageA(FHook.GetNotifyWnd(), kNotifyMessage, 0,
                 lock ? LN_LOCK_REQUEST : LN_UNLOCK_REQUEST);
    return;
  }
  ApplySettings();
  // A refusal means the options would lock keyboard and mouse with no way
  // out: let the user complete them.
  if (FHook.SetProperties(PROP_LOCKED, lock ? 1 : 0) == 0) acOptions->Execute();
}

void TFormKestravaMain::UpdateLockState() {
  if (!BindHookLibrary(false)) return;
  acUnlockUpdate(acUnlock);
  acLockUpdate(acLock);
  const bool locked = FHook.GetIsLocked() != 0;
  FollowLockState(locked);
  SetTrayImage(locked);
  ShowNotice(locked ? TNotice::Locked : TNotice::Unlocked);
}

void TFormKestravaMain::SetTrayImage(bool locked) {
  if (!FTrayIcon) return;
  gui::TIcon picture;
  const int index = locked ? acLock->ImageIndex() : acUnlock->ImageIndex();
  if (ImageList->GetIcon(index, picture)) FTrayIcon->SetIcon(picture);
}

void TFormKestravaMain::ShowNotice(TNotice kind) {
  if (!FTrayIcon) return;
  switch (kind) {
    case TNotice::Running:
      ui::TFormPopup::ShowPopup("Quellane", "Program is running", 5000, FTrayIcon->Icon());
      break;
    case TNotice::Locked:
      if (FTimedLock.Cleaning()) {
        const int left = FTimedLock.CleaningSecondsLeft(GetTickCount64());
        ui::TFormPopup::ShowPopup(
            "Computer is Locked",
            "Cleaning: unlocks in " + std::to_string(left) + (left == 1 ? " second" : " seconds"),
            5000, FTrayIcon->Icon());
        break;
      }
      ui::TFormPopup::ShowPopup("Computer is Locked", "Enter Hot Key or password to Unlock", 5000,
                                FTrayIcon->Icon());
      break;
    case TNotice::Unlocked:
      ui::TFormPopup::ShowPopup("Computer is UnLocked", "You may continue to work.", 5000,
                                FTrayIcon->Icon());
      break;
  }
}

void TFormKestravaMain::MinimizeAllWindows() { SendMinimizeAllKeys(); }

void TFormKestravaMain::TrayIconClick(TComponent*, gui::TMouseButton button, gui::TShiftState, int,
                                      int) {
  // A right click is the tray icon's own: it opens the menu.
  if (button != gui::TMouseButton::Right) acOptions->Execute();
}

void TFormKestravaMain::TrayIconDblClick(TComponent*, gui::TMouseButton, gui::TShiftState, int,
                                         int) {
  if (FController.MinimizeOnLock) MinimizeAllWindows();
  acLock->Execute();
}

void TFormKestravaMain::acExitExecute(TComponent*) { Close(); }

// --- notifications, timers, options, help ---

void TFormKestravaMain::WndProc(gui::TMessage& message) {
  if (message.Msg == kNotifyMessage) {
    WMHookNotify(message);
    return;
  }
  if (message.Msg == kPasswordMatchMessage) {
    PasswordMatched(message.WParam);
    message.Result = 0;
    return;
  }
  if (message.Msg == WM_ENDSESSION) {
    // The session ends: the process may be ended as soon as this returns,
    // so the whole Exit teardown runs now.
    if (message.WParam) Close();
    message.Result = 0;
    return;
  }
  gui::TForm::WndProc(message);
}

void TFormKestravaMain::WMHookNotify(gui::TMessage& message) {
  const TNotifyDecision decision = DecideNotify(static_cast<std::intptr_t>(message.LParam));
  // A blocked key may be the last of the unlock password.
  if (decision.action == TNotifyAction::ShowLockedNotice && FPasswordWatcher &&
      FPasswordWatcher->HasPassword() && IsLocked()) {
    FPasswordWatcher->Feed(static_cast<std::uint32_t>(message.WParam));
  }
  switch (decision.action) {
    case TNotifyAction::Activate: ActivateInstance(); break;
    case TNotifyAction::UpdateLockState: UpdateLockState(); break;
    case TNotifyAction::ShowLockedNotice: ShowNotice(TNotice::Locked); break;
    case TNotifyAction::Lock: acLockExecute(this); break;
    case TNotifyAction::Unlock: acUnlockExecute(this); break;
    case TNotifyAction::CloseTaskManager: CloseTaskManager(); break;
    case TNotifyAction::ResetIdle: FController.IdleLock.Activity(); break;
    case TNotifyAction::Reply:
    case TNotifyAction::None: break;
  }
  // A sender in another thread or process is released here; one in this
  // thread gets the window's result.
  message.Result = decision.replies ? decision.reply : 0;
  if (decision.replies) ReplyMessage(decision.reply);
}

void TFormKestravaMain::ActivateInstance() {
  if (FController.LockIniFile->More.PasswordDamaged) {
    ShowPasswordDamagedNotice();
    if (!FController.LockIniFile->IsNew) return;
  }
  if (FController.LockIniFile->IsNew) {
    acOptions->Execute();
  } else {
    ShowNotice(TNotice::Running);
  }
}

void TFormKestravaMain::CloseTaskManager() {
  HWND window = FindWindowA(nullptr, "Task Manager");
  if (!window) window = FindWindowA(nullptr, "Windows Task Manager");
  switch (FTaskManagerCloser.Look(IsLocked(), window != nullptr)) {
    case TTaskManagerCloser::Step::Close:
      PostMessageA(window, WM_CLOSE, 0, 0);
      TimerTaskMgrHide->SetEnabled(false);
      break;
    case TTaskManagerCloser::Step::KeepLooking: TimerTaskMgrHide->SetEnabled(true); break;
    case TTaskManagerCloser::Step::Stop: TimerTaskMgrHide->SetEnabled(false); break;
  }
}

void TFormKestravaMain::TimerTaskMgrHideTimer(TComponent*) { CloseTaskManager(); }

void TFormKestravaMain::Timer1Timer(TComponent*) {
  const TIdleConditions now{IsLocked(), FHook.Bound() && !FClosed, FOptionsOpen};
  if (FController.IdleLock.Tick(now) != TIdleStep::Lock) return;
  // A refused lock opens the options dialog and a failed one an error box,
  // both modal: the ticks that fire meanwhile find the attempt running.
  FController.IdleLock.BeginAttempt();
  try {
    if (FController.MinimizeOnLock) MinimizeAllWindows();
    acLock->Execute();
  } catch (...) {
    FController.IdleLock.EndAttempt(IsLocked());
    throw;
  }
  FController.IdleLock.EndAttempt(IsLocked());
}

void TFormKestravaMain::acOptionsExecute(TComponent*) {
  ForceForegroundWindow(gui::Application()->Handle());
  if (FOptionsOpen) return;
  // A taskbar button while the dialog is open.
  SetApplicationExStyle(0);
  gui::Application()->ProcessMessages();
  FOptionsOpen = true;
  // Keys typed into the dialog's hot-key boxes must neither lock nor unlock.
  if (FHook.Bound()) {
    FHook.SetProperties(PROP_KEY_LOCK, 0);
    FHook.SetProperties(PROP_KEY_UNLOCK, 0);
  }
  acLock->SetShortCut(0);
  acUnlock->SetShortCut(0);
  // The dialog shows start with Windows on while the Run entry names this
  // program, whoever wrote it (the installer may have).
  settings::TMoreSettings& more = FController.LockIniFile->More;
  {
    TRunEntryRegistry runEntry;
    if (RunEntryNames(runEntry.Read(), ExecutablePath())) more.StartWithWindows = true;
  }
  const bool startWithWindowsBefore = more.StartWithWindows;
  if (OnRunOptionsDialog) OnRunOptionsDialog();
  ApplyMoreSettings(startWithWindowsBefore);
  if (FClosed) {
    // Exit (or the end of the session) came while the dialog was open: the
    // lock is already undone and the library unloaded; only the settings
    // are kept.
    FController.LockIniFile->Save();
    FOptionsOpen = false;
    return;
  }
  ApplySettings();
  if (BindHookLibrary(false)) SetLocked(FHook.GetIsLocked() != 0);
  if (FController.LockIniFile->IsNew) ShowNotice(TNotice::Running);
  FController.LockIniFile->Save();
  FOptionsOpen = false;
  SetApplicationExStyle(WS_EX_TOOLWINDOW);
}

void TFormKestravaMain::HelpTopic1Click(TComponent*) {
  ShellExecuteA(Handle(), "Open", "Quellane.chm", nullptr, ExecutableFolder().c_str(),
                SW_SHOWNORMAL);
}

void TFormKestravaMain::Home1Click(TComponent*) {
  ShellExecuteA(Handle(), "OPEN", HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quell::app
