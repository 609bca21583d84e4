// TTrayIcon: one icon in the notification area, kept there while Active
// (also across a restart of the taskbar), with a hidden window of its own for
// the shell's callbacks, delayed clicks, double clicks, a pop-up menu at the
// press position, balloons and animation, and the switches that hide or show
// the application around it.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Application.h"
#include "Component.h"
#include "Graphics.h"
#include "ImageList.h"
#include "Menus.h"
#include "Timer.h"
#include "TrayIconLogic.h"
#include "TrayShell.h"
#include "UtilityWindow.h"

namespace quell::ui {

using TAnimateEvent = std::function<void(gui::TComponent* sender, int imageIndex)>;

inline constexpr UINT WM_TRAYICON = WM_USER + 1;  // the icon's callback message
inline constexpr UINT kTrayIconId = 1;

class TTrayIcon : public gui::TComponent, private TrayClickHost, private gui::TWindowReceiver {
 public:
  explicit TTrayIcon(gui::TComponent* owner);
  ~TTrayIcon() override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  bool Animated() const { return animated_; }
  void SetAnimated(bool animated);
  // The owned icon; changing its picture (here or on the object) shows it.
  gui::TIcon& Icon() { return icon_; }
  void SetIcon(const gui::TIcon& icon) { icon_.Assign(icon); }
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int index);
  gui::TImageList* Icons() const { return icons_; }
  void SetIcons(gui::TImageList* icons);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  gui::TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(gui::TPopupMenu* menu);
  gui::TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(gui::TPopupMenu* menu);
  unsigned Delay() const { return delay_; }
  void SetDelay(unsigned milliseconds);
  bool Snap() const { return snap_; }
  void SetSnap(bool snap) { snap_ = snap; }
  TTrayVisibilities Visibility() const { return visibility_; }
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

  HWND TrayWindow() const { return trayWindow_; }
  UINT TaskbarCreatedMessage() const { return taskbarCreatedMessage_; }
  // The record handed to every Shell_NotifyIconA call.
  const NOTIFYICONDATAA& IconData() const { return data_; }
  const gui::TIcon& ShownIcon() const { return shownIcon_; }

 protected:
  void Loaded() override;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  void ReceiveWindowMessage(HWND window, gui::TMessage& message) override;
  void HandleTrayMessage(gui::TMessage& message);
  void MouseDispatch(gui::TMessage& message);
  void FireMouseMove(TShiftState shift, int x, int y);
  void UpdateTrayEntry();
  void SendTrayCommand(DWORD command);
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
  bool ApplicationShown() override { return applicationShown_; }
  TTrayVisibilities CurrentVisibility() override { return visibility_; }
  void ChangeVisibility(TTrayVisibilities visibility) override { SetVisibility(visibility); }

  NOTIFYICONDATAA data_{};
  bool active_ = false;
  bool animated_ = false;
  gui::TIcon icon_;
  gui::TIcon shownIcon_;
  int iconIndex_ = 0;
  gui::TImageList* icons_ = nullptr;
  std::string hint_;
  std::string lastHint_;
  gui::TPopupMenu* dropDownMenu_ = nullptr;
  gui::TPopupMenu* popupMenu_ = nullptr;
  unsigned delay_ = 100;
  bool snap_ = false;
  TTrayVisibilities visibility_ = 0;
  bool applicationShown_ = true;
  bool taskListShown_ = true;
  HWND trayWindow_ = nullptr;
  UINT taskbarCreatedMessage_ = 0;
  gui::TTimer* clickTimer_ = nullptr;
  gui::TTimer* balloonTimer_ = nullptr;
  gui::TTimer* animateTimer_ = nullptr;
  TrayClickPipeline pipeline_;
  std::uint64_t balloonShownAt_ = 0;
  int balloonSeconds_ = 0;
  int hookId_ = 0;
  gui::ModuleHandle kernel_;
  DWORD(WINAPI* registerServiceProcess_)(DWORD, DWORD) = nullptr;
};

}  // namespace quell::ui
