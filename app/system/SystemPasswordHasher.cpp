#include "SystemPasswordHasher.h"

#include <windows.h>

#include <bcrypt.h>

namespace quell::app {

namespace {

constexpr bool Succeeded(NTSTATUS status) { return status >= 0; }

// An HMAC-SHA256 provider, closed when it goes out of scope.
class THmacSha256 {
 public:
  THmacSha256() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&FHandle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG)))
      FHandle = nullptr;
  }
  ~THmacSha256() {
    if (FHandle) BCryptCloseAlgorithmProvider(FHandle, 0);
  }
  THmacSha256(const THmacSha256&) = delete;
  THmacSha256& operator=(const THmacSha256&) = delete;
  BCRYPT_ALG_HANDLE Handle() const { return FHandle; }

 private:
  BCRYPT_ALG_HANDLE FHandle = nullptr;
};

}  // namespace

bool TSystemPasswordHasher::Derive(std::string_view password, std::span<const std::uint8_t> salt,
                                   std::uint32_t iterations, std::span<std::uint8_t> key) {
  const THmacSha256 hmac;
  if (!hmac.Handle() || key.empty()) return false;
  // The call takes writable buffers that it only reads.
  auto* passwordBytes = reinterpret_cast<PUCHAR>(const_cast<char*>(password.data()));
  auto* saltBytes = const_cast<PUCHAR>(salt.data());
  const NTSTATUS status = BCryptDeriveKeyPBKDF2(
      hmac.Handle(), password.empty() ? nullptr : passwordBytes,
      static_cast<ULONG>(password.size()), salt.empty() ? nullptr : saltBytes,
      static_cast<ULONG>(salt.size()), iterations, key.data(), static_cast<ULONG>(key.size()), 0);
  return Succeeded(status);
}

bool TSystemPasswordHasher::Random(std::span<std::uint8_t> bytes) {
  return Succeeded(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace quell::app
