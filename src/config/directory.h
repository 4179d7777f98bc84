// A directory and the names in it.
//
// The names are read once, at construction, with the system's own listing ("." and ".."
// included; callers skip them). Entries are joined to the path with '\', which the file layer
// takes as a separator on every platform.
#pragma once

#include <cstdint>
#include <vector>

#include "records/tq_string.h"

namespace tq {

class Directory {
 public:
  explicit Directory(const TqString& path);

  const TqString& path() const { return path_; }
  int32_t entryCount() const { return static_cast<int32_t>(entries_.size()); }
  // The name of entry i; "" outside 0..entryCount()-1.
  TqString entry(int32_t i) const;

  // Removes everything below the directory and then the directory itself. Links are removed
  // themselves, never followed. True when nothing is left at the path afterwards.
  bool removeTree() const;
  // Creates the directory for its owner only (see platform/file_system.h). True when the path
  // is a directory afterwards.
  bool makeDirectory() const;

 private:
  TqString path_;
  std::vector<TqString> entries_;
};

// Makes `path` the working directory. The MAX_PATH rule of config/file_util.h applies.
bool changeDirectory(const TqString& path);

}  // namespace tq
