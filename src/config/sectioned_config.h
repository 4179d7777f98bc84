// tq::Config: a sectioned configuration file (path maps, callback definitions, job.conf).
//
//   root = C:\farm                   keys before any header belong to "localhost"
//   [defaults]
//   root = C:\kerv                   unquoted words are joined: "a b c" is stored as "abc";
//   bin = "$self.root\bin"           quote or brace a value to keep its blanks
//   [node[01-03],edit] : defaults    names node01, node02, node03 and edit; each gets a copy of
//   log = $_.log                     the keys defaults holds at this point
//   defaults . root = D:\kerv        an assignment to one section (note the blanks: "a.b" is a
//                                    key of its own)
// A header "[a,b] : base" whose parent is missing writes
//   WARNING: a,b missing parent base... skipping.
// on the error stream. A line that is not an assignment (a word without '=') ends the parse:
// what was read before is kept and expanded. "$" references are expanded as
// config/config_expansion.h describes; every reader bound is in config/config_limits.h.
#pragma once

#include <cstdint>
#include <vector>

#include "config/config_record.h"

namespace tq {

class Config {
 public:
  static constexpr int32_t kClassId = 80;

  Config() = default;
  // Reads the whole file and parses it; a file that cannot be read gives an empty
  // configuration (isLoaded() false), with no message.
  explicit Config(const TqString& path);
  Config(const Config&) = delete;
  Config& operator=(const Config&) = delete;

  // Adds the sections of `text` (bytes outside 32..126 other than TAB, CR and LF are dropped
  // first). Sections already here take the new keys; only the sections this call creates are
  // expanded (second pass).
  void parse(const TqString& text);
  // Reads a whole file and parses it; false when it cannot be read.
  bool load(const TqString& path);
  bool isLoaded() const { return loaded_; }

  // The section, or null. The pointer stays valid as long as this configuration.
  ConfigRecord* section(const TqString& name) { return sections_.find(name); }
  const ConfigRecord* section(const TqString& name) const { return sections_.find(name); }
  // Appends the section names in the order the sections were created.
  void sectionNames(StringList& out) const;
  int32_t sectionCount() const { return sections_.count(); }
  const ConfigHash& sections() const { return sections_; }

  // Per section, in creation order: "[name]", then "key = 'value'" per key in ascending key
  // order, on standard output.
  void dump() const;

  // For the parser: the section of that name, created (empty, named) when missing. Null when
  // kMaxSections are there already.
  ConfigRecord* createSection(const TqString& name, bool& created);

 private:
  ConfigHash sections_;
  std::vector<ConfigRecord*> order_;
  bool loaded_ = false;
};

}  // namespace tq
