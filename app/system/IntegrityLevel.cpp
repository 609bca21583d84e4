#include "IntegrityLevel.h"

#include <vector>

#include "base/Handles.h"
#include "controller/InputShield.h"

namespace quell::app {

namespace {

std::optional<std::uint32_t> LevelOfToken(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
  // Aligned for the structure at its start; the SID follows it.
  std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
    return std::nullopt;
  }
  const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
  const PSID sid = label->Label.Sid;
  if (!sid || !IsValidSid(sid)) return std::nullopt;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  return static_cast<std::uint32_t>(*GetSidSubAuthority(sid, count - 1u));
}

std::optional<std::uint32_t> ProcessTokenLevel(HANDLE process) {
  base::KernelHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.out())) return std::nullopt;
  return LevelOfToken(token.get());
}

}  // namespace

std::optional<std::uint32_t> ProcessIntegrityLevel(DWORD processId) {
  // The limited right is what an elevated process grants a lower one.
  base::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  return ProcessTokenLevel(process.get());
}

std::optional<std::uint32_t> OwnIntegrityLevel() { return ProcessTokenLevel(GetCurrentProcess()); }

bool WindowOutranksUs(HWND window) {
  DWORD processId = 0;
  if (!window || !GetWindowThreadProcessId(window, &processId) || processId == 0) return false;
  if (processId == GetCurrentProcessId()) return false;
  return OutranksUs(ProcessIntegrityLevel(processId), OwnIntegrityLevel());
}

}  // namespace quell::app
