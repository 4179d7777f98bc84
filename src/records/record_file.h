// Loading and saving a record file with a format code: 1 binary, 2 text, 0 automatic (load
// only). Jobs are stored this way; the calls work for any record class R with a list class L
// whose elements are R (a text file may hold a list of them: the first one is taken).
#pragma once

#include "records/object.h"

namespace tq {

enum RecordFileFormat : int {
  kAutomaticFormat = 0,
  kBinaryFormat = 1,
  kTextFormat = 2,
};

// Returns the byte count of the underlying load, or 0 on failure. Automatic tries binary, then a
// text list (taking its first element when it has one), then the record's own text form. Codes
// other than 0, 1 and 2 load binary.
template <class R, class L>
int32_t loadRecordFile(R& record, const char* path, int format) {
  if (format == kTextFormat) return record.loadText(path);
  if (format != kAutomaticFormat) return record.loadBinary(path);
  int32_t n = record.loadBinary(path);
  if (n != 0) return n;
  L list;
  n = list.loadText(path);
  if (n != 0 && list.count() > 0) {
    record = list[0];
    return n;
  }
  return record.loadText(path);
}

// Text for format 2, binary for every other code.
inline int32_t saveRecordFile(Object& record, const char* path, int format) {
  return format == kTextFormat ? record.saveText(path) : record.saveBinary(path);
}

}  // namespace tq
