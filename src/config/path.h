// A path that knows its kind.
//
// Kinds: 0 "unknown", 1 "unc", 2 "dos", 3 "unix", 4 "nfs". Classification by the text alone:
// empty -> unknown; holding a '\' -> dos, except that three or more characters starting with
// two '\' are unc; starting with '/' -> unix; a ':' before any '/' (host:path) -> nfs; anything
// else -> unknown. Components are the pieces between '/' and '\', empty ones dropped.
#pragma once

#include <cstdint>
#include <vector>

#include "records/tq_string.h"

namespace tq {

class Path {
 public:
  enum Kind : int32_t { kUnknown = 0, kUnc = 1, kDos = 2, kUnix = 3, kNfs = 4 };

  Path() = default;
  explicit Path(const TqString& text);

  static Kind classify(const TqString& text);
  // "unknown", "unc", "dos", "unix" or "nfs"; "unknown" for a number outside 0..4.
  static const char* kindName(int32_t kind);
  // '\' for unc and dos paths, '/' for the others: the separator that joins rebuilt components.
  static char separatorFor(int32_t kind);

  const TqString& text() const { return text_; }
  Kind kind() const { return kind_; }
  const char* kindName() const { return kindName(kind_); }
  const std::vector<TqString>& components() const { return components_; }

  // Absolute for its kind: dos starts with a drive letter, ':' and a separator; unix with a
  // separator; unc and nfs always; unknown never.
  bool isAbsolute() const;
  // When not absolute, the path becomes base + '\' (unless base ends with '/' or '\') + path,
  // and is classified again.
  void makeAbsolute(const TqString& base);

 private:
  void assign(const TqString& text);

  TqString text_;
  Kind kind_ = kUnknown;
  std::vector<TqString> components_;
};

}  // namespace tq
