#include "config/expression_tokens.h"

#include <string>

namespace tq {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isQuote(char c) { return c == '"' || c == '\''; }

class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool atEnd() const { return pos_ >= text_.size(); }
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  bool hasAhead(size_t ahead) const { return pos_ + ahead < text_.size(); }

  void skipBlanks() {
    while (!atEnd() && isBlank(text_[pos_])) ++pos_;
  }

  // The next `n` bytes as one token.
  TqString take(size_t n) {
    TqString token(text_.substr(pos_, n));
    pos_ += n;
    return token;
  }

  // At a quote: the text up to the same quote, escapes resolved, quotes dropped.
  TqString quoted() {
    char quote = text_[pos_++];
    std::string out;
    while (!atEnd() && text_[pos_] != quote) {
      if (text_[pos_] == '\\') {
        ++pos_;
        if (atEnd()) break;
      }
      out += text_[pos_++];
    }
    if (!atEnd()) ++pos_;  // the closing quote
    return TqString(std::string_view(out));
  }

  // At "{": the text up to the matching "}", inner braces kept.
  TqString braced() {
    ++pos_;
    size_t start = pos_;
    int64_t depth = 1;
    while (!atEnd()) {
      char c = text_[pos_];
      if (c == '{') ++depth;
      if (c == '}' && --depth == 0) break;
      ++pos_;
    }
    TqString token(text_.substr(start, pos_ - start));
    if (!atEnd()) ++pos_;  // the closing brace
    return token;
  }

  // A word of at least one byte, up to a blank or a byte for which `ends` is true.
  template <typename Ends>
  TqString word(Ends ends) {
    size_t start = pos_++;
    while (!atEnd() && !isBlank(text_[pos_]) && !ends(text_[pos_])) ++pos_;
    return TqString(text_.substr(start, pos_ - start));
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool endsInfixWord(char c) {
  switch (c) {
    case '+':
    case '*':
    case '/':
    case '?':
    case ':':
    case ')':
    case '(':
    case '-':
    case '&':
    case '|':
    case '>':
    case '<':
    case '=':
    case '!':
    case '"':
    case '\'':
      return true;
    default:
      return false;
  }
}

bool endsPlainWord(char c) { return c == '(' || c == ')' || isQuote(c); }

bool isComparisonByte(char c) { return c == '<' || c == '=' || c == '>'; }

}  // namespace

std::vector<TqString> tokenizeInfix(std::string_view text) {
  std::vector<TqString> tokens;
  Cursor in(text);
  for (in.skipBlanks(); !in.atEnd(); in.skipBlanks()) {
    char c = in.peek();
    char next = in.hasAhead(1) ? in.peek(1) : '\0';
    switch (c) {
      case '!':
        tokens.push_back(in.take(next == '=' ? 2 : 1));
        break;
      case '&':
      case '|':
        tokens.push_back(in.take(next == c ? 2 : 1));
        break;
      case '<':
      case '=':
      case '>':
        tokens.push_back(in.take(in.hasAhead(1) && isComparisonByte(next) ? 2 : 1));
        break;
      case '(':
      case ')':
      case '*':
      case '+':
      case ',':
      case '-':
      case '/':
      case ':':
      case '?':
        tokens.push_back(in.take(1));
        break;
      case '"':
      case '\'':
        tokens.push_back(in.quoted());
        break;
      default:
        tokens.push_back(in.word(endsInfixWord));
        break;
    }
  }
  return tokens;
}

std::vector<TqString> tokenizeWords(std::string_view text) {
  std::vector<TqString> tokens;
  Cursor in(text);
  for (in.skipBlanks(); !in.atEnd(); in.skipBlanks()) {
    char c = in.peek();
    if (c == '(' || c == ')') {
      tokens.push_back(in.take(1));
    } else if (isQuote(c)) {
      tokens.push_back(in.quoted());
    } else {
      tokens.push_back(in.word(endsPlainWord));
    }
  }
  return tokens;
}

std::vector<TqString> tokenizeList(std::string_view text) {
  std::vector<TqString> tokens;
  Cursor in(text);
  for (in.skipBlanks(); !in.atEnd(); in.skipBlanks()) {
    char c = in.peek();
    if (c == ',' || c == '(' || c == ')') {
      tokens.push_back(in.take(1));
    } else if (isQuote(c)) {
      tokens.push_back(in.quoted());
    } else if (c == '{') {
      tokens.push_back(in.braced());
    } else {
      tokens.push_back(in.word(endsPlainWord));
    }
  }
  return tokens;
}

}  // namespace tq
