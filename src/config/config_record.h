// The "config" record: one flat configuration file ("tq.conf", "/.tq.conf", "job.conf") or one
// section of a sectioned file (config/sectioned_config.h).
//
// Encoded fields, in this order: 0 `options` (a "string_hash" from key to value; keys are
// case-sensitive), 1 `address` (an "address" record the parsers leave alone), 2 `name` (the
// section name, empty for a flat file). The text last parsed and the loaded flag are not
// encoded.
//
// Flat file syntax (see config/flat_config_parser.cpp for the scanner):
//   # a comment line                 [a header]        (ignored: every key lands here)
//   key = value                      a bare value ends at '#', blank, CR, LF or a byte >= 0x80
//   key = "a value"  key = 'a value' quoted up to the same quote or the line end
//   key = {a {nested}                braced up to the matching '}', line breaks kept
//          value}
// Blanks inside a key are dropped ("client timeout = 5" defines "clienttimeout"); a repeated
// key keeps its last value. Reading never fails as a whole: what was read is kept. A record
// takes at most kMaxConfigKeys keys from text: the line that would add one more ends the parse,
// with a warning on the error stream (config/config_limits.h).
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

class ConfigRecord : public Record<ConfigRecord> {
 public:
  static constexpr int32_t kClassId = 50;
  static constexpr const char* kTypeName = "config";

  ConfigRecord() = default;
  // Reads and parses the file. A file that cannot be opened leaves the record empty and not
  // loaded; nothing is reported.
  explicit ConfigRecord(const TqString& path);

  // Parses `text` into this record (keys already here stay unless the text sets them) and
  // marks the record loaded.
  void setText(const TqString& text);
  // The file's text (read in text mode), parsed as by setText(). False, and nothing changed,
  // when the file cannot be opened.
  bool load(const TqString& path);
  bool isLoaded() const { return loaded_; }
  // The text given to the last setText() or load().
  const TqString& text() const { return text_; }

  // The value of `key`; an empty string when the key is absent.
  const TqString& get(const TqString& key) const;
  bool has(const TqString& key) const { return options.contains(key); }
  // Stores or replaces.
  void set(const TqString& key, const TqString& value);
  // True when the key was there.
  bool remove(const TqString& key) { return options.remove(key); }
  // Appends copies of every key, in table order.
  void keys(StringList& out) const;
  int32_t count() const { return options.count(); }

  // Sets every key of `other` here (keys of the same name replaced, the others kept).
  void copyFrom(const ConfigRecord& other);
  // True when every key of `other` has the same value here. Keys only this record holds do not
  // count, so a.equals(b) and b.equals(a) may differ.
  bool equals(const ConfigRecord& other) const;

  // The record as a flat file: "key = value\n" per key, in table order. See writeConfigValue().
  TqString toText() const;
  // The template with this record's values filled in (config/config_template.cpp).
  TqString mergeIntoTemplate(const TqString& template_path) const;
  TqString mergeIntoTemplateText(const TqString& template_text) const;
  // "items: <count>", then "<index>: <key>=<value>" per key in ascending key order, on
  // standard output.
  void dump() const;

  const TqString& name() const { return section_name; }
  void setName(const TqString& n) { section_name = n; }

  StringHash options;
  Address address;
  TqString section_name;

  static constexpr auto fields() {
    return std::make_tuple(Field(0, "options", &ConfigRecord::options),
                           Field(1, "address", &ConfigRecord::address),
                           Field(2, "name", &ConfigRecord::section_name));
  }

 private:
  TqString text_;
  bool loaded_ = false;
};

// Appends a value as the flat-file writer writes it: between '{' and '}' when it holds a line
// break, between double quotes when it holds a blank, bare otherwise. A value that would not
// read back the same in that form is written in another one that does: a bare value holding
// '#', a byte >= 0x80 or starting with a quote or '{' is quoted; a quoted value holding a
// double quote takes single quotes, and one holding both kinds takes braces. Braces the value
// leaves unpaired get partners around it, so such a value reads back with braces added but
// never runs into the entries after it. (CRs are dropped by every reader.)
void writeConfigValue(TqString& out, const TqString& value);

// The flat-file scanner: stores every key and value found in `text` into `out`.
void parseFlatConfig(std::string_view text, StringHash& out);

// Reads a whole file in text mode into `out`; false when it cannot be opened (or is a
// directory).
bool readConfigFile(const TqString& path, TqString& out);

inline constexpr char kConfigListName[] = "config_list";
// "config_list" comes in two shapes with the same class id and type name: the list, which the
// registry creates, and a hash of sections by name, which the sectioned parser holds.
using ConfigList = List<ConfigRecord, 51, kConfigListName>;
using ConfigHash = Hash<ConfigRecord, 51, kConfigListName>;

}  // namespace tq
