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
    case 0x200: return {TrayCallback::MouseMove, B::mbLeft};
    case 0x201: return {TrayCallback::MouseDown, B::mbLeft};
    case 0x204: return {TrayCallback::MouseDown, B::mbRight};
    case 0x207: return {TrayCallback::MouseDown, B::mbMiddle};
    case 0x202: return {TrayCallback::MouseUp, B::mbLeft};
    case 0x205: return {TrayCallback::MouseUp, B::mbRight};
    case 0x208: return {TrayCallback::MouseUp, B::mbMiddle};
    case 0x203: return {TrayCallback::DoubleClick, B::mbLeft};
    case 0x206: return {TrayCallback::DoubleClick, B::mbRight};
    case 0x209: return {TrayCallback::DoubleClick, B::mbMiddle};
    case 0x401: return {TrayCallback::MouseUp, B::mbRight};  // NIN_KEYSELECT
    case 0x403: return {TrayCallback::BalloonHide, B::mbLeft};
    case 0x404: return {TrayCallback::BalloonTimeout, B::mbLeft};
    case 0x405: return {TrayCallback::BalloonClick, B::mbLeft};
    default: return {TrayCallback::Ignored, B::mbLeft};
  }
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
  doubleClicked_ = false;
  pending_ = mouse;
  // Interval, then enable: a timer already running with this interval keeps
  // its start, so a second press does not push the click further away.
  timer_.SetInterval(host_.DoubleClickTime());
  timer_.SetEnabled(true);
  host_.MouseDownEvent(mouse);
}

void TrayClickPipeline::MouseUp(const TrayMouse& mouse) { host_.MouseUpEvent(mouse); }

void TrayClickPipeline::DoubleClick(const TrayMouse& mouse) {
  doubleClicked_ = true;
  timer_.SetEnabled(false);
  if (host_.DoubleClickEvent(mouse)) return;
  if (mouse.button != TMouseButton::mbLeft) return;
  host_.ClickDefaultItem();
  const TTrayVisibilities v = host_.CurrentVisibility();
  if (host_.ApplicationShown() && (v & tvMinimizeDbClick)) {
    host_.ChangeVisibility(v & ~tvVisibleTaskBar);
  } else if (!host_.ApplicationShown() && (v & tvRestoreDbClick)) {
    host_.ChangeVisibility(v | tvVisibleTaskBar);
  }
}

void TrayClickPipeline::ClickTimerExpired() {
  timer_.SetEnabled(false);
  if (!doubleClicked_) Click(pending_);
}

void TrayClickPipeline::Click(const TrayMouse& clicked) {
  // A copy: the click handler may run a modal loop (a dialog) in which
  // further presses overwrite the pending click; what follows the handler
  // belongs to this click, not to a later one.
  const TrayMouse mouse = clicked;
  host_.ClickEvent(mouse);
  using Menu = TrayClickHost::Menu;
  switch (mouse.button) {
    case TMouseButton::mbRight:
      if (host_.HasMenu(Menu::Popup)) host_.TrackMenu(Menu::Popup, mouse.x, mouse.y);
      break;
    case TMouseButton::mbLeft: {
      if (host_.HasMenu(Menu::DropDown)) host_.TrackMenu(Menu::DropDown, mouse.x, mouse.y);
      const TTrayVisibilities v = host_.CurrentVisibility();
      if (host_.ApplicationShown() && (v & tvMinimizeClick)) {
        host_.ChangeVisibility(v & ~tvVisibleTaskBar);
      } else if (!host_.ApplicationShown() && (v & tvRestoreClick)) {
        host_.ChangeVisibility(v | tvVisibleTaskBar);
      }
      break;
    }
    case TMouseButton::mbMiddle: break;
  }
}

}  // namespace quell::ui
