#include "config/directory.h"

#include <string>

#include "config/file_util.h"
#include "platform/file_system.h"

namespace tq {

Directory::Directory(const TqString& path) : path_(path) {
  std::vector<std::string> names;
  platform::listDirectory(path.str(), names);
  entries_.reserve(names.size());
  for (const std::string& name : names) entries_.emplace_back(std::string_view(name));
}

TqString Directory::entry(int32_t i) const {
  if (i < 0 || i >= entryCount()) return TqString();
  return entries_[static_cast<size_t>(i)];
}

bool Directory::removeTree() const {
  // A link to a directory goes by itself; what it points to is not part of this tree.
  if (platform::fileAttributes(path_.str()).link) {
    platform::removeLink(path_.str());
    return !platform::fileAttributes(path_.str()).exists;
  }
  char last = path_.at(path_.length() - 1);
  bool has_separator = last == '\\' || last == '/';
  for (const TqString& name : entries_) {
    if (name == TqString(".") || name == TqString("..")) continue;
    TqString full(path_);
    if (!has_separator) full.append('\\');
    full.append(name);
    platform::FileAttributes attributes = platform::fileAttributes(full.str());
    if (attributes.link) {
      platform::removeLink(full.str());
    } else if (isDirectory(full)) {
      Directory(full).removeTree();
    } else {
      platform::removeFile(full.str());
    }
  }
  if (isDirectory(path_)) platform::removeDirectory(path_.str());
  return !platform::fileAttributes(path_.str()).exists;
}

bool Directory::makeDirectory() const {
  if (exceedsMaxPath(path_)) return false;
  platform::makeDirectory(path_.str());
  return platform::fileAttributes(path_.str()).directory;
}

bool changeDirectory(const TqString& path) {
  return !exceedsMaxPath(path) && platform::changeDirectory(path.str());
}

}  // namespace tq
