#include "AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>

#include <sys/stat.h>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "base/Handles.h"
#include "base/WideText.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace quell::settings {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& step) {
  throw TFileWriteError(step + ": " + path);
}

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

// A name for the temporary file, beside the target and unlikely to be taken.
std::string TemporaryNameFor(const std::string& target, unsigned attempt) {
  static std::uint32_t counter = 0;
  std::uint64_t mix = static_cast<std::uint64_t>(std::time(nullptr)) * 0x9E3779B97F4A7C15ull;
  mix ^= (static_cast<std::uint64_t>(++counter) << 32) ^ attempt ^
         reinterpret_cast<std::uintptr_t>(&mix);
  mix ^= mix >> 29;
  mix *= 0xBF58476D1CE4E5B9ull;
  mix ^= mix >> 32;
  static constexpr char digits[] = "0123456789abcdef";
  std::string name = target + ".";
  for (int i = 0; i < 12; ++i, mix >>= 4) name += digits[mix & 0xF];
  return name + ".tmp";
}

#if defined(_WIN32)

// Paths are UTF-8; every call takes them wide, so that a folder whose name
// the ANSI code page cannot spell is reached all the same.
std::wstring Wide(const std::string& path) { return base::WideFromUtf8(path); }

std::FILE* OpenForReading(const std::string& path) { return _wfopen(Wide(path).c_str(), L"rb"); }

void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

std::string ResolveTarget(const std::string& path) { return path; }

// The attributes of the existing file, or nullopt when there is none.
std::optional<DWORD> CheckReplaceable(const std::string& target) {
  const DWORD attributes = GetFileAttributesW(Wide(target).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return std::nullopt;
    Fail(target, "cannot inspect");
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) Fail(target, "not a regular file");
  if (attributes & FILE_ATTRIBUTE_READONLY) Fail(target, "file is read-only");
  return attributes;
}

// A new file opened for writing, or null; `nameTaken` tells whether another
// name may succeed (the platform's own error says so, not errno).
std::FILE* CreateNew(const std::string& path, bool* nameTaken) {
  *nameTaken = false;
  const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *nameTaken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return nullptr;
  }
  base::KernelHandle owner(h);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(owner.get()), _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    owner.reset();
    RemoveFile(path);
    return nullptr;
  }
  owner.release();  // the descriptor owns it now
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) {
    _close(fd);
    RemoveFile(path);
  }
  return file;
}

// A test seam: QUELL_TEST_FLUSH_DELAY_MS (milliseconds, at most a minute)
// makes every flush as slow as a slow USB stick's, for the benchmark that
// measures what the program's other work costs its hooks.
DWORD TestFlushDelayMs() {
  wchar_t text[16] = {};
  if (!GetEnvironmentVariableW(L"QUELL_TEST_FLUSH_DELAY_MS", text, 16)) return 0;
  const unsigned long ms = std::wcstoul(text, nullptr, 10);
  return ms > 60000 ? 60000 : static_cast<DWORD>(ms);
}

// Puts the written bytes on the disk before the file takes the old one's place.
bool SyncToDisk(std::FILE* file) {
  static const DWORD delay = TestFlushDelayMs();
  if (delay) Sleep(delay);
  const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != FALSE;
}

bool Replace(const std::string& temp, const std::string& target, std::optional<DWORD> attributes) {
  const std::wstring wideTemp = Wide(temp), wideTarget = Wide(target);
  if (!attributes) {
    return MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  // The replaced file's attributes (hidden, system, archive...), security
  // and streams carry over to the new content.
  bool replaced = ReplaceFileW(wideTarget.c_str(), wideTemp.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
  if (!replaced) {
    const DWORD error = GetLastError();
    // Nothing was changed: the replacement is still under its own name.
    if (error != ERROR_UNABLE_TO_REMOVE_REPLACED && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
      return false;
    replaced = MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!replaced) return false;
  }
  const DWORD now = GetFileAttributesW(wideTarget.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && now != *attributes)
    SetFileAttributesW(wideTarget.c_str(), *attributes);
  return true;
}

#else

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

std::string ResolveTarget(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return resolved;
  }
  return path;
}

// The permissions of the existing file, or nullopt when there is none.
std::optional<mode_t> CheckReplaceable(const std::string& target) {
  struct stat status {};
  if (stat(target.c_str(), &status) != 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail(target, "cannot inspect");
  }
  if (!S_ISREG(status.st_mode)) Fail(target, "not a regular file");
  if ((status.st_mode & S_IWUSR) == 0) Fail(target, "file is read-only");
  return status.st_mode & 07777;
}

std::FILE* CreateNew(const std::string& path, bool* nameTaken) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  *nameTaken = fd < 0 && errno == EEXIST;
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(path.c_str());
  }
  return file;
}

bool SyncToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }

bool Replace(const std::string& temp, const std::string& target, std::optional<mode_t> perms) {
  // Keep the old file's permissions; a failure here is no reason to lose
  // the new content.
  if (perms) chmod(temp.c_str(), *perms);
  return std::rename(temp.c_str(), target.c_str()) == 0;
}

#endif

}  // namespace

std::optional<std::string> ReadFileIfExists(const std::string& path) {
  std::FILE* file = OpenForReading(path);
  if (!file) {
    // A missing folder on the way is a missing file as well.
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw std::runtime_error("cannot open " + path);
  }
  const FileCloser closer{file};
  std::string content;
  char buffer[64 * 1024];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  // A read that stopped for any reason but the end of the file (a folder in
  // the file's place, an I/O error) is a file that cannot be read.
  if (std::ferror(file) || !std::feof(file)) throw std::runtime_error("cannot read " + path);
  return content;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  const auto old = CheckReplaceable(target);

  std::string temp;
  std::FILE* out = nullptr;
  for (unsigned attempt = 0; attempt < 16 && !out; ++attempt) {
    temp = TemporaryNameFor(target, attempt);
    bool nameTaken = false;
    out = CreateNew(temp, &nameTaken);
    if (!out && !nameTaken) break;
  }
  if (!out) Fail(temp, "cannot create temporary file");

  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const bool flushed = std::fflush(out) == 0 && SyncToDisk(out);
  const bool closed = std::fclose(out) == 0;
  if (!written || !flushed || !closed) {
    RemoveFile(temp);
    Fail(temp, "cannot write temporary file");
  }
  if (!Replace(temp, target, old)) {
    RemoveFile(temp);
    Fail(target, "cannot replace file");
  }
}

}  // namespace quell::settings
