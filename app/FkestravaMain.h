// The program's hidden main form: the tray icon, its menu and actions, the
// timers and the dialogs. What they do is the lock controller's: the form
// hands it every event and shows what it is told.
#pragma once

#include "ui/FOptions.h"
#include "ui/InputShield.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "controller/LockController.h"
#include "ui/MenuPainter.h"
#include "ui/ProgramMenu.h"
#include "system/SystemPasswordHasher.h"
#include "gui/Timer.h"
#include "ui/TrayIcon.h"

namespace quell::app {

class TFormKestravaMain : public gui::TForm, private TControllerView {
 public:
  // `controller` outlives the form.
  TFormKestravaMain(gui::TComponent* owner, TLockController& controller);
  ~TFormKestravaMain() override;

  gui::TImageList* ImageList;
  ui::TProgramMenu Menu;  // the actions and the tray menu
  gui::TAction* acOptions;
  gui::TTimer* TimerTaskMgrHide;
  gui::TTimer* Timer1;
  gui::TTimer* TimerTimedLock;
  gui::TTimer* TimerHookLook;

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void WndProc(gui::TMessage& message) override;

 private:
  void FormCreate(gui::TComponent* sender);
  void FormShow(gui::TComponent* sender);
  void FormClose(gui::TComponent* sender, gui::TCloseAction& action);
  void FormDestroy(gui::TComponent* sender);
  void HelpTopic1Click(gui::TComponent* sender);
  void Home1Click(gui::TComponent* sender);
  gui::TAction* ActionOf(TControllerAction action) const;

  // TControllerView
  TWindowId Window() override;
  void ShowTray() override;
  void SetTrayImage(int imageIndex) override;
  int ImageCount() override;
  void ShowNotice(const std::string& title, const std::string& text,
                  unsigned milliseconds) override;
  void ShowInputShield(TShieldLook look) override;
  void HideInputShield() override;
  void ShowBox(TControllerBox kind, const std::string& text, const std::string& caption) override;
  void SetActionEnabled(TControllerAction action, bool enabled) override;
  void SetActionShortCut(TControllerAction action, int shortcut) override;
  void SetActionImage(TControllerAction action, int imageIndex) override;
  void SetTimer(TControllerTimer timer, bool enabled) override;
  void RunOptionsDialog() override;
  void BringProgramToFront() override;
  void BringOptionsToFront() override;
  void SetTaskbarButton(bool shown) override;
  void ProcessMessages() override;
  void MinimizeAllWindows() override;
  void CloseMainForm() override;
  void PostCloseMainForm() override;

  TLockController& FController;
  ui::TTrayIcon* FTrayIcon = nullptr;
  ui::TMenuPainter* FMenuPainter = nullptr;
  ui::TInputShield* FInputShield = nullptr;  // made at the first lock that needs it
  TSystemPasswordHasher FHasher;             // for the options dialog's new passwords
  HWND FOptionsWindow = nullptr;             // the options dialog, while it is open
};

}  // namespace quell::app
