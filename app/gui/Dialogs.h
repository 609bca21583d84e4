// Message dialogs. Every message box of the program goes through
// ShowMessageBox, and from there through the application's TMessageBoxes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Handles.h"

namespace quell::gui {

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// A modal box over all of the program's windows, owned by the active window
// or else the application window; the caption follows the kind ("Error",
// "Warning", "Information", "Confirm", or the application title). `buttons`
// are MB_OK, MB_OKCANCEL, MB_YESNO, ... Answers the modal result (mrOk, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons = MB_OK);

// The message boxes themselves: MessageBoxW of the UTF-8 texts, or what a
// test handed the application to see what would be shown.
class TMessageBoxes {
 public:
  virtual ~TMessageBoxes() = default;
  virtual int Show(HWND owner, const std::string& text, const std::string& caption, UINT flags) = 0;
};
TMessageBoxes& SystemMessageBoxes();

// A box through the application's TMessageBoxes (the system's when there
// is no application).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// While it lives, the windows of the program (every top-level window of this
// thread but `keep`) take no input: each enabled one is disabled. With
// `hiddenToo` the hidden ones are disabled as well (the tray icon's window,
// which then ignores the shell's clicks) and every tooltip is hidden and
// switched off, so that none stays over a box. The destructor puts back
// what it changed, for the windows that still exist.
class TDisabledProgramWindows {
 public:
  explicit TDisabledProgramWindows(HWND keep, bool hiddenToo);
  ~TDisabledProgramWindows();
  TDisabledProgramWindows(const TDisabledProgramWindows&) = delete;
  TDisabledProgramWindows& operator=(const TDisabledProgramWindows&) = delete;

 private:
  std::vector<HWND> FDisabled;
  std::vector<HWND> FTooltips;
};

// A message box modal to every window of the program, the hidden ones and
// the tray icon included, with no tooltip left above it.
int ShowProgramModalBox(HWND owner, const std::string& text, const std::string& caption,
                        UINT flags);

}  // namespace quell::gui
