// The scanner of flat configuration files (the "config" record).
#include <cstdio>
#include <string_view>

#include "config/config_limits.h"
#include "config/config_record.h"

namespace tq {
namespace {

bool isSkippedBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Ends a bare value; the character itself is consumed with it.
bool endsBareValue(char c) {
  return c == '#' || c == '\r' || c == '\n' || c == '\t' || c == ' ' ||
         static_cast<unsigned char>(c) >= 0x80;
}

class FlatScanner {
 public:
  FlatScanner(std::string_view text, StringHash& out) : text_(text), out_(out) {}

  void run() {
    while (!atEnd()) {
      skipBlanks();
      if (atEnd()) return;
      char c = text_[pos_];
      if (c == '#') {
        skipThrough('\n');
      } else if (c == '[') {
        skipThrough(']');  // a section header: what follows is scanned as usual
      } else if (!readEntry()) {
        return;
      }
    }
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  void skipBlanks() {
    while (!atEnd() && isSkippedBlank(text_[pos_])) ++pos_;
  }
  void skipThrough(char end) {
    size_t found = text_.find(end, pos_);
    pos_ = found == std::string_view::npos ? text_.size() : found + 1;
  }

  // One "key = value" line. False when the text ended before the entry was complete, or when
  // the entry would add a key past kMaxConfigKeys (which ends the parse).
  bool readEntry() {
    TqString key;
    for (;;) {
      if (atEnd()) return false;
      char c = text_[pos_++];
      if (c == '=') break;
      if (c == '\n' || c == '#') return true;  // no entry; go on right after it
      if (!isSkippedBlank(c)) key.append(c);
    }
    skipBlanks();
    if (atEnd()) return false;  // nothing after the '=': no entry
    TqString value;
    bool ended_on_line_feed = readValue(value);
    if (!ended_on_line_feed) skipThrough('\n');
    if (out_.count() >= kMaxConfigKeys && !out_.contains(key)) {
      std::fprintf(stderr, "WARNING: more than %d configuration keys; the rest is skipped.\n",
                   kMaxConfigKeys);
      std::fflush(stderr);
      return false;
    }
    out_.insert(key, std::move(value));
    return true;
  }

  // Answers whether the value ended on (and consumed) the line feed.
  bool readValue(TqString& value) {
    char first = text_[pos_];
    if (first == '"' || first == '\'') {
      ++pos_;
      while (!atEnd()) {
        char c = text_[pos_++];
        if (c == first) return false;
        if (c == '\n') return true;
        if (c != '\r') value.append(c);
      }
      return false;
    }
    if (first == '{') {
      ++pos_;
      int64_t depth = 1;
      while (!atEnd()) {
        char c = text_[pos_++];
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return false;
        if (c != '\r') value.append(c);
      }
      return false;
    }
    size_t start = pos_;
    while (!atEnd() && !endsBareValue(text_[pos_])) ++pos_;
    value.append(text_.data() + start, static_cast<int32_t>(pos_ - start));
    if (atEnd()) return false;
    return text_[pos_++] == '\n';
  }

  std::string_view text_;
  size_t pos_ = 0;
  StringHash& out_;
};

}  // namespace

void parseFlatConfig(std::string_view text, StringHash& out) { FlatScanner(text, out).run(); }

}  // namespace tq
