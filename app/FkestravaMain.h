// The program's hidden main form: the tray icon, its menu and actions, the
// binding to quellhook.dll, the lock and unlock sequence, the library's
// notifications, the idle lock and the Task Manager closer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Controller.h"
#include "ControllerRules.h"
#include "Form.h"
#include "HookBinding.h"
#include "IdleLock.h"
#include "ImageList.h"
#include "MenuPainter.h"
#include "Menus.h"
#include "PasswordWatcher.h"
#include "Properties.h"
#include "SystemPasswordHasher.h"
#include "TimedLock.h"
#include "Timer.h"
#include "TrayIcon.h"
#include "UnlockPassword.h"

namespace quell::app {

using rules::TIdleConditions;
using rules::TIdleLock;
using rules::TIdleStep;

enum class TNotice { Running, Locked, Unlocked };

class TFormKestravaMain : public gui::TForm {
 public:
  // `controller` outlives the form.
  TFormKestravaMain(gui::TComponent* owner, TController& controller);
  ~TFormKestravaMain() override;

  gui::TImageList* ImageList;
  gui::TActionList* ActionList;
  gui::TAction* acOptions;
  gui::TAction* acExit;
  gui::TAction* acLock;
  gui::TAction* acUnlock;
  gui::TAction* acCleanLock;
  gui::TPopupMenu* pmTrayIcon;
  gui::TMenuItem* pmiLockComputer;
  gui::TMenuItem* pmiLockForCleaning;
  gui::TMenuItem* pmiUnlock;
  gui::TMenuItem* pmiN1;
  gui::TMenuItem* pmiOptions;
  gui::TMenuItem* pmiN2;
  gui::TMenuItem* Homewebsite1;
  gui::TMenuItem* HelpTopic1;
  gui::TMenuItem* Home1;
  gui::TMenuItem* N1;
  gui::TMenuItem* pmiExit;
  gui::TTimer* TimerTaskMgrHide;
  gui::TTimer* Timer1;
  gui::TTimer* TimerTimedLock;

  // Runs the options dialog modally (the part of the options command
  // between switching the hot keys off and handing the settings back).
  std::function<void()> OnRunOptionsDialog;

  // Lock and unlock, also called directly by the command line, the requests
  // of a second instance and the options dialog's "Lock Now".
  void acLockExecute(gui::TComponent* sender);
  void acUnlockExecute(gui::TComponent* sender);
  void acOptionsExecute(gui::TComponent* sender);
  // Locks keyboard and mouse for the cleaning seconds of the settings.
  void acCleanLockExecute(gui::TComponent* sender);
  void MinimizeAllWindows();

  bool BindHookLibrary(bool showErrors);
  void ApplySettings();
  const THookBinding& Hook() const { return FHook; }
  TController& Controller() const { return FController; }
  rules::TPasswordHasher& PasswordHasher() { return FHasher; }
  ui::TTrayIcon* TrayIcon() const { return FTrayIcon; }
  ui::TMenuPainter* MenuPainter() const { return FMenuPainter; }
  // Whether the options dialog is open (the options command sets it).
  bool OptionsOpen() const { return FOptionsOpen; }

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void WndProc(gui::TMessage& message) override;

 private:
  void FormCreate(gui::TComponent* sender);
  void FormShow(gui::TComponent* sender);
  void FormClose(gui::TComponent* sender, gui::TCloseAction& action);
  void FormDestroy(gui::TComponent* sender);
  void CreateMenuPainter();
  void ProcessCommandLine();
  void ShowCommandLineHelp(HWND owner);

  void acLockUpdate(gui::TComponent* sender);
  void acUnlockUpdate(gui::TComponent* sender);
  void acCleanLockUpdate(gui::TComponent* sender);
  void acExitExecute(gui::TComponent* sender);
  void SetLocked(bool lock);
  void UpdateLockState();
  void SetTrayImage(bool locked);
  void ShowNotice(TNotice kind);
  void TrayIconClick(gui::TComponent* sender, gui::TMouseButton button, gui::TShiftState shift,
                     int x, int y);
  void TrayIconDblClick(gui::TComponent* sender, gui::TMouseButton button, gui::TShiftState shift,
                        int x, int y);

  void WMHookNotify(gui::TMessage& message);
  void ActivateInstance();
  void CloseTaskManager();
  void Timer1Timer(gui::TComponent* sender);
  void TimerTaskMgrHideTimer(gui::TComponent* sender);
  void TimerTimedLockTimer(gui::TComponent* sender);
  // Starts and ends what goes with a lock: the limits, the typed keys.
  void FollowLockState(bool locked);
  void BeginTimedLock(bool cleaning);
  // The password to match and the Run entry, from the settings.
  void ApplyMoreSettings(bool startWithWindowsBefore);
  void ShowPasswordDamagedNotice();
  void ForgetTypedKeys();
  // The watcher's post: the keys typed in lock `generation` ended with the
  // password.
  void PasswordMatched(WPARAM generation);
  // Posted by the password watcher when the keys typed end with the password.
  static constexpr UINT kPasswordMatchMessage = WM_APP + 14;
  void HelpTopic1Click(gui::TComponent* sender);
  void Home1Click(gui::TComponent* sender);
  bool IsLocked();

  TController& FController;
  THookBinding FHook;
  ui::TTrayIcon* FTrayIcon = nullptr;
  ui::TMenuPainter* FMenuPainter = nullptr;
  TTaskManagerCloser FTaskManagerCloser;
  rules::TTimedLock FTimedLock;
  TSystemPasswordHasher FHasher;  // for the options dialog's new passwords
  // Made with the first password; forgets the typed keys at every lock and
  // unlock.
  std::unique_ptr<TPasswordWatcher> FPasswordWatcher;
  // A cleaning lock is running or being made: keyboard and mouse are
  // locked whatever the settings say, until it ends.
  bool FCleaningLock = false;
  bool FLockFollowed = false;  // the lock state FollowLockState last saw
  bool FOptionsOpen = false;
  bool FClosed = false;  // the main form has closed: nothing binds again
};

}  // namespace quell::app
