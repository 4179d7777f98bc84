#include "config/config_record.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "config/file_util.h"
#include "platform/file_system.h"

namespace tq {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool holdsAny(const TqString& value, std::string_view bytes) {
  return value.view().find_first_of(bytes) != std::string_view::npos;
}

bool hasHighByte(const TqString& value) {
  for (char c : value.view())
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

void wrap(TqString& out, const TqString& value, char open, char close) {
  out.append(open);
  out.append(value);
  out.append(close);
}

// Between braces, which the reader pairs up. Braces the value leaves unpaired get partners
// outside it (a '{' in front for each stray '}', a '}' after it for each open '{'), so that the
// value reads back with those braces added instead of running into the lines after it.
void writeBraced(TqString& out, const TqString& value) {
  int64_t depth = 0;
  int64_t lowest = 0;
  for (char c : value.view()) {
    if (c == '{') ++depth;
    if (c == '}') lowest = std::min(lowest, --depth);
  }
  for (int64_t i = 0; i < 1 - lowest; ++i) out.append('{');
  out.append(value);
  for (int64_t i = 0; i < 1 + depth - lowest; ++i) out.append('}');
}

// Quotes a single-line value: double quotes, else single quotes, else braces.
void writeQuoted(TqString& out, const TqString& value) {
  if (!value.contains('"')) {
    wrap(out, value, '"', '"');
  } else if (!value.contains('\'')) {
    wrap(out, value, '\'', '\'');
  } else {
    writeBraced(out, value);
  }
}

}  // namespace

void writeConfigValue(TqString& out, const TqString& value) {
  if (holdsAny(value, "\r\n")) {
    writeBraced(out, value);
  } else if (holdsAny(value, " \t")) {
    writeQuoted(out, value);
  } else if (hasHighByte(value) || value.contains('#') || value.at(0) == '"' ||
             value.at(0) == '\'' || value.at(0) == '{') {
    writeQuoted(out, value);
  } else {
    out.append(value);
  }
}

bool readConfigFile(const TqString& path, TqString& out) {
  if (path.empty() || isDirectory(path)) return false;
  std::unique_ptr<std::FILE, FileCloser> file(platform::openFile(path.str(), "r"));
  if (!file) return false;
  char chunk[1024];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof(chunk), file.get());
    if (got == 0) break;
    int32_t before = out.length();
    out.append(chunk, static_cast<int32_t>(got));
    if (out.length() == before) break;  // the string cannot grow any further
  }
  return true;
}

ConfigRecord::ConfigRecord(const TqString& path) { load(path); }

void ConfigRecord::setText(const TqString& text) {
  text_ = text;
  loaded_ = true;
  parseFlatConfig(text_.view(), options);
}

bool ConfigRecord::load(const TqString& path) {
  TqString text;
  if (!readConfigFile(path, text)) return false;
  setText(text);
  return true;
}

const TqString& ConfigRecord::get(const TqString& key) const {
  static const TqString kEmpty;
  const TqString* value = options.find(key);
  return value ? *value : kEmpty;
}

void ConfigRecord::set(const TqString& key, const TqString& value) { options.insert(key, value); }

void ConfigRecord::keys(StringList& out) const {
  options.forEach([&](const TqString& key, const TqString&) { out.append(key); });
}

void ConfigRecord::copyFrom(const ConfigRecord& other) {
  if (&other == this) return;
  other.options.forEach([&](const TqString& key, const TqString& value) { set(key, value); });
}

bool ConfigRecord::equals(const ConfigRecord& other) const {
  bool same = true;
  other.options.forEach([&](const TqString& key, const TqString& value) {
    const TqString* mine = options.find(key);
    if (mine == nullptr || !mine->equals(value)) same = false;
  });
  return same;
}

TqString ConfigRecord::toText() const {
  TqString text;
  options.forEach([&](const TqString& key, const TqString& value) {
    text.append(key);
    text.append(" = ");
    writeConfigValue(text, value);
    text.append('\n');
  });
  return text;
}

void ConfigRecord::dump() const {
  std::vector<std::pair<const TqString*, const TqString*>> entries;
  options.forEach(
      [&](const TqString& key, const TqString& value) { entries.emplace_back(&key, &value); });
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return *a.first < *b.first; });
  TqString out("items: ");
  out.append(static_cast<int>(entries.size()));
  out.append('\n');
  for (size_t i = 0; i < entries.size(); ++i) {
    out.append(static_cast<int>(i));
    out.append(": ");
    out.append(*entries[i].first);
    out.append('=');
    out.append(*entries[i].second);
    out.append('\n');
  }
  std::fwrite(out.c_str(), 1, static_cast<size_t>(out.length()), stdout);
  std::fflush(stdout);
}

}  // namespace tq
