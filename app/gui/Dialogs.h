// Message dialogs. Every message box of the program goes through
// ShowMessageBox, which tests can replace to see what would be shown.
#pragma once

#include <functional>
#include <string>

#include "Handles.h"

namespace quell::gui {

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// A modal box over all of the program's windows, owned by the active window
// or else the application window; the caption follows the kind ("Error",
// "Warning", "Information", "Confirm", or the application title). `buttons`
// are MB_OK, MB_OKCANCEL, MB_YESNO, ... Answers the modal result (mrOk, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons = MB_OK);

// MessageBoxA, or the replacement a test installed.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

using MessageBoxFunction =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;
// Installs a replacement (empty: MessageBoxA again); answers the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction replacement);

}  // namespace quell::gui
