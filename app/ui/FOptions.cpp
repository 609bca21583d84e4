#include "FOptions.h"

#include "gui/Dialogs.h"
#include "gui/DisplayDpi.h"
#include "FPassword.h"
#include "rules/OptionsRules.h"
#include "gui/PlaceControl.h"
#include "res/resource.h"

namespace quell::ui {

using gui::Create;
using gui::Place;
using gui::TComponent;
using namespace settings;

namespace {

bool IsNtPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

TFormOptions::TFormOptions(TComponent* owner, TOptionsHost host)
    : gui::TForm(owner), FHost(std::move(host)) {
  SetName("FormOptions");
  SetCaption("Quellane " QUELL_SHORT_VERSION);
  SetBorderStyle(gui::TFormBorderStyle::ToolWindow);
  SetStayOnTop(true);
  SetPosition(gui::TPosition::ScreenCenter);
  SetClientSize(471, 254);
  SetFont("MS Sans Serif", 10);
  SetDialogKeys(true);
  SetShowHint(true);
  const HINSTANCE instance = GetModuleHandleA(nullptr);

  ImageList =
      Create<gui::TImageList>(this, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  ImageList->SetName("ImageList");
  for (int id : {IDI_OPT_CANCEL, IDI_OPT_APPLY, IDI_OPT_LOCKNOW}) {
    ImageList->AddIconResource(instance, MAKEINTRESOURCEA(id));
  }
  ActionList = Create<gui::TActionList>(this);
  ActionList->SetName("ActionList");
  ActionList->SetImages(ImageList);
  auto action = [&](const char* name, const char* caption, const char* hint, int image) {
    gui::TAction* a = Create<gui::TAction>(this, ActionList);
    a->SetName(name);
    a->SetCaption(caption);
    a->SetHint(hint);
    a->SetImageIndex(image);
    return a;
  };
  acLockNow = action("acLockNow", "Lock Now", "Test configuration and lock computer now", 2);
  acLockNow->OnExecute = [this](TComponent* s) { acLockNowExecute(s); };
  acApply = action("acApply", "Apply", "Test configuration and save to ini file", 1);
  acApply->OnExecute = [this](TComponent* s) { acApplyExecute(s); };
  acCancel = action("acCancel", "Cancel", "Forget what has been just changed", 0);
  acCancel->OnExecute = [this](TComponent* s) { acCancelExecute(s); };

  PanelButtons = Place<gui::TPanel>(this, "PanelButtons", this, 0, 0, 471, 67, "", 2);
  auto button = [&](const char* name, int left, const char* caption, const char* hint, int tabOrder,
                    gui::TAction* linked, int glyph) {
    auto* b = Place<gui::TBitBtn>(this, name, PanelButtons, left, 4, 60, 58, caption, tabOrder);
    b->SetHint(hint);
    b->SetAction(linked);
    b->Glyph().LoadFromResource(instance, MAKEINTRESOURCEA(glyph), gui::Scaled(32));
    return b;
  };
  BitBtnLockNow = button("BitBtnLockNow", 5, "Lock Now", "Add a lock to your computer at once.", 2,
                         acLockNow, IDI_OPT_LOCKNOW);
  BitBtnApply = button("BitBtnApply", 73, "Save", "Save the settings.", 0, acApply, IDI_OPT_APPLY);
  BitBtnCancel =
      button("BitBtnCancel", 141, "Cancel", "The modification to the settings will not be saved.",
             1, acCancel, IDI_OPT_CANCEL);

  PageControl = Place<gui::TPageControl>(this, "PageControl", this, 0, 80, 471, 155, "", 0);
  tsHotKeys = Create<gui::TTabSheet>(this);
  tsHotKeys->SetName("tsHotKeys");
  tsHotKeys->SetCaption("General");
  tsHotKeys->SetPageControl(PageControl);
  tsLock = Create<gui::TTabSheet>(this);
  tsLock->SetName("tsLock");
  tsLock->SetCaption("Options");
  tsLock->SetPageControl(PageControl);
  tsMore = Create<gui::TTabSheet>(this);
  tsMore->SetName("tsMore");
  tsMore->SetCaption("More");
  tsMore->SetPageControl(PageControl);
  PageControl->SetActivePage(tsHotKeys);

  lHotKeyUnLock =
      Place<gui::TLabel>(this, "lHotKeyUnLock", tsHotKeys, 18, 12, 85, 13, "Unlock Computer:");
  HotKeyUnLock = Place<gui::THotKey>(this, "HotKeyUnLock", tsHotKeys, 18, 28, 98, 19, "", 0);
  lHotKeyLock =
      Place<gui::TLabel>(this, "lHotKeyLock", tsHotKeys, 18, 60, 75, 13, "Lock Computer:");
  HotKeyLock = Place<gui::THotKey>(this, "HotKeyLock", tsHotKeys, 18, 79, 98, 19, "", 1);
  lHotKeyUnLock->SetFocusControl(HotKeyUnLock);
  lHotKeyLock->SetFocusControl(HotKeyLock);
  for (gui::THotKey* box : {HotKeyUnLock, HotKeyLock}) {
    // A key alone and Shift+key are refused; no modifier is put in their place.
    box->SetRules(HKCOMB_NONE | HKCOMB_S, 0);
    box->SetHotKey(0);
  }
  Label1 = Place<gui::TLabel>(
      this, "Label1", tsHotKeys, 176, 24, 245, 26,
      "Aim the cursor at the 'Unlock' edition bar, and press the key you want to set as the "
      "hotkey.");
  Label1->SetWordWrap(true);
  ImageLocked = Place<gui::TImage>(this, "ImageLocked", tsHotKeys, 0, 104, 25, 25);
  ImageUnlocked = Place<gui::TImage>(this, "ImageUnlocked", tsHotKeys, 32, 104, 25, 25);

  auto check = [&](const char* name, int left, int top, int width, int height, const char* caption,
                   int tabOrder, const char* hint = "") {
    auto* c =
        Place<gui::TCheckBox>(this, name, tsLock, left, top, width, height, caption, tabOrder);
    c->SetHint(hint);
    return c;
  };
  cbKeyboard = check("cbKeyboard", 13, 14, 116, 14, "Lock Keyboard", 0, "Block keyboard input");
  cbMouseButtons = check("cbMouseButtons", 13, 34, 116, 14, "Lock Mouse Bottons", 1);
  cmMouseWheel = check("cmMouseWheel", 13, 54, 116, 14, "Lock Mose wheel", 2);
  cbMouseMove = check("cbMouseMove", 13, 74, 116, 14, "Lock Mouse movements", 3);
  cbScreenSaverOff = check("cbScreenSaverOff", 13, 94, 116, 14, "Disable screen saver", 4,
                           "Prevent the Windows screen saver from running while computer locked");
  cbBeep = check("cbBeep", 234, 16, 127, 14, "Beep on locked keys", 5,
                 "Beep on locked mouse and keyboard keys ");
  cbMini = check("cbMini", 234, 40, 169, 17, "Minimize Windows when lock", 8);
  Label5 = Place<gui::TLabel>(this, "Label5", tsLock, 233, 78, 25, 13, "Wait:");
  spIdle = Place<gui::TSpinEdit>(this, "spIdle", tsLock, 263, 69, 49, 22, "", 7);
  spIdle->ParseText = rules::IdleFromText;
  spIdle->AcceptChar = rules::IsIdleCharAccepted;
  spIdle->SetRange(rules::IdleMinimum, rules::IdleMaximum);
  Label4 = Place<gui::TLabel>(this, "Label4", tsLock, 312, 78, 42, 13, "Seconds");
  cbIdle = check("cbIdle", 356, 74, 99, 17, "On resume,lock", 6);
  CreateMorePage();

  StatusBar = Place<gui::TStatusBar>(this, "StatusBar", this, 0, 235, 471, 19);

  // Every window now, parents first; the previews stay hidden.
  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<gui::TWinControl*>(Components(i));
    if (!control || control == ImageLocked || control == ImageUnlocked) continue;
    if (dynamic_cast<gui::TTabSheet*>(control)) {
      control->Handle();
    } else {
      control->SetVisible(true);
    }
  }
  ImageLocked->Handle();
  ImageUnlocked->Handle();
  // Captions wider in the font than their places keep off their neighbours.
  ArrangeGrownControls();
  UpdateTabOrder();
  UpdateHints();
  SetActiveControl(HotKeyUnLock);

  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnClose = [this](TComponent* s, gui::TCloseAction& a) { FormClose(s, a); };
}

void TFormOptions::CreateMorePage() {
  auto label = [&](const char* name, int left, int top, int width, const char* caption) {
    return Place<gui::TLabel>(this, name, tsMore, left, top, width, 13, caption);
  };
  auto button = [&](const char* name, int left, const char* caption, int tabOrder,
                    const char* hint) {
    auto* b = Place<gui::TBitBtn>(this, name, tsMore, left, 8, 75, 25, caption, tabOrder);
    b->SetHint(hint);
    return b;
  };
  lPassword = label("lPassword", 13, 14, 85, "Unlock password:");
  lPasswordState = label("lPasswordState", 110, 14, 110, "");
  btnSetPassword = button("btnSetPassword", 234, "Set...", 0,
                          "Type a password that unlocks the locked keyboard");
  btnSetPassword->OnClick = [this](TComponent* s) { btnSetPasswordClick(s); };
  btnClearPassword = button("btnClearPassword", 315, "Clear", 1, "Unlock by hot key only");
  btnClearPassword->OnClick = [this](TComponent* s) { btnClearPasswordClick(s); };

  // A whole number of seconds or minutes within the settings' range.
  auto spin = [&](const char* name, int top, int tabOrder, const char* hint, int minimum,
                  int maximum) {
    auto* edit = Place<gui::TSpinEdit>(this, name, tsMore, 110, top, 49, 22, "", tabOrder);
    edit->SetHint(hint);
    edit->AcceptChar = rules::IsIdleCharAccepted;
    edit->SetRange(minimum, maximum);
    return edit;
  };
  lCleaning = label("lCleaning", 13, 46, 85, "Cleaning lock:");
  spCleaning = spin(
      "spCleaning", 40, 2, "Seconds that Lock for Cleaning locks keyboard and mouse (5 to 600)",
      settings::TMoreSettings::CleaningSecondsMin, settings::TMoreSettings::CleaningSecondsMax);
  lCleaningSeconds = label("lCleaningSeconds", 163, 46, 42, "Seconds");
  lCleaning->SetFocusControl(spCleaning);
  cbDarkenWhileCleaning = Place<gui::TCheckBox>(this, "cbDarkenWhileCleaning", tsMore, 220, 44, 200,
                                                17, "Darken the screens while cleaning", 3);
  cbDarkenWhileCleaning->SetHint("Lock for Cleaning turns every monitor black until it ends");

  cbLongestLock =
      Place<gui::TCheckBox>(this, "cbLongestLock", tsMore, 13, 74, 95, 17, "Longest lock:", 4);
  cbLongestLock->SetHint("Any lock ends by itself after this many minutes");
  cbLongestLock->OnClick = [this](TComponent*) {
    spLongestLock->SetEnabled(FHost.More && cbLongestLock->Checked());
  };
  spLongestLock =
      spin("spLongestLock", 70, 5, "Minutes after which any lock ends by itself (1 to 1440)",
           settings::TMoreSettings::LongestLockMinutesMin,
           settings::TMoreSettings::LongestLockMinutesMax);
  lLongestMinutes = label("lLongestMinutes", 163, 76, 42, "Minutes");

  cbMediaKeysThrough = Place<gui::TCheckBox>(this, "cbMediaKeysThrough", tsMore, 220, 74, 230, 17,
                                             "Let media and volume keys through", 6);
  cbMediaKeysThrough->SetHint(
      "While locked, play, pause, stop, next, previous and volume still work (not while cleaning)");

  cbStartWithWindows = Place<gui::TCheckBox>(this, "cbStartWithWindows", tsMore, 13, 100, 150, 17,
                                             "Start with Windows", 7);
  cbStartWithWindows->SetHint("Start Quellane when you log on to Windows");
  cbPawGuard = Place<gui::TCheckBox>(this, "cbPawGuard", tsMore, 220, 100, 230, 17,
                                     "Lock when paws walk on the keyboard", 8);
  cbPawGuard->SetHint("Lock when five keys are held at once or over 25 are pressed in a second");
}

void TFormOptions::ShowPasswordState() {
  lPasswordState->SetCaption(FPendingPassword.empty() ? "None" : "Set");
  btnClearPassword->SetEnabled(FHost.More && !FPendingPassword.empty());
}

void TFormOptions::btnSetPasswordClick(TComponent*) {
  if (!FHost.More || !FHost.Hasher) return;
  std::string password = AskNewPassword(this);
  if (password.empty()) return;
  const auto stored = rules::MakeStoredPassword(password, *FHost.Hasher);
  for (char& c : password) c = 0;
  if (!stored) {
    gui::ShowMessageBox(Handle(), "The password could not be kept: the system refused to hash it.",
                        "Quellane Error", MB_OK | MB_ICONERROR);
    return;
  }
  FPendingPassword = *stored;
  ShowPasswordState();
}

void TFormOptions::btnClearPasswordClick(TComponent*) {
  FPendingPassword.clear();
  ShowPasswordState();
}

void TFormOptions::FormCreate(TComponent*) {
  SetModalResult(gui::mrNone);
  gui::Application()->OnHint = [this](TComponent*) { ShowApplicationHint(); };
  LoadFromSettings();
}

void TFormOptions::FormClose(TComponent*, gui::TCloseAction& action) {
  gui::Application()->OnHint = nullptr;
  action = gui::TCloseAction::Free;
}

void TFormOptions::WndProc(gui::TMessage& message) {
  // Escape (the dialog keys' IDCANCEL) is the close box.
  if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == IDCANCEL && message.LParam == 0) {
    Close();
    message.Result = 0;
    return;
  }
  gui::TForm::WndProc(message);
}

void TFormOptions::LoadFromSettings() {
  TLockSettings& s = *FHost.Settings;
  cbKeyboard->SetChecked(s.GetBool(SLOT_LOCK_KEYBOARD));
  cbMouseMove->SetChecked(s.GetBool(SLOT_LOCK_MOUSE_MOVE));
  cbMouseButtons->SetChecked(s.GetBool(SLOT_LOCK_MOUSE_BTN));
  cmMouseWheel->SetChecked(s.GetBool(SLOT_LOCK_MOUSE_WHEEL));
  cbIdle->SetChecked(s.GetBool(SLOT_CHECK_IDLE));
  cbMini->SetChecked(s.GetBool(SLOT_CHECK_MINI));
  spIdle->SetValue(s.Values[SLOT_EDIT_IDLE]);
  FHost.IdleLock->IdleLimit = spIdle->Value();
  FHost.IdleLock->IdleLockEnabled = cbIdle->Checked();
  // The low-level mouse hook exists on NT only.
  const bool nt = IsNtPlatform();
  cbMouseMove->SetEnabled(nt);
  cbMouseButtons->SetEnabled(nt);
  cmMouseWheel->SetEnabled(nt);
  HotKeyLock->SetHotKey(rules::HotKeyFromShortcut(rules::HotKeyOfSlot(s.Values[SLOT_KEY_LOCK])));
  HotKeyUnLock->SetHotKey(
      rules::HotKeyFromShortcut(rules::HotKeyOfSlot(s.Values[SLOT_KEY_UNLOCK])));
  cbScreenSaverOff->SetChecked(s.GetBool(SLOT_SCREEN_SAVER_OFF));
  cbBeep->SetChecked(s.GetBool(SLOT_DO_BEEP));
  SetLockedImage(s.Values[SLOT_LOCKED_IMAGE]);
  SetUnlockedImage(s.Values[SLOT_UNLOCKED_IMAGE]);

  const TMoreSettings more = FHost.More ? *FHost.More : TMoreSettings{};
  FPendingPassword = more.Password;
  spCleaning->SetValue(more.CleaningSeconds);
  cbLongestLock->SetChecked(more.LongestLockMinutes > 0);
  spLongestLock->SetValue(more.LongestLockMinutes > 0 ? more.LongestLockMinutes : 60);
  cbStartWithWindows->SetChecked(more.StartWithWindows);
  cbDarkenWhileCleaning->SetChecked(more.DarkenWhileCleaning);
  cbMediaKeysThrough->SetChecked(more.MediaKeysThrough);
  cbPawGuard->SetChecked(more.PawGuard);
  for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
           btnSetPassword, spCleaning, cbDarkenWhileCleaning, cbLongestLock, spLongestLock,
           cbStartWithWindows, cbMediaKeysThrough, cbPawGuard})
    c->SetEnabled(FHost.More != nullptr && (c != btnSetPassword || FHost.Hasher != nullptr));
  spLongestLock->SetEnabled(FHost.More && cbLongestLock->Checked());
  ShowPasswordState();
}

void TFormOptions::StoreToSettings() {
  TLockSettings& s = *FHost.Settings;
  s.SetBool(SLOT_LOCK_KEYBOARD, cbKeyboard->Checked());
  s.SetBool(SLOT_LOCK_MOUSE_MOVE, cbMouseMove->Checked());
  s.SetBool(SLOT_LOCK_MOUSE_BTN, cbMouseButtons->Checked());
  s.SetBool(SLOT_LOCK_MOUSE_WHEEL, cmMouseWheel->Checked());
  s.SetBool(SLOT_CHECK_IDLE, cbIdle->Checked());
  s.SetBool(SLOT_CHECK_MINI, cbMini->Checked());
  s.Values[SLOT_EDIT_IDLE] = spIdle->Value();
  FHost.IdleLock->IdleLimit = s.Values[SLOT_EDIT_IDLE];
  FHost.IdleLock->IdleLockEnabled = cbIdle->Checked();
  s.Values[SLOT_KEY_LOCK] = rules::ShortcutFromHotKey(HotKeyLock->HotKey());
  s.Values[SLOT_KEY_UNLOCK] = rules::ShortcutFromHotKey(HotKeyUnLock->HotKey());
  s.SetBool(SLOT_SCREEN_SAVER_OFF, cbScreenSaverOff->Checked());
  s.SetBool(SLOT_DO_BEEP, cbBeep->Checked());
  s.Values[SLOT_LOCKED_IMAGE] = LockedImageIndex;
  s.Values[SLOT_UNLOCKED_IMAGE] = UnlockedImageIndex;

  if (TMoreSettings* more = FHost.More) {
    more->Password = FPendingPassword;
    more->CleaningSeconds = spCleaning->Value();
    more->LongestLockMinutes = cbLongestLock->Checked() ? spLongestLock->Value() : 0;
    more->StartWithWindows = cbStartWithWindows->Checked();
    more->DarkenWhileCleaning = cbDarkenWhileCleaning->Checked();
    more->MediaKeysThrough = cbMediaKeysThrough->Checked();
    more->PawGuard = cbPawGuard->Checked();
  }
}

void TFormOptions::ShowApplicationHint() { StatusBar->SetSimpleText(gui::Application()->Hint()); }

void TFormOptions::CopyImage(int index, gui::TImage* image) {
  image->Picture().SetSize(FHost.Images->Width(), FHost.Images->Height(),
                           GetSysColor(COLOR_BTNFACE));
  {
    gui::BitmapCanvas canvas(image->Picture());
    FHost.Images->Draw(canvas.Handle(), 0, 0, index);
  }
  image->Changed();
}

void TFormOptions::SetLockedImage(int index) {
  LockedImageIndex = rules::ClampImageIndex(index, FHost.Images->Count());
  CopyImage(LockedImageIndex, ImageLocked);
}

void TFormOptions::SetUnlockedImage(int index) {
  UnlockedImageIndex = rules::ClampImageIndex(index, FHost.Images->Count());
  CopyImage(UnlockedImageIndex, ImageUnlocked);
}

bool TFormOptions::ConfigurationLockable() {
  if (rules::IsConfigurationLockable(cbKeyboard->Checked(), cbMouseButtons->Checked(),
                                     cbMouseMove->Checked(),
                                     rules::ShortcutFromHotKey(HotKeyUnLock->HotKey()))) {
    return true;
  }
  // The box belongs to the application window, which is not topmost: the
  // dialog steps down while it is shown, or it would cover the box. The box
  // is modal to every window of the program, this dialog and the tray icon
  // included. The modal result is left as it is: the dialog stays open
  // unless something closed it before or while the box was up.
  SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  gui::ShowProgramModalBox(gui::Application()->Handle(), rules::NeedUnlockHotKeyText,
                           rules::InvalidConfigurationCaption, MB_OK | MB_TASKMODAL | MB_TOPMOST);
  if (StayOnTop())
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The box's owner is hidden: the activation comes back here.
  if (IsWindowVisible(Handle()) && ModalResult() == gui::mrNone) SetActiveWindow(Handle());
  return false;
}

void TFormOptions::acApplyExecute(TComponent*) {
  if (!ConfigurationLockable()) return;
  StoreToSettings();
  SetModalResult(gui::mrOk);
}

void TFormOptions::acLockNowExecute(TComponent*) {
  if (!ConfigurationLockable()) return;
  StoreToSettings();
  if (FHost.MinimizeOnLock && *FHost.MinimizeOnLock && FHost.MinimizeAllWindows)
    FHost.MinimizeAllWindows();
  if (FHost.Lock) FHost.Lock();
  SetModalResult(gui::mrCancel);
}

void TFormOptions::acCancelExecute(TComponent*) { SetModalResult(gui::mrCancel); }

}  // namespace quell::ui
