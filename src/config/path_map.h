// The "pathmap" record: how paths on one machine correspond to paths on another.
//
// Two tables, both "string_hash" records (class 56):
//   logical_map  a logical name -> the path it stands for on this machine
//   direct_map   a path prefix  -> the path prefix that replaces it
// They are read from a sectioned configuration file: the keys of the section "direct" fill
// direct_map and those of the section "logical" fill logical_map; other sections are ignored.
//
//   [logical]
//   projects = "\\srv\projects"
//   [direct]
//   {\\srv\renders} = /mnt/renders
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"

namespace tq {

class PathMap : public Record<PathMap> {
 public:
  static constexpr int32_t kClassId = 154;
  static constexpr const char* kTypeName = "pathmap";

  StringHash logical_map;
  StringHash direct_map;

  static constexpr auto fields() {
    return std::make_tuple(Field(1, "logical_map", &PathMap::logical_map),
                           Field(2, "direct_map", &PathMap::direct_map));
  }

  PathMap() = default;
  // Reads the file (an unreadable one gives empty maps) and loads its text.
  explicit PathMap(const TqString& path);

  // Adds the keys of the sections "direct" and "logical" of the text (existing keys replaced,
  // others kept).
  void loadFromText(const TqString& text);
  // Both maps become copies of the other's.
  void copyFrom(const PathMap& other);
};

// Translates a path written for the machine of `from` into the one of `to`.
//
// Candidates are looked for in this order: the direct_map keys of `from`, the direct_map keys
// of `to`, then the logical_map values of `from` whose logical name `to` also has. A candidate
// matches when all its components (see config/path.h) are the leading components of the path,
// compared without regard to case (drive letters and Windows share names are not
// case-sensitive, and a case-sensitive near miss is worth less than the translation). The
// candidate with the most components wins; among equals the earlier one in the order above, and
// within one table the smaller key. A candidate with no components (such as "/" or "") never
// matches, so that a stray entry cannot swallow every path.
//
// The result is the replacement (the direct_map value, or the logical_map value of `to`) and
// the path's remaining components, joined by the separator of the replacement's path kind ('\'
// for unc and dos, '/' otherwise) with no separator doubled. A path no candidate matches is
// returned unchanged.
//
// With `translate` false the path is returned with every '\' turned into '/'.
TqString translatePath(const TqString& path, const PathMap& from, const PathMap& to,
                       bool translate = true);

}  // namespace tq
