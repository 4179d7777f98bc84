// The "file" record: a file carried inside a message (its base name, its contents and the path
// it was read from).
#pragma once

#include <tuple>

#include "records/field.h"

namespace tq {

class FileRecord : public Record<FileRecord> {
 public:
  static constexpr int32_t kClassId = 105;
  static constexpr const char* kTypeName = "file";

  FileRecord() = default;
  // Reads the file byte for byte (text-mode reading would turn CR LF into LF and stop at a
  // Ctrl-Z on Windows); a missing file leaves data empty.
  explicit FileRecord(const TqString& path);

  // Writes data to the path (created or truncated). False when the file cannot be written.
  bool save(const TqString& path) const;

  TqString name;
  TqString data;
  TqString source;

  static constexpr auto fields() {
    return std::make_tuple(Field(0, "name", &FileRecord::name), Field(1, "data", &FileRecord::data),
                           Field(2, "source", &FileRecord::source));
  }
};

}  // namespace tq
