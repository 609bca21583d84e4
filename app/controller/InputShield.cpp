#include "InputShield.h"

namespace quell::app {

std::optional<TShieldLook> ShieldFor(bool locked, bool mouseButtonsLocked, bool cleaningLock,
                                     bool darkenWhileCleaning) {
  if (!locked || !mouseButtonsLocked) return std::nullopt;
  return cleaningLock && darkenWhileCleaning ? TShieldLook::Black : TShieldLook::Clear;
}

bool OutranksUs(std::optional<std::uint32_t> foreground, std::optional<std::uint32_t> ours) {
  return foreground && ours && *foreground > *ours;
}

}  // namespace quell::app
