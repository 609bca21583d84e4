// Reading a whole file, and replacing a file's content without ever leaving
// a half-written file. C stdio and the platform's own calls only: the
// program stays free of iostreams, locales and std::filesystem, which would
// more than double its size.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quell::settings {

// A file could not be written; the file that was there is unchanged.
// what() names the path and the step that failed.
class TFileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Paths are UTF-8: on Windows they are reached by their wide names, so any
// folder name works whatever the ANSI code page; elsewhere they go to the
// system as they are.

// The whole content of `path`; nullopt when there is no such file. Throws
// std::runtime_error when it exists but cannot be read (no permission, a
// folder in its place, an I/O error).
std::optional<std::string> ReadFileIfExists(const std::string& path);

// Makes `bytes` the content of `path`: writes them to a temporary file in
// the same folder, puts them on the disk (fsync, FlushFileBuffers), and
// renames that over `path` only after the whole write and the close have
// succeeded. On Windows an existing file is replaced with ReplaceFileW, so
// that it keeps its attributes. On any failure the temporary file is
// removed, the previous file keeps its bytes, and TFileWriteError is thrown.
//
// A file without write permission (the read-only attribute on Windows) is
// refused rather than replaced: a rename would bypass the protection that
// an in-place write would have met. On POSIX systems a symbolic link is
// followed, so the link stays and its target changes, and the old file's
// permissions carry over.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace quell::settings
