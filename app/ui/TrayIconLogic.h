// The decisions of the tray icon that need no window: which events a shell
// callback raises, when a click is delivered, what the tip says, which image
// is shown. TTrayIcon (TrayIcon.h) wires them to the shell and the timers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gui/core/Events.h"

namespace quell::ui {

using gui::TMouseButton;
using gui::TShiftState;

// How the application shows itself around the tray icon (a 16-bit set).
using TTrayVisibilities = std::uint16_t;
inline constexpr TTrayVisibilities tvVisibleTaskBar = 0x0001;
inline constexpr TTrayVisibilities tvVisibleTaskList = 0x0002;
inline constexpr TTrayVisibilities tvAutoHide = 0x0004;
inline constexpr TTrayVisibilities tvAutoHideIcon = 0x0008;
inline constexpr TTrayVisibilities tvVisibleDesign = 0x0010;
inline constexpr TTrayVisibilities tvRestoreClick = 0x0020;
inline constexpr TTrayVisibilities tvRestoreDbClick = 0x0040;
inline constexpr TTrayVisibilities tvMinimizeClick = 0x0080;
inline constexpr TTrayVisibilities tvMinimizeDbClick = 0x0100;

// Text limits of the shell's icon record, without the terminating zero.
inline constexpr std::size_t kTipChars = 127;
inline constexpr std::size_t kBalloonTextChars = 255;
inline constexpr std::size_t kBalloonTitleChars = 63;

// Shell versions are the file version's high word pair: 0x00050000 is 5.0.
bool ShellSupportsBalloons(std::uint32_t shellVersion);

// The part of a hint before its first '|', or all of it.
std::string ShortHint(std::string_view hint);
// The hint as the component stores it: on a shell older than 5.0, which shows
// single-line tips only, each CR LF pair becomes " - ".
std::string StoredHint(std::string_view hint, std::uint32_t shellVersion);
// Copies at most `capacity - 1` characters and always terminates.
void CopyCut(char* destination, std::size_t capacity, std::string_view text);

// Where the picture in the notification area comes from.
enum class ShownIconSource { ImageListEntry, ApplicationIcon, OwnIcon };
ShownIconSource ChooseShownIcon(bool hasImageList, int imageCount, int iconIndex, bool iconEmpty);

// What a callback message from the shell (its LParam) asks for.
enum class TrayCallback {
  MouseMove,
  MouseDown,
  MouseUp,
  DoubleClick,
  BalloonHide,
  BalloonTimeout,
  BalloonClick,
  Ignored
};
struct TrayCallbackAction {
  TrayCallback kind;
  TMouseButton button;
};
TrayCallbackAction ClassifyTrayCallback(std::uint32_t lParam);

// The uFlags of each write of the icon record. An add and a balloon carry
// the balloon fields (NIF_INFO); a change of the picture or of the tip sends
// only the callback message, the icon and the tip, so that a balloon shown
// once is never shown again by a later change.
enum class TrayWrite { Add, Icon, Tip, Balloon };
std::uint32_t TrayWriteFlags(TrayWrite write);

// Adding the icon fails while the shell's notification area is not ready
// (at logon): the add is tried again after a delay that starts at
// kFirstDelayMs and doubles with each failure up to kLongestDelayMs, until
// it succeeds (a "TaskbarCreated" announcement also tries at once).
class TrayAddRetry {
 public:
  static constexpr unsigned kFirstDelayMs = 500;
  static constexpr unsigned kLongestDelayMs = 8000;
  // Records a failed add; answers the delay before the next try.
  unsigned Failed();
  // The entry is in the notification area (or no longer wanted).
  void Reset() { FFailures = 0; }
  int Failures() const { return FFailures; }

 private:
  int FFailures = 0;
};

// dwInfoFlags for a balloon kind 0..3 (none, error, info, warning).
std::uint32_t BalloonInfoFlags(int kind);
// Whether a balloon shown `elapsedMs` ago with a delay of `delaySeconds`
// whole seconds has outlived it (whole seconds, truncated, must exceed it).
bool BalloonOutlived(std::int64_t elapsedMs, int delaySeconds);
// The next frame of an animation over `count` images; a negative index
// starts at 0. Only called with count > 0.
int NextAnimationFrame(int iconIndex, int count);

struct TrayMouse {
  TMouseButton button = TMouseButton::Left;
  TShiftState shift = 0;
  int x = 0;
  int y = 0;
};

// What the click pipeline needs of the component around it.
class TrayClickHost {
 public:
  virtual unsigned DoubleClickTime() = 0;
  virtual void MouseDownEvent(const TrayMouse& mouse) = 0;
  virtual void MouseUpEvent(const TrayMouse& mouse) = 0;
  // Runs OnDblClick; false when none is assigned.
  virtual bool DoubleClickEvent(const TrayMouse& mouse) = 0;
  virtual void ClickEvent(const TrayMouse& mouse) = 0;
  enum class Menu { Popup, DropDown };
  // Whether the menu is set; TrackMenu makes the tray window foreground,
  // tracks the menu at (x, y) and posts WM_NULL after it closed.
  virtual bool HasMenu(Menu menu) = 0;
  virtual void TrackMenu(Menu menu, int x, int y) = 0;
  virtual void ClickDefaultItem() = 0;
  virtual bool ApplicationShown() = 0;
  virtual TTrayVisibilities CurrentVisibility() = 0;
  virtual void ChangeVisibility(TTrayVisibilities visibility) = 0;

 protected:
  ~TrayClickHost() = default;
};

// A press does not act at once: the click is delivered one double-click time
// after the press unless a double click came first. The timer is the
// component's one-shot click timer.
class TrayClickPipeline {
 public:
  TrayClickPipeline(TrayClickHost& host, gui::TimerControl& clickTimer)
      : FHost(host), FTimer(clickTimer) {}

  void MouseDown(const TrayMouse& mouse);
  void MouseUp(const TrayMouse& mouse);
  void DoubleClick(const TrayMouse& mouse);
  void ClickTimerExpired();
  void Click(const TrayMouse& mouse);

  bool DoubleClicked() const { return FDoubleClicked; }
  const TrayMouse& PendingClick() const { return FPending; }

 private:
  TrayClickHost& FHost;
  gui::TimerControl& FTimer;
  bool FDoubleClicked = false;
  TrayMouse FPending;
};

}  // namespace quell::ui
