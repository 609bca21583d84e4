#include "AtomicFile.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>

namespace quell::settings {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const fs::path& path, const std::string& step) {
  throw TFileWriteError(step + ": " + path.string());
}

[[noreturn]] void Fail(const fs::path& path, const std::string& step, const std::error_code& ec) {
  throw TFileWriteError(step + ": " + path.string() + ": " + ec.message());
}

// A name for the temporary file, beside the target and unlikely to be taken.
fs::path TemporaryNameFor(const fs::path& target, unsigned attempt) {
  static std::atomic<std::uint32_t> counter{0};
  std::uint64_t seed = static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    seed ^= static_cast<std::uint64_t>(device()) << 32;
  } catch (const std::exception&) {
    // The clock and the counter are enough to tell our own attempts apart.
  }
  std::mt19937_64 mix(seed + counter.fetch_add(1) + attempt);
  static constexpr char digits[] = "0123456789abcdef";
  std::string suffix;
  for (std::uint64_t r = mix(), i = 0; i < 12; ++i, r >>= 4) suffix += digits[r & 0xF];
  fs::path name = target;
  name += "." + suffix + ".tmp";
  return name;
}

// Where the bytes really go: the target of a symbolic link, else the path.
fs::path ResolveTarget(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path resolved = fs::canonical(path, ec);
    if (!ec) return resolved;
  }
  return path;
}

// Refuses to replace what an in-place write could not have replaced either.
// Returns the permissions the new file should get, if there is an old one.
std::optional<fs::perms> CheckReplaceable(const fs::path& target) {
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (ec && status.type() != fs::file_type::not_found) Fail(target, "cannot inspect", ec);
  if (status.type() == fs::file_type::not_found) return std::nullopt;
  if (status.type() != fs::file_type::regular) Fail(target, "not a regular file");
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
    Fail(target, "file is read-only");
  return status.permissions();
}

void RemoveQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

}  // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path target = ResolveTarget(path);
  const std::optional<fs::perms> oldPerms = CheckReplaceable(target);

  fs::path temp;
  std::ofstream out;
  for (unsigned attempt = 0; attempt < 16 && !out.is_open(); ++attempt) {
    temp = TemporaryNameFor(target, attempt);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(temp, ec))) continue;
    out.open(temp, std::ios::binary | std::ios::out | std::ios::trunc);
  }
  if (!out.is_open()) Fail(temp, "cannot create temporary file");

  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  const bool written = static_cast<bool>(out);
  out.close();
  if (!written || out.fail()) {
    RemoveQuietly(temp);
    Fail(temp, "cannot write temporary file");
  }

  std::error_code ec;
  if (oldPerms) {
    // Keep the old file's permissions; a failure here is no reason to lose
    // the new content.
    fs::permissions(temp, *oldPerms, ec);
    ec.clear();
  }
  fs::rename(temp, target, ec);
  if (ec) {
    RemoveQuietly(temp);
    Fail(target, "cannot replace file", ec);
  }
}

}  // namespace quell::settings
