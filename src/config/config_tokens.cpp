#include "config/config_tokens.h"

#include <cstring>
#include <utility>

namespace tq {
namespace {

bool endsWord(char c) { return c == ' ' || c == '\t' || std::strchr("\n\r\":[]={}\\#", c); }

ConfigToken::Kind punctuation(char c) {
  switch (c) {
    case '\n':
    case '\r':
      return ConfigToken::kLineEnd;
    case ':':
      return ConfigToken::kColon;
    case '[':
      return ConfigToken::kOpen;
    case ']':
      return ConfigToken::kClose;
    case '=':
      return ConfigToken::kEquals;
    case '}':
      return ConfigToken::kCloseBrace;
    default:
      return ConfigToken::kBackslash;
  }
}

void set(ConfigToken& out, ConfigToken::Kind kind, std::string_view text) {
  out.kind = kind;
  out.text.assign(text.data(), static_cast<int32_t>(text.size()));
}

}  // namespace

bool ConfigTokenizer::next(ConfigToken& out) {
  if (pending_quote_parts_ == 2) {
    pending_quote_parts_ = 1;
    out.kind = ConfigToken::kWord;
    out.text = std::move(pending_text_);
    pending_text_ = TqString();
    return true;
  }
  if (pending_quote_parts_ == 1) {
    pending_quote_parts_ = 0;
    set(out, ConfigToken::kQuote, "\"");
    return true;
  }
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (c == ' ' || c == '\t') {
      ++pos_;
    } else if (c == '#') {
      while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    } else if (c == '{') {
      braced(out);
      return true;
    } else if (c == '"') {
      quotedText(out);
      return true;
    } else if (c == '\0' || !std::strchr("\n\r\":[]={}\\", c)) {
      size_t start = pos_;
      while (pos_ < text_.size() && (text_[pos_] == '\0' || !endsWord(text_[pos_]))) ++pos_;
      set(out, ConfigToken::kWord, text_.substr(start, pos_ - start));
      return true;
    } else {
      set(out, punctuation(c), text_.substr(pos_, 1));
      ++pos_;
      return true;
    }
  }
  return false;
}

void ConfigTokenizer::braced(ConfigToken& out) {
  ++pos_;
  out.kind = ConfigToken::kWord;
  out.text.clear();
  while (pos_ < text_.size() && text_[pos_] != '}') {
    // Copied a run at a time: the text up to the next '}' or backslash.
    size_t run = pos_;
    while (run < text_.size() && text_[run] != '}' && text_[run] != '\\') ++run;
    out.text.append(text_.substr(pos_, run - pos_));
    pos_ = run;
    if (pos_ < text_.size() && text_[pos_] == '\\') {
      if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '}') ++pos_;
      out.text.append(text_[pos_++]);
    }
  }
  if (pos_ < text_.size()) ++pos_;  // the closing brace
}

void ConfigTokenizer::quotedText(ConfigToken& out) {
  ++pos_;
  pending_text_ = TqString();
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (c == '"' || c == '\n' || c == '\r') break;
    if (c == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') c = text_[++pos_];
    pending_text_.append(c);
    ++pos_;
  }
  if (pos_ < text_.size()) ++pos_;  // the closing quote or line end
  pending_quote_parts_ = 2;
  set(out, ConfigToken::kQuote, "\"");
}

std::vector<ConfigToken> tokenizeConfig(std::string_view text) {
  std::vector<ConfigToken> tokens;
  ConfigTokenizer tokenizer(text);
  ConfigToken token{ConfigToken::kWord, TqString()};
  while (tokenizer.next(token)) tokens.push_back(token);
  return tokens;
}

}  // namespace tq
