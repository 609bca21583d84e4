// Replacing a file's content without ever leaving a half-written file.
#pragma once

#include <filesystem>
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

// Makes `bytes` the content of `path`: writes them to a temporary file in
// the same folder and renames that over `path` only after the whole write
// and the close have succeeded. On any failure the temporary file is
// removed, the previous file keeps its bytes, and TFileWriteError is thrown.
//
// A file without write permission is refused rather than replaced: a rename
// would bypass the protection that an in-place write would have met.
// A symbolic link is followed, so the link stays and its target changes.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace quell::settings
