// The integrity level of a process (the RID of its token's integrity SID):
// a hook of ours does not see the keys of a window whose process runs at a
// higher level than ours.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace quell::app {

// The level of the process `processId`; nothing when it cannot be opened or
// its token has no level (Windows before Vista, Wine).
std::optional<std::uint32_t> ProcessIntegrityLevel(DWORD processId);
// Ours, from the running process's own token.
std::optional<std::uint32_t> OwnIntegrityLevel();
// Whether the process of `window` outranks ours (OutranksUs): false for no
// window and for any level that cannot be read.
bool WindowOutranksUs(HWND window);

}  // namespace quell::app
