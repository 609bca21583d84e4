// The system's PBKDF2-HMAC-SHA256 and random numbers (bcrypt.dll) behind
// the unlock password's rules.
#pragma once

#include "rules/UnlockPassword.h"

namespace quell::app {

class TSystemPasswordHasher : public rules::TPasswordHasher {
 public:
  bool Derive(std::string_view password, std::span<const std::uint8_t> salt,
              std::uint32_t iterations, std::span<std::uint8_t> key) override;
  bool Random(std::span<std::uint8_t> bytes) override;
};

}  // namespace quell::app
