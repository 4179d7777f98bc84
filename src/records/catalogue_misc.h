// Error values and their variable maps, file lists, and the record classes that carry no
// fields.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"
#include "records/file_record.h"
#include "records/list.h"

namespace tq {

// A map of variable names to texts: its one field holds a string_hash.
class Macro : public Record<Macro> {
 public:
  static constexpr int32_t kClassId = 98;
  static constexpr const char* kTypeName = "macro";
  StringHash value;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &Macro::value)); }
};

// The "err" record: an error code and the values its message refers to. This is the form that
// travels; the message texts for the codes belong to the transport's error handling, which
// builds on this record.
class ErrorRecord : public Record<ErrorRecord> {
 public:
  static constexpr int32_t kClassId = 175;
  static constexpr const char* kTypeName = "err";
  int32_t number = 0;
  Macro values;

  int32_t code() const { return number; }
  void setCode(int32_t code) { number = code; }
  // Binds name to text; a later binding of the same name replaces the earlier one.
  void setValue(const TqString& name, const TqString& text) { values.value.insert(name, text); }
  // The text bound to name, or null.
  const TqString* value(const TqString& name) const { return values.value.find(name); }
  // The code and every value of another record.
  void copyFrom(const ErrorRecord& other) {
    number = other.number;
    values = other.values;
  }

  static constexpr auto fields() {
    return std::make_tuple(Field(1, "number", &ErrorRecord::number),
                           Field(2, "values", &ErrorRecord::values));
  }
};

inline constexpr char kFileListName[] = "file_list";
using FileList = List<FileRecord, 119, kFileListName>;

// Classes without fields: they write nothing but their record frame, and exist as types for
// the registry, for lists, or for the facilities that use them.

// The record identity of a lock.
class MutexRecord : public Record<MutexRecord> {
 public:
  static constexpr int32_t kClassId = 124;
  static constexpr const char* kTypeName = "mutex";
  static constexpr auto fields() { return std::tuple<>(); }
};

// The record identity of a node of the expression language (config/expression.h holds the
// language itself).
class ExpressionRecord : public Record<ExpressionRecord> {
 public:
  static constexpr int32_t kClassId = 65;
  static constexpr const char* kTypeName = "expression";
  static constexpr auto fields() { return std::tuple<>(); }
};

class Reference : public Record<Reference> {
 public:
  static constexpr int32_t kClassId = 180;
  static constexpr const char* kTypeName = "reference";
  static constexpr auto fields() { return std::tuple<>(); }
};

inline constexpr char kExpressionListName[] = "expression_list";
using ExpressionList = List<ExpressionRecord, 66, kExpressionListName>;

}  // namespace tq
