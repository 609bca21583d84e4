#include "TrayIconLogic.h"

#include <algorithm>

namespace quell::ui {

bool ShellSupportsBalloons(std::uint32_t shellVersion) { return shellVersion >= 0x00050000u; }

std::string ShortHint(std::string_view hint) { return std::string(hint.substr(0, hint.find('|'))); }

std::string StoredHint(std::string_view hint, std::uint32_t shellVersion) {
  if (ShellSupportsBalloons(shellVersion)) return std::string(hint);
  std::string stored;
  stored.reserve(hint.size());
  for (std::size_t i = 0; i < hint.size(); ++i) {
    if (hint[i] == '\r' && i + 1 < hint.size() && hint[i + 1] == '\n') {
      stored += " - ";
      ++i;
    } else {
      stored += hint[i];
    }
  }
  return stored;
}

void CopyCut(char* destination, std::size_t capacity, std::string_view text) {
  if (capacity == 0) return;
  const std::size_t n = std::min(text.size(), capacity - 1);
  std::copy_n(text.data(), n, destination);
  destination[n] = '\0';
}

ShownIconSource ChooseShownIcon(bool hasImageList, int imageCount, int iconIndex, bool iconEmpty) {
  if (hasImageList && iconIndex >= 0 && iconIndex < imageCount)
    return ShownIconSource::ImageListEntry;
  return iconEmpty ? ShownIconSource::ApplicationIcon : ShownIconSource::OwnIcon;
}

TrayCallbackAction ClassifyTrayCallback(std::uint32_t lParam) {
  using B = TMouseButton;
  switch (lParam) {
    case 0x200: return {TrayCallback::MouseMove, B::Left};
    case 0x201: return {TrayCallback::MouseDown, B::Left};
    case 0x204: return {TrayCallback::MouseDown, B::Right};
    case 0x207: return {TrayCallback::MouseDown, B::Middle};
    case 0x202: return {TrayCallback::MouseUp, B::Left};
    case 0x205: return {TrayCallback::MouseUp, B::Right};
    case 0x208: return {TrayCallback::MouseUp, B::Middle};
    case 0x203: return {TrayCallback::DoubleClick, B::Left};
    case 0x206: return {TrayCallback::DoubleClick, B::Right};
    case 0x209: return {TrayCallback::DoubleClick, B::Middle};
    case 0x401: return {TrayCallback::MouseUp, B::Right};  // NIN_KEYSELECT
    case 0x403: return {TrayCallback::BalloonHide, B::Left};
    case 0x404: return {TrayCallback::BalloonTimeout, B::Left};
    case 0x405: return {TrayCallback::BalloonClick, B::Left};
    default: return {TrayCallback::Ignored, B::Left};
  }
}

std::uint32_t TrayWriteFlags(TrayWrite write) {
  constexpr std::uint32_t kMessage = 0x01, kIcon = 0x02, kTip = 0x04, kInfo = 0x10;
  switch (write) {
    case TrayWrite::Add:
    case TrayWrite::Balloon: return kMessage | kIcon | kTip | kInfo;
    case TrayWrite::Icon:
    case TrayWrite::Tip: return kMessage | kIcon | kTip;
  }
  return kMessage | kIcon | kTip;
}

unsigned TrayAddRetry::Failed() {
  unsigned delay = kFirstDelayMs;
  for (int i = 0; i < FFailures && delay < kLongestDelayMs; ++i) delay *= 2;
  ++FFailures;
  return std::min(delay, kLongestDelayMs);
}

std::uint32_t BalloonInfoFlags(int kind) {
  switch (kind) {
    case 1: return 3;  // NIIF_ERROR
    case 2: return 1;  // NIIF_INFO
    case 3: return 2;  // NIIF_WARNING
    default: return 0;
  }
}

bool BalloonOutlived(std::int64_t elapsedMs, int delaySeconds) {
  return elapsedMs / 1000 > delaySeconds;
}

int NextAnimationFrame(int iconIndex, int count) {
  if (iconIndex < 0) return 0;
  return (iconIndex + 1) % count;
}

void TrayClickPipeline::MouseDown(const TrayMouse& mouse) {
  FDoubleClicked = false;
  FPending = mouse;
  // Interval, then enable: a timer already running with this interval keeps
  // its start, so a second press does not push the click further away.
  FTimer.SetInterval(FHost.DoubleClickTime());
  FTimer.SetEnabled(true);
  FHost.MouseDownEvent(mouse);
}

void TrayClickPipeline::MouseUp(const TrayMouse& mouse) { FHost.MouseUpEvent(mouse); }

void TrayClickPipeline::DoubleClick(const TrayMouse& mouse) {
  FDoubleClicked = true;
  FTimer.SetEnabled(false);
  if (FHost.DoubleClickEvent(mouse)) return;
  if (mouse.button != TMouseButton::Left) return;
  FHost.ClickDefaultItem();
  const TTrayVisibilities v = FHost.CurrentVisibility();
  if (FHost.ApplicationShown() && (v & tvMinimizeDbClick)) {
    FHost.ChangeVisibility(v & ~tvVisibleTaskBar);
  } else if (!FHost.ApplicationShown() && (v & tvRestoreDbClick)) {
    FHost.ChangeVisibility(v | tvVisibleTaskBar);
  }
}

void TrayClickPipeline::ClickTimerExpired() {
  FTimer.SetEnabled(false);
  if (!FDoubleClicked) Click(FPending);
}

void TrayClickPipeline::Click(const TrayMouse& clicked) {
  // A copy: the click handler may run a modal loop (a dialog) in which
  // further presses overwrite the pending click; what follows the handler
  // belongs to this click, not to a later one.
  const TrayMouse mouse = clicked;
  FHost.ClickEvent(mouse);
  using Menu = TrayClickHost::Menu;
  switch (mouse.button) {
    case TMouseButton::Right:
      if (FHost.HasMenu(Menu::Popup)) FHost.TrackMenu(Menu::Popup, mouse.x, mouse.y);
      break;
    case TMouseButton::Left: {
      if (FHost.HasMenu(Menu::DropDown)) FHost.TrackMenu(Menu::DropDown, mouse.x, mouse.y);
      const TTrayVisibilities v = FHost.CurrentVisibility();
      if (FHost.ApplicationShown() && (v & tvMinimizeClick)) {
        FHost.ChangeVisibility(v & ~tvVisibleTaskBar);
      } else if (!FHost.ApplicationShown() && (v & tvRestoreClick)) {
        FHost.ChangeVisibility(v | tvVisibleTaskBar);
      }
      break;
    }
    case TMouseButton::Middle: break;
  }
}

}  // namespace quell::ui
