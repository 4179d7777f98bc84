#include "records/file_record.h"

#include <string>

#include "records/file_bytes.h"

namespace tq {

namespace {
// The text after the last '/' or '\', the whole path when there is none.
TqString lastComponent(const TqString& path) {
  std::string_view p = path.view();
  size_t cut = p.find_last_of("/\\");
  return cut == std::string_view::npos ? path : TqString(p.substr(cut + 1));
}
}  // namespace

FileRecord::FileRecord(const TqString& path) : name(lastComponent(path)), source(path) {
  std::string contents;
  if (readFileBytes(path.c_str(), contents, /*text=*/false)) data = TqString(contents);
}

bool FileRecord::save(const TqString& path) const {
  return writeFileBytes(path.c_str(), data.view(), /*text=*/false);
}

}  // namespace tq
