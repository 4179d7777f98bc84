#include "config/sectioned_config.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "config/config_expansion.h"
#include "config/config_limits.h"
#include "config/config_tokens.h"
#include "config/section_header.h"

namespace tq {
namespace {

void writeError(const TqString& line) {
  std::fwrite(line.c_str(), 1, static_cast<size_t>(line.length()), stderr);
  std::fflush(stderr);
}

class SectionedParser {
 public:
  SectionedParser(Config& config, std::vector<ConfigToken> tokens)
      : config_(config), tokens_(std::move(tokens)) {
    current_.emplace_back("localhost");
  }

  void run() {
    while (!stopped_ && pos_ < tokens_.size()) {
      const ConfigToken& t = tokens_[pos_];
      if (t.is(ConfigToken::kLineEnd)) {
        ++pos_;
      } else if (t.is(ConfigToken::kOpen)) {
        header();
      } else {
        assignment();
      }
    }
    expandCreated();
  }

 private:
  struct Created {
    ConfigRecord* section;
    std::vector<TqString> keys;  // in the order they were first stored
    std::set<std::string> seen;
  };

  bool atLineEnd() const {
    return pos_ >= tokens_.size() || tokens_[pos_].is(ConfigToken::kLineEnd);
  }

  // The section of that name, created on first mention.
  ConfigRecord* mention(const TqString& name) {
    bool created = false;
    ConfigRecord* section = config_.createSection(name, created);
    if (created) {
      created_index_[section] = created_.size();
      created_.push_back(Created{section, {}, {}});
    } else if (section == nullptr && !warned_sections_) {
      warned_sections_ = true;
      writeError(TqString("WARNING: more than ") + TqString(kMaxSections) +
                 " configuration sections; " + name + " and later ones skipped.\n");
    }
    return section;
  }

  void store(ConfigRecord& section, const TqString& key, const TqString& value) {
    if (stopped_) return;
    if (++stores_ > kMaxStoresPerParse) {
      stopped_ = true;
      writeError(TqString("WARNING: more than ") + TqString(kMaxStoresPerParse) +
                 " configuration values; the rest is skipped.\n");
      return;
    }
    stored_bytes_ += int64_t{key.length()} + value.length();
    if (stored_bytes_ > kMaxStoredBytesPerParse) {
      stopped_ = true;
      writeError(TqString("WARNING: more than ") +
                 TqString(std::to_string(kMaxStoredBytesPerParse)) +
                 " bytes of configuration values; the rest is skipped.\n");
      return;
    }
    section.set(key, value);
    auto it = created_index_.find(&section);
    if (it == created_index_.end()) return;
    Created& c = created_[it->second];
    if (c.seen.insert(key.str()).second) c.keys.push_back(key);
  }

  // "[" names "]" [":" parents], at the '['.
  void header() {
    ++pos_;
    TqString text;
    int64_t depth = 0;
    while (pos_ < tokens_.size()) {
      const ConfigToken& t = tokens_[pos_++];
      if (t.is(ConfigToken::kClose) && depth-- == 0) break;
      if (t.is(ConfigToken::kOpen)) ++depth;
      text.append(t.text);
    }
    bool truncated = false;
    current_ = sectionNamesOfHeader(text.view(), kMaxSectionsPerHeader, truncated);
    header_names_ += static_cast<int64_t>(current_.size());
    if (header_names_ > kMaxHeaderNamesPerParse) {
      current_.clear();
      stopped_ = true;
      writeError(TqString("WARNING: more than ") +
                 TqString(std::to_string(kMaxHeaderNamesPerParse)) +
                 " section names in headers; the rest is skipped.\n");
      return;
    }
    if (truncated) {
      writeError(TqString("WARNING: ") + text + " names more than " +
                 TqString(kMaxSectionsPerHeader) + " sections; the rest are skipped.\n");
    }
    for (const TqString& name : current_) mention(name);
    if (pos_ >= tokens_.size() || !tokens_[pos_].is(ConfigToken::kColon)) return;
    ++pos_;
    for (; !atLineEnd() && !stopped_; ++pos_) {
      if (tokens_[pos_].is(ConfigToken::kWord)) inherit(text, tokens_[pos_].text);
    }
  }

  // Copies what the parent holds now into every current section.
  void inherit(const TqString& header_text, const TqString& parent_name) {
    const ConfigRecord* parent = config_.section(parent_name);
    if (parent == nullptr) {
      writeError(TqString("WARNING: ") + header_text + " missing parent " + parent_name +
                 "... skipping.\n");
      return;
    }
    std::vector<std::pair<TqString, TqString>> entries;
    parent->options.forEach(
        [&](const TqString& key, const TqString& value) { entries.emplace_back(key, value); });
    for (const TqString& name : current_) {
      ConfigRecord* section = config_.section(name);
      if (section == nullptr || section == parent) continue;
      for (const auto& [key, value] : entries) store(*section, key, value);
    }
  }

  // key "=" value, or section "." key "=" value. Anything else ends the parse.
  void assignment() {
    TqString key = tokens_[pos_++].text;
    std::vector<TqString> single;
    const std::vector<TqString>* targets = &current_;
    if (pos_ < tokens_.size() && tokens_[pos_].isWord(".")) {
      if (++pos_ >= tokens_.size()) return stop();
      single.push_back(key);
      targets = &single;
      key = tokens_[pos_++].text;
    }
    if (pos_ >= tokens_.size() || !tokens_[pos_].is(ConfigToken::kEquals)) return stop();
    ++pos_;
    TqString value;
    if (pos_ < tokens_.size() && tokens_[pos_].is(ConfigToken::kQuote)) {
      ++pos_;
      while (pos_ < tokens_.size() && !tokens_[pos_].is(ConfigToken::kQuote)) {
        value.append(tokens_[pos_++].text);
      }
      if (pos_ < tokens_.size()) ++pos_;  // the closing quote
    } else {
      while (!atLineEnd()) value.append(tokens_[pos_++].text);
    }
    for (const TqString& name : *targets) {
      if (ConfigRecord* section = mention(name)) {
        store(*section, key, expandSelfReferences(value, section->name()));
      }
    }
  }

  void stop() { stopped_ = true; }

  // The second pass: last created section first, keys in the order they were stored.
  void expandCreated() {
    ExpansionBudget budget;
    TqString expanded;
    for (auto c = created_.rbegin(); c != created_.rend(); ++c) {
      for (const TqString& key : c->keys) {
        if (budget.bytes <= 0 || budget.references <= 0) return;
        if (!c->section->has(key)) continue;
        if (expandReferences(c->section->get(key), *c->section, config_.sections(), budget,
                             expanded)) {
          c->section->set(key, expanded);
        }
      }
    }
  }

  Config& config_;
  std::vector<ConfigToken> tokens_;
  size_t pos_ = 0;
  std::vector<TqString> current_;
  std::vector<Created> created_;
  std::unordered_map<const ConfigRecord*, size_t> created_index_;
  int64_t stores_ = 0;
  int64_t stored_bytes_ = 0;
  int64_t header_names_ = 0;
  bool stopped_ = false;
  bool warned_sections_ = false;
};

}  // namespace

Config::Config(const TqString& path) { load(path); }

bool Config::load(const TqString& path) {
  TqString text;
  if (!readConfigFile(path, text)) return false;
  loaded_ = true;
  parse(text);
  return true;
}

void Config::parse(const TqString& text) {
  TqString filtered = text.printable();
  SectionedParser(*this, tokenizeConfig(filtered.view())).run();
}

ConfigRecord* Config::createSection(const TqString& name, bool& created) {
  created = false;
  if (ConfigRecord* existing = sections_.find(name)) return existing;
  if (sections_.count() >= kMaxSections) return nullptr;
  auto section = std::make_unique<ConfigRecord>();
  section->setName(name);
  ConfigRecord* raw = section.get();
  sections_.insert(name, std::move(section));
  order_.push_back(raw);
  created = true;
  return raw;
}

void Config::sectionNames(StringList& out) const {
  for (const ConfigRecord* section : order_) out.append(section->name());
}

void Config::dump() const {
  TqString out;
  for (const ConfigRecord* section : order_) {
    out.append('[');
    out.append(section->name());
    out.append("]\n");
    std::vector<std::pair<TqString, TqString>> entries;
    section->options.forEach(
        [&](const TqString& key, const TqString& value) { entries.emplace_back(key, value); });
    std::sort(entries.begin(), entries.end());
    for (const auto& [key, value] : entries) {
      out.append(key);
      out.append(" = '");
      out.append(value);
      out.append("'\n");
    }
  }
  std::fwrite(out.c_str(), 1, static_cast<size_t>(out.length()), stdout);
  std::fflush(stdout);
}

}  // namespace tq
