// What the lock controller shows and asks of the windows: the main form
// implements it over its tray icon, actions, timers and dialogs.
#pragma once

#include <string>

#include "InputShield.h"
#include "LockLibrary.h"

namespace quell::app {

// The main form's actions whose state the controller sets.
enum class TControllerAction { Lock, Unlock, CleanLock };

// The controller's timers besides the idle timer, which always runs.
enum class TControllerTimer {
  TaskMgrHide,  // the Task Manager closer's look, once a second
  TimedLock,    // the timed locks' clock, while a lock is
};

// The message boxes the controller shows (each with its owner and icon).
enum class TControllerBox {
  BindingError,     // the library or an export is missing
  SettingsUnread,   // the settings file exists but cannot be read
  SaveError,        // the settings file could not be written
  CommandLineHelp,  // the list of switches
};

class TControllerView {
 public:
  virtual ~TControllerView() = default;

  // The main window: the library's notify window and the receiver of a
  // second instance's requests.
  virtual TWindowId Window() = 0;
  // Makes the tray icon with its menu and the menu's painter (the first
  // instance, once at start-up).
  virtual void ShowTray() = 0;
  virtual void SetTrayImage(int imageIndex) = 0;
  // The number of pictures the tray and the actions take their images from.
  virtual int ImageCount() = 0;
  // The notice in the corner, with the tray icon's picture.
  virtual void ShowNotice(const std::string& title, const std::string& text,
                          unsigned milliseconds) = 0;
  // The input shield over every monitor, top-most and never activated, below
  // the notice. Shown again it takes the new look and rises back above
  // other top-most windows; hidden, it is gone.
  virtual void ShowInputShield(TShieldLook look) = 0;
  virtual void HideInputShield() = 0;
  virtual void ShowBox(TControllerBox kind, const std::string& text,
                       const std::string& caption) = 0;

  virtual void SetActionEnabled(TControllerAction action, bool enabled) = 0;
  // Shortcut codes as the library compares them; 0 for none.
  virtual void SetActionShortCut(TControllerAction action, int shortcut) = 0;
  virtual void SetActionImage(TControllerAction action, int imageIndex) = 0;
  virtual void SetTimer(TControllerTimer timer, bool enabled) = 0;

  // The options dialog, modal, until it closes.
  virtual void RunOptionsDialog() = 0;
  // The program's window in front (the application window).
  virtual void BringProgramToFront() = 0;
  // The open options dialog in front, with the keyboard focus.
  virtual void BringOptionsToFront() = 0;
  // A taskbar button for the program (while the options are open) or none.
  virtual void SetTaskbarButton(bool shown) = 0;
  // Handles every message waiting in the queue.
  virtual void ProcessMessages() = 0;
  // Windows+M: every window of the desktop minimised.
  virtual void MinimizeAllWindows() = 0;
  // Closes the main form now (Exit), or once the queue gets to it (a
  // second instance that has done its part).
  virtual void CloseMainForm() = 0;
  virtual void PostCloseMainForm() = 0;
};

}  // namespace quell::app
