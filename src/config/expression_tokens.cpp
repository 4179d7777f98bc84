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
  size_t position() const { return pos_; }

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

// One token of each syntax, at a cursor that stands on a byte other than a blank.
TqString infixToken(Cursor& in) {
  char c = in.peek();
  char next = in.hasAhead(1) ? in.peek(1) : '\0';
  switch (c) {
    case '!':
      return in.take(next == '=' ? 2 : 1);
    case '&':
    case '|':
      return in.take(next == c ? 2 : 1);
    case '<':
    case '=':
    case '>':
      return in.take(in.hasAhead(1) && isComparisonByte(next) ? 2 : 1);
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '/':
    case ':':
    case '?':
      return in.take(1);
    case '"':
    case '\'':
      return in.quoted();
    default:
      return in.word(endsInfixWord);
  }
}

TqString wordsToken(Cursor& in) {
  char c = in.peek();
  if (c == '(' || c == ')') return in.take(1);
  if (isQuote(c)) return in.quoted();
  return in.word(endsPlainWord);
}

TqString listToken(Cursor& in) {
  char c = in.peek();
  if (c == ',' || c == '(' || c == ')') return in.take(1);
  if (isQuote(c)) return in.quoted();
  if (c == '{') return in.braced();
  return in.word(endsPlainWord);
}

}  // namespace

ExpressionTokenizer::ExpressionTokenizer(std::string_view text, ExpressionSyntax syntax)
    : text_(text), syntax_(syntax) {}

bool ExpressionTokenizer::next(TqString& token) {
  Cursor in(text_.substr(pos_));
  in.skipBlanks();
  if (in.atEnd()) {
    pos_ = text_.size();
    return false;
  }
  switch (syntax_) {
    case ExpressionSyntax::kInfix:
      token = infixToken(in);
      break;
    case ExpressionSyntax::kWords:
      token = wordsToken(in);
      break;
    case ExpressionSyntax::kList:
      token = listToken(in);
      break;
  }
  pos_ += in.position();
  return true;
}

namespace {

std::vector<TqString> allTokens(std::string_view text, ExpressionSyntax syntax) {
  std::vector<TqString> tokens;
  ExpressionTokenizer tokenizer(text, syntax);
  TqString token;
  while (tokenizer.next(token)) tokens.push_back(std::move(token));
  return tokens;
}

}  // namespace

std::vector<TqString> tokenizeInfix(std::string_view text) {
  return allTokens(text, ExpressionSyntax::kInfix);
}

std::vector<TqString> tokenizeWords(std::string_view text) {
  return allTokens(text, ExpressionSyntax::kWords);
}

std::vector<TqString> tokenizeList(std::string_view text) {
  return allTokens(text, ExpressionSyntax::kList);
}

}  // namespace tq
