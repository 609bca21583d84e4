// The options dialog: the hot keys and the lock options, kept (Save),
// dropped (Cancel) or kept and locked at once (Lock Now). It works on the
// in-memory settings record and never writes the settings file itself; it
// frees itself when it closes.
#pragma once

#include <functional>

#include "gui/core/Action.h"
#include "gui/ComCtrls.h"
#include "rules/IdleLock.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "settings/Properties.h"
#include "gui/StdCtrls.h"
#include "rules/UnlockPassword.h"

namespace quell::ui {

// What the dialog uses of the program.
struct TOptionsHost {
  settings::TLockSettings* Settings = nullptr;
  rules::TIdleLock* IdleLock = nullptr;  // IdleLimit and IdleLockEnabled are written
  const bool* MinimizeOnLock = nullptr;  // read by Lock Now
  gui::TImageList* Images = nullptr;     // the controller's: the image indexes stay within it
  std::function<void()> MinimizeAllWindows;
  std::function<void()> Lock;  // the controller's lock handler, run directly
  // The settings of the "More" page, and the hashing a new password needs;
  // without them the page is shown disabled.
  settings::TMoreSettings* More = nullptr;
  rules::TPasswordHasher* Hasher = nullptr;
};

class TFormOptions : public gui::TForm {
 public:
  TFormOptions(gui::TComponent* owner, TOptionsHost host);

  gui::TPanel* PanelButtons;
  gui::TBitBtn* BitBtnLockNow;
  gui::TBitBtn* BitBtnApply;
  gui::TBitBtn* BitBtnCancel;
  gui::TPageControl* PageControl;
  gui::TTabSheet* tsHotKeys;
  gui::TLabel* lHotKeyUnLock;
  gui::THotKey* HotKeyUnLock;
  gui::TLabel* lHotKeyLock;
  gui::THotKey* HotKeyLock;
  gui::TLabel* Label1;
  gui::TImage* ImageLocked;
  gui::TImage* ImageUnlocked;
  gui::TTabSheet* tsLock;
  gui::TCheckBox* cbKeyboard;
  gui::TCheckBox* cbMouseButtons;
  gui::TCheckBox* cmMouseWheel;
  gui::TCheckBox* cbMouseMove;
  gui::TCheckBox* cbScreenSaverOff;
  gui::TCheckBox* cbBeep;
  gui::TCheckBox* cbMini;
  gui::TLabel* Label5;
  gui::TSpinEdit* spIdle;
  gui::TLabel* Label4;
  gui::TCheckBox* cbIdle;
  gui::TTabSheet* tsMore;
  gui::TLabel* lPassword;
  gui::TLabel* lPasswordState;
  gui::TBitBtn* btnSetPassword;
  gui::TBitBtn* btnClearPassword;
  gui::TLabel* lCleaning;
  gui::TSpinEdit* spCleaning;
  gui::TLabel* lCleaningSeconds;
  gui::TCheckBox* cbDarkenWhileCleaning;
  gui::TCheckBox* cbLongestLock;
  gui::TSpinEdit* spLongestLock;
  gui::TLabel* lLongestMinutes;
  gui::TCheckBox* cbStartWithWindows;
  gui::TCheckBox* cbMediaKeysThrough;
  gui::TCheckBox* cbPawGuard;
  gui::TStatusBar* StatusBar;
  gui::TActionList* ActionList;
  gui::TImageList* ImageList;
  gui::TAction* acLockNow;
  gui::TAction* acApply;
  gui::TAction* acCancel;

  int LockedImageIndex = 0;
  int UnlockedImageIndex = 0;

  void LoadFromSettings();
  void StoreToSettings();
  void ShowApplicationHint();
  void SetLockedImage(int index);
  void SetUnlockedImage(int index);

  void acApplyExecute(gui::TComponent* sender);
  void acCancelExecute(gui::TComponent* sender);
  void acLockNowExecute(gui::TComponent* sender);
  void btnSetPasswordClick(gui::TComponent* sender);
  void btnClearPasswordClick(gui::TComponent* sender);
  // The stored form that Save keeps (the password set or cleared on the
  // page, or the one the settings had).
  const std::string& PendingPassword() const { return FPendingPassword; }

 protected:
  void WndProc(gui::TMessage& message) override;

 private:
  void FormCreate(gui::TComponent* sender);
  void FormClose(gui::TComponent* sender, gui::TCloseAction& action);
  // The configuration test of Save and Lock Now: false (after telling the
  // user) when the keyboard and the mouse would be locked with no way out.
  bool ConfigurationLockable();
  void CopyImage(int index, gui::TImage* image);
  void CreateMorePage();
  void ShowPasswordState();

  TOptionsHost FHost;
  std::string FPendingPassword;
};

}  // namespace quell::ui
