// Event types shared by the components: every handler receives the sending
// component first. Plain C++, usable by portable logic and by the Win32 layer.
#pragma once

#include <cstdint>
#include <functional>

#include "HookDll/HookProtocol.h"

namespace quell::gui {

class TComponent;

enum class TMouseButton : int { Left = 0, Right = 1, Middle = 2 };

// Shift state as a bit set: keys and mouse buttons held when an event happened.
using TShiftState = std::uint16_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;

// Hot keys and menu shortcuts: the virtual-key code in the low byte, plus
// the library's modifier bits; 0 means none. The same code travels to the
// library as a hot key.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = kShortcutShift;
inline constexpr TShortCut scCtrl = kShortcutCtrl;
inline constexpr TShortCut scAlt = kShortcutAlt;

// What a timer or a click pipeline needs of a timer: an interval and an
// enabled switch. Setting either to the value it has changes nothing (a
// running timer keeps its start); changing the interval of a running timer
// starts its period again.
class TimerControl {
 public:
  virtual void SetInterval(unsigned milliseconds) = 0;
  virtual void SetEnabled(bool enabled) = 0;

 protected:
  ~TimerControl() = default;
};

}  // namespace quell::gui
