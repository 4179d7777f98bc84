// Small files that only their owner may have written: the supervisor cache.
//
// On POSIX systems the temporary directory is shared by every user, so a file found there is
// trusted only when it is a regular file (not a link), owned by the current user, writable by
// nobody else and has one link; it is opened without following links and checked on the open
// descriptor, so it cannot be swapped between the check and the read. Writing goes through a
// fresh file of mode 0600 in the same directory and an atomic rename.
//
// Windows keeps such files in the user's own temporary directory: any file found is trusted,
// and writing replaces it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tq::platform {

struct PrivateFile {
  enum class State { kMissing, kTrusted, kUntrusted };
  State state = State::kMissing;
  std::string reason;    // why an existing file is not trusted, or could not be read
  std::string content;   // at most max_bytes + 1 bytes, so that a longer file shows
  int64_t modified = 0;  // seconds since 1970 of the last write (0 when missing)
};

PrivateFile readPrivateFile(const std::string& path, size_t max_bytes);
// False, with the system's reason, when the file cannot be written.
bool writePrivateFile(const std::string& path, std::string_view bytes, std::string& reason);

}  // namespace tq::platform
