#include "SystemPasswordHasher.h"

#include <windows.h>

#include <bcrypt.h>

#include "base/Handles.h"

namespace quell::app {

namespace {

constexpr bool Succeeded(NTSTATUS status) { return status >= 0; }

// An HMAC-SHA256 provider; empty when the system has none.
base::AlgorithmHandle OpenHmacSha256() {
  BCRYPT_ALG_HANDLE handle = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                             BCRYPT_ALG_HANDLE_HMAC_FLAG)))
    return {};
  return base::AlgorithmHandle(handle);
}

}  // namespace

bool TSystemPasswordHasher::Derive(std::string_view password, std::span<const std::uint8_t> salt,
                                   std::uint32_t iterations, std::span<std::uint8_t> key) {
  const base::AlgorithmHandle hmac = OpenHmacSha256();
  if (!hmac || key.empty()) return false;
  // The call takes writable buffers that it only reads.
  auto* passwordBytes = reinterpret_cast<PUCHAR>(const_cast<char*>(password.data()));
  auto* saltBytes = const_cast<PUCHAR>(salt.data());
  const NTSTATUS status = BCryptDeriveKeyPBKDF2(
      hmac.get(), password.empty() ? nullptr : passwordBytes, static_cast<ULONG>(password.size()),
      salt.empty() ? nullptr : saltBytes, static_cast<ULONG>(salt.size()), iterations, key.data(),
      static_cast<ULONG>(key.size()), 0);
  return Succeeded(status);
}

bool TSystemPasswordHasher::Random(std::span<std::uint8_t> bytes) {
  return Succeeded(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace quell::app
