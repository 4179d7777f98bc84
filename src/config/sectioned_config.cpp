#include "config/sectioned_config.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "config/config_expansion.h"
#include "config/config_limits.h"
#include "config/config_tokens.h"
#include "config/section_header.h"

namespace tq {
namespace {

// A text from the input, as a warning repeats it: cut to kMaxWarningTextLength bytes.
TqString shown(const TqString& text) {
  if (text.length() <= kMaxWarningTextLength) return text;
  TqString cut(text.c_str(), kMaxWarningTextLength);
  cut.append("...");
  return cut;
}

TqString number(int64_t n) { return TqString(std::to_string(n)); }

class SectionedParser {
 public:
  SectionedParser(Config& config, std::string_view text) : config_(config), tokens_(text) {
    current_.emplace_back("localhost");
  }

  void run() {
    while (!stopped_ && peek() != nullptr) {
      if (peek()->is(ConfigToken::kLineEnd)) {
        advance();
      } else if (peek()->is(ConfigToken::kOpen)) {
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
  };

  // The token at hand, or null at the end of the input. Tokens are cut one at a time.
  const ConfigToken* peek() {
    if (!have_token_ && !tokens_ended_) {
      have_token_ = tokens_.next(token_);
      tokens_ended_ = !have_token_;
    }
    return have_token_ ? &token_ : nullptr;
  }
  void advance() {
    peek();
    have_token_ = false;
  }
  // The text of the token at hand, moved out, and on to the next one.
  TqString take() {
    peek();
    TqString text = std::move(token_.text);
    token_.text = TqString();
    have_token_ = false;
    return text;
  }
  bool atLineEnd() {
    const ConfigToken* t = peek();
    return t == nullptr || t->is(ConfigToken::kLineEnd);
  }

  // Writes one warning line; past kMaxWarningsPerParse only a last line says that more were
  // left out.
  void warn(const TqString& line) {
    ++warnings_;
    if (warnings_ > kMaxWarningsPerParse + 1) return;
    const TqString& out =
        warnings_ <= kMaxWarningsPerParse
            ? line
            : TqString("WARNING: more configuration warnings; the rest are not shown.\n");
    std::fwrite(out.c_str(), 1, static_cast<size_t>(out.length()), stderr);
    std::fflush(stderr);
  }

  // Ends the parse at a bound of the whole parse.
  void stopAt(const TqString& what) {
    stopped_ = true;
    warn(TqString("WARNING: more than ") + what + "; the rest is skipped.\n");
  }

  // The section of that name, created on first mention.
  ConfigRecord* mention(const TqString& name) {
    bool created = false;
    ConfigRecord* section = config_.createSection(name, created);
    if (created) {
      created_index_[section] = created_.size();
      created_.push_back(Created{section, {}});
    } else if (section == nullptr && !warned_sections_) {
      warned_sections_ = true;
      warn(TqString("WARNING: more than ") + TqString(kMaxSections) + " configuration sections; " +
           shown(name) + " and later ones skipped.\n");
    }
    return section;
  }

  void store(ConfigRecord& section, const TqString& key, const TqString& value) {
    if (stopped_) return;
    if (++stores_ > kMaxStoresPerParse) {
      return stopAt(TqString(kMaxStoresPerParse) + " configuration values");
    }
    stored_bytes_ += int64_t{key.length()} + value.length();
    if (stored_bytes_ > kMaxStoredBytesPerParse) {
      return stopAt(number(kMaxStoredBytesPerParse) + " bytes of configuration values");
    }
    auto it = created_index_.find(&section);
    bool first = it != created_index_.end() && !section.has(key);
    section.set(key, value);
    if (first) created_[it->second].keys.push_back(key);
  }

  // "[" names "]" [":" parents], at the '['.
  void header() {
    advance();
    TqString text;
    int64_t depth = 0;
    for (const ConfigToken* t = peek(); t != nullptr; t = peek()) {
      bool closes = t->is(ConfigToken::kClose) && depth-- == 0;
      if (t->is(ConfigToken::kOpen)) ++depth;
      if (!closes) text.append(t->text);
      advance();
      if (closes) break;
    }
    bool truncated = false;
    bool out_of_bytes = false;
    HeaderNameLimits limits{kMaxSectionsPerHeader, kMaxHeaderNameBytesPerParse - header_bytes_};
    current_ = sectionNamesOfHeader(text.view(), limits, truncated, out_of_bytes);
    header_names_ += static_cast<int64_t>(current_.size());
    for (const TqString& name : current_) header_bytes_ += name.length();
    if (out_of_bytes) {
      current_.clear();
      return stopAt(number(kMaxHeaderNameBytesPerParse) + " bytes of section names in headers");
    }
    if (header_names_ > kMaxHeaderNamesPerParse) {
      current_.clear();
      return stopAt(number(kMaxHeaderNamesPerParse) + " section names in headers");
    }
    if (truncated) {
      warn(TqString("WARNING: ") + shown(text) + " names more than " +
           TqString(kMaxSectionsPerHeader) + " sections; the rest are skipped.\n");
    }
    for (const TqString& name : current_) mention(name);
    if (peek() == nullptr || !peek()->is(ConfigToken::kColon)) return;
    advance();
    // Every token up to the line end names a parent, punctuation included: a ':' or '=' there
    // is a section name like any other (and, missing, draws its warning).
    for (; !atLineEnd() && !stopped_; advance()) inherit(text, peek()->text);
  }

  // Copies what the parent holds now into every current section. The parent is read in
  // place: it is never one of the sections written to, and nothing is copied for a header
  // that names no other section, so a long run of parents costs only what it stores.
  void inherit(const TqString& header_text, const TqString& parent_name) {
    const ConfigRecord* parent = config_.section(parent_name);
    if (parent == nullptr) {
      if (warnings_ > kMaxWarningsPerParse) return;  // not shown: not worth building
      warn(TqString("WARNING: ") + shown(header_text) + " missing parent " + shown(parent_name) +
           "... skipping.\n");
      return;
    }
    for (const TqString& name : current_) {
      ConfigRecord* section = config_.section(name);
      if (section == nullptr || section == parent) continue;
      parent->options.forEach(
          [&](const TqString& key, const TqString& value) { store(*section, key, value); });
      if (stopped_) return;
    }
  }

  // key "=" value, or section "." key "=" value. Anything else ends the parse.
  void assignment() {
    TqString key = take();
    std::vector<TqString> single;
    const std::vector<TqString>* targets = &current_;
    if (peek() != nullptr && peek()->isWord(".")) {
      advance();
      if (peek() == nullptr) return stop();
      single.push_back(key);
      targets = &single;
      key = take();
    }
    if (peek() == nullptr || !peek()->is(ConfigToken::kEquals)) return stop();
    advance();
    TqString value;
    if (peek() != nullptr && peek()->is(ConfigToken::kQuote)) {
      advance();
      for (const ConfigToken* t = peek(); t != nullptr && !t->is(ConfigToken::kQuote); t = peek()) {
        value.append(t->text);
        advance();
      }
      advance();  // the closing quote
    } else {
      while (!atLineEnd()) {
        value.append(peek()->text);
        advance();
      }
    }
    // The first pass copies the value once per section; once a bound has ended the parse, no
    // further copy is made.
    for (const TqString& name : *targets) {
      if (stopped_) return;
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
  ConfigTokenizer tokens_;
  ConfigToken token_{ConfigToken::kWord, TqString()};
  bool have_token_ = false;
  bool tokens_ended_ = false;
  std::vector<TqString> current_;
  std::vector<Created> created_;
  std::unordered_map<const ConfigRecord*, size_t> created_index_;
  int32_t stores_ = 0;
  int64_t stored_bytes_ = 0;
  int64_t header_names_ = 0;
  int64_t header_bytes_ = 0;
  int32_t warnings_ = 0;
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
  SectionedParser(*this, filtered.view()).run();
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
