// TTrayIcon: one icon in the notification area, kept there while Active
// (also across a restart of the taskbar), with a hidden window of its own for
// the shell's callbacks, delayed clicks, double clicks, a pop-up menu at the
// press position, balloons and animation, and the switches that hide or show
// the application around it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "gui/Application.h"
#include "gui/core/Component.h"
#include "gui/Graphics.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/Timer.h"
#include "TrayIconLogic.h"
#include "TrayShell.h"
#include "gui/UtilityWindow.h"

namespace quell::ui {

using TAnimateEvent = std::function<void(gui::TComponent* sender, int imageIndex)>;

inline constexpr UINT WM_TRAYICON = WM_USER + 1;  // the icon's callback message
inline constexpr UINT kTrayIconId = 1;

class TTrayIcon : public gui::TComponent, private TrayClickHost, private gui::TWindowReceiver {
 public:
  // `shell` (the system's when null) outlives the icon.
  explicit TTrayIcon(gui::TComponent* owner, TTrayShell* shell = nullptr);
  ~TTrayIcon() override;

  bool Active() const { return FActive; }
  void SetActive(bool active);
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool animated);
  // The owned icon; changing its picture (here or on the object) shows it.
  gui::TIcon& Icon() { return FIcon; }
  void SetIcon(const gui::TIcon& icon) { FIcon.Assign(icon); }
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int index);
  gui::TImageList* Icons() const { return FIcons; }
  void SetIcons(gui::TImageList* icons);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint);
  gui::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(gui::TPopupMenu* menu);
  gui::TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(gui::TPopupMenu* menu);
  unsigned Delay() const { return FDelay; }
  void SetDelay(unsigned milliseconds);
  bool Snap() const { return FSnap; }
  void SetSnap(bool snap) { FSnap = snap; }
  TTrayVisibilities Visibility() const { return FVisibility; }
  void SetVisibility(TTrayVisibilities visibility);

  gui::TMouseEvent OnClick;
  gui::TMouseEvent OnDblClick;
  gui::TMouseEvent OnMouseDown;
  gui::TMouseEvent OnMouseUp;
  gui::TMouseMoveEvent OnMouseMove;
  TAnimateEvent OnAnimate;
  gui::TNotifyEvent OnBalloonShow;
  gui::TNotifyEvent OnBalloonHide;
  gui::TNotifyEvent OnBalloonClick;

  // Minimises and hides the application (its window and, with Snap, the
  // main form); RevealApplication shows it again.
  void ConcealApplication();
  void RevealApplication();

  // Kind 0 none, 1 error, 2 info, 3 warning. Needs shell 5.0 or later.
  void ShowBalloon(const std::string& title, const std::string& text, int kind = 0,
                   int delayMs = 5000, bool cancelPrevious = false);
  void CloseBalloon();

  HWND TrayWindow() const { return FTrayWindow.get(); }
  UINT TaskbarCreatedMessage() const { return FTaskbarCreatedMessage; }
  // The record handed to every Shell_NotifyIconA call.
  const NOTIFYICONDATAA& IconData() const { return FData; }
  const gui::TIcon& ShownIcon() const { return FShownIcon; }

 protected:
  void Loaded() override;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  void ReceiveWindowMessage(HWND window, gui::TMessage& message) override;
  void HandleTrayMessage(gui::TMessage& message);
  void MouseDispatch(gui::TMessage& message);
  void FireMouseMove(TShiftState shift, int x, int y);
  void UpdateTrayEntry();
  DWORD ShellVersion() { return FShell.Version(); }
  bool SendTrayCommand(DWORD command);
  void ResolveShownIcon();
  void SetShownIcon(const gui::TIcon& icon);
  void SetTip();
  void SetTaskListShown(bool shown);
  void SetApplicationShown(bool shown);
  bool ApplicationWindowHook(gui::TMessage& message);
  void InstallHook(bool install);
  void AnimateStep();
  template <class F>
  void Guarded(F&& body);

  // The click pipeline's view of this component.
  unsigned DoubleClickTime() override;
  void MouseDownEvent(const TrayMouse& mouse) override;
  void MouseUpEvent(const TrayMouse& mouse) override;
  bool DoubleClickEvent(const TrayMouse& mouse) override;
  void ClickEvent(const TrayMouse& mouse) override;
  bool HasMenu(Menu menu) override;
  void TrackMenu(Menu menu, int x, int y) override;
  void ClickDefaultItem() override;
  bool ApplicationShown() override { return FApplicationShown; }
  TTrayVisibilities CurrentVisibility() override { return FVisibility; }
  void ChangeVisibility(TTrayVisibilities visibility) override { SetVisibility(visibility); }

  NOTIFYICONDATAA FData{};
  bool FActive = false;
  bool FAnimated = false;
  gui::TIcon FIcon;
  gui::TIcon FShownIcon;
  int FIconIndex = 0;
  gui::TImageList* FIcons = nullptr;
  std::string FHint;
  std::string FLastHint;
  gui::TPopupMenu* FDropDownMenu = nullptr;
  gui::TPopupMenu* FPopupMenu = nullptr;
  unsigned FDelay = 100;
  bool FSnap = false;
  TTrayVisibilities FVisibility = 0;
  bool FApplicationShown = true;
  bool FTaskListShown = true;
  base::WindowHandle FTrayWindow;  // made by the constructor, released after unbinding
  UINT FTaskbarCreatedMessage = 0;
  TTrayShell& FShell;
  gui::TTimer* FClickTimer = nullptr;
  gui::TTimer* FBalloonTimer = nullptr;
  gui::TTimer* FAnimateTimer = nullptr;
  gui::TTimer* FAddTimer = nullptr;  // tries the add again while the shell is not ready
  TrayAddRetry FAddRetry;
  TrayClickPipeline FPipeline;
  std::uint64_t FBalloonShownAt = 0;
  int FBalloonSeconds = 0;
  int FHookId = 0;
  base::ModuleHandle FKernel;
  DWORD(WINAPI* FRegisterServiceProcess)(DWORD, DWORD) = nullptr;
};

}  // namespace quell::ui
