// The application object: the hidden application window (the program's
// taskbar presence), the main form, the message loop, the current hint, hooks
// on the application window's messages, and the exception reporter through
// which every exception from an event handler ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/core/Component.h"
#include "WindowBinding.h"
#include "gui/core/Events.h"
#include "Graphics.h"
#include "base/Handles.h"

namespace quell::gui {

class TForm;
class TMessageBoxes;
class TButtonTheme;

// Answers true when it consumed the message (no further processing).
using TWindowHook = std::function<bool(TMessage& message)>;
using TExceptionEvent = std::function<void(TComponent* sender, const std::string& what)>;

class TApplication : public TComponent, private TWindowReceiver {
 public:
  // One application object per program; made before any window of the layer.
  TApplication();
  ~TApplication() override;

  HWND Handle() const { return FWindow.get(); }
  HINSTANCE Instance() const { return FInstance; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string title);
  TIcon& Icon() { return FIcon; }

  // Sets the common controls up (visual styles through the manifest).
  void Initialize();

  TForm* MainForm() const { return FMainForm; }
  // The first form created with CreateForm becomes the main form.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = Create<T>(this, std::forward<Args>(args)...);
    if (!FMainForm) FMainForm = form;
    return form;
  }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool show) { FShowMainForm = show; }

  // Shows the main form if asked and dispatches messages until Terminate or
  // until the main form closes.
  void Run();
  // Dispatches one message, or waits for one after the idle work.
  void HandleMessage();
  // Dispatches every waiting message and returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return FTerminated; }

  void Minimize();
  void Restore();
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // The hint of the control under the pointer, refreshed while idle (the part
  // after '|', or all of it); OnHint runs whenever it changes.
  const std::string& Hint() const { return FHint; }
  void SetHint(std::string hint);
  TNotifyEvent OnHint;

  // Hooks see every message of the application window before it is handled.
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);

  // What the program's windows reach the system through, handed in by
  // whoever owns the application (a test, to see what would be shown);
  // nullptr gives the system's back. Each must outlive its use.
  void SetMessageBoxes(TMessageBoxes* boxes) { FMessageBoxes = boxes; }
  TMessageBoxes& MessageBoxes() const;
  void SetButtonTheme(TButtonTheme* theme) { FButtonTheme = theme; }
  TButtonTheme& ButtonTheme() const;

  // Reports the exception being handled (call from inside a catch block).
  // OnException replaces the default report, a message box with the text.
  void HandleException(TComponent* sender);
  TExceptionEvent OnException;

  // Wraps a handler body so that no exception leaves it.
  template <class F>
  void Guard(TComponent* sender, F&& body) noexcept {
    try {
      body();
    } catch (...) {
      HandleException(sender);
    }
  }

 private:
  friend class TForm;
  void ReceiveWindowMessage(HWND window, TMessage& message) override;
  void WndProc(HWND hwnd, TMessage& message);
  void Idle();
  void FormGone(TForm* form);
  void Notification(TComponent* component, TOperation operation) override;

  HINSTANCE FInstance;
  base::WindowHandle FWindow;
  std::string FTitle;
  TIcon FIcon;
  TForm* FMainForm = nullptr;
  TMessageBoxes* FMessageBoxes = nullptr;
  TButtonTheme* FButtonTheme = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  std::string FHint;
  struct Hook {
    int id;
    TWindowHook hook;
  };
  std::vector<Hook> FHooks;
  int FNextHookId = 1;
};

// The application object of the running program (null before one exists).
TApplication* Application();

// The layer's private window messages.
inline constexpr UINT CM_RELEASE = WM_APP + 0x3F00;
inline constexpr UINT CM_MENUCOMMAND = WM_APP + 0x3F01;

}  // namespace quell::gui
