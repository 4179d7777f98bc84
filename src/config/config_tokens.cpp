#include "config/config_tokens.h"

#include <cstring>

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

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : text_(text) {}

  std::vector<ConfigToken> run() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == ' ' || c == '\t') {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
      } else if (c == '{') {
        braced();
      } else if (c == '"') {
        quoted();
      } else if (c == '\0' || !std::strchr("\n\r\":[]={}\\", c)) {
        size_t start = pos_;
        while (pos_ < text_.size() && (text_[pos_] == '\0' || !endsWord(text_[pos_]))) ++pos_;
        emit(ConfigToken::kWord, text_.substr(start, pos_ - start));
      } else {
        emit(punctuation(c), text_.substr(pos_, 1));
        ++pos_;
      }
    }
    return std::move(tokens_);
  }

 private:
  void emit(ConfigToken::Kind kind, std::string_view text) {
    tokens_.push_back(ConfigToken{kind, TqString(text)});
  }

  void braced() {
    ++pos_;
    TqString word;
    while (pos_ < text_.size() && text_[pos_] != '}') {
      if (text_[pos_] == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '}') ++pos_;
      word.append(text_[pos_++]);
    }
    if (pos_ < text_.size()) ++pos_;  // the closing brace
    tokens_.push_back(ConfigToken{ConfigToken::kWord, std::move(word)});
  }

  void quoted() {
    ++pos_;
    TqString word;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '"' || c == '\n' || c == '\r') break;
      if (c == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') c = text_[++pos_];
      word.append(c);
      ++pos_;
    }
    if (pos_ < text_.size()) ++pos_;  // the closing quote or line end
    emit(ConfigToken::kQuote, "\"");
    tokens_.push_back(ConfigToken{ConfigToken::kWord, std::move(word)});
    emit(ConfigToken::kQuote, "\"");
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::vector<ConfigToken> tokens_;
};

}  // namespace

std::vector<ConfigToken> tokenizeConfig(std::string_view text) { return Tokenizer(text).run(); }

}  // namespace tq
