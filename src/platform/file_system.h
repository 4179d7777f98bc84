// Files and directories, in plain strings.
//
// Paths are passed to the system as they are on Windows. On POSIX systems '\' counts as a
// directory separator too, just as Windows accepts '/': the library builds its paths with '\'
// ("/etc\tq.conf", "/tmp\supervisor_ann.tmp") and nativePath() turns them into
// "/etc/tq.conf" before the system sees them. A POSIX file whose name holds a real '\' cannot be
// reached through this layer.
//
// A path that is empty or holds a NUL byte is refused by every call (false, or "no file").
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq::platform {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

struct FileAttributes {
  bool exists = false;
  bool directory = false;
  // Windows: the hidden attribute. POSIX: the base name starts with '.' ("." and ".." excepted).
  bool hidden = false;
  // A symbolic link or other reparse point; the other answers describe what it points to.
  bool link = false;
};

// The path the system is given: '\' becomes '/' on POSIX systems; unchanged on Windows.
std::string nativePath(std::string_view path);
// False for an empty path or one holding a NUL byte.
bool usablePath(std::string_view path);

FileAttributes fileAttributes(const std::string& path);
// Seconds since 1970-01-01 UTC of the last write; nothing when the file cannot be examined.
std::optional<int64_t> modificationTime(const std::string& path);
// Sets the last-write time (seconds since 1970-01-01 UTC); false when the system refuses.
bool setModificationTime(const std::string& path, int64_t seconds);

// The search pattern of a directory listing: path, a '\' unless the path already ends with a
// separator, and "*.*".
std::string listPattern(std::string_view path);
// Every name in the directory, "." and ".." included, in the system's order. False (and no
// names) when the directory cannot be read.
bool listDirectory(const std::string& path, std::vector<std::string>& names);

bool removeFile(const std::string& path);
bool removeDirectory(const std::string& path);
// Removes a link (or junction) itself, never what it points to.
bool removeLink(const std::string& path);
// Creates a directory that only its owner may use: _mkdir and _chmod(read | write) on Windows,
// mode 0700 on POSIX systems (the search bit is what lets the owner use it). The permission is
// set only on a directory this call created; true when it did.
bool makeDirectory(const std::string& path);
bool changeDirectory(const std::string& path);
// The working directory ("" when it cannot be read).
std::string currentDirectory();

// Windows: clears the hidden attribute; true on success. POSIX systems have no attribute to
// clear: the answer is true when the file exists and is not hidden (nothing was needed), false
// for a dot-file, which stays hidden.
bool clearHiddenAttribute(const std::string& path);

// fopen() of nativePath(path); null when the path is unusable or the file cannot be opened,
// with the reason in lastFileError().
std::FILE* openFile(const std::string& path, const char* mode);

// Why the last failed file operation of this thread failed, as the system says it ("Is a
// directory", "No such file or directory"); file calls keep it for their callers, who report it.
std::string lastFileError();
// Records the C library's errno text as that reason (after a failed stream call).
void recordFileError();
void setFileError(std::string reason);

// Puts an open stream (standard output, say) in binary mode, so that Windows does not turn LF
// bytes into CR LF. POSIX streams are binary already. False when the mode cannot be changed.
bool setBinaryMode(std::FILE* stream);
// Positions beyond 2 GB within an open file. seekFile() is from the start; false on failure.
bool seekFile(std::FILE* file, int64_t offset);
int64_t tellFile(std::FILE* file);

}  // namespace tq::platform
