// The three token syntaxes of the expression language. Each returns the tokens in order; the
// parser decides what a token means from its text alone.
//
// Shared rules: blanks (space, TAB, CR, LF) separate tokens and are dropped. A token that starts
// with a double or a single quote runs to the same quote (or the end of the text), a backslash
// taking the next byte literally; the token is the text without the quotes and the escaping
// backslashes. Every token consumes at least one byte, so tokenising always ends.
#pragma once

#include <string_view>
#include <vector>

#include "records/tq_string.h"

namespace tq {

enum class ExpressionSyntax { kInfix, kWords, kList };

// Cuts the tokens of one syntax one at a time, so that a parser that stops early never pays for
// the rest of the text, and never holds more than one token at once.
class ExpressionTokenizer {
 public:
  ExpressionTokenizer(std::string_view text, ExpressionSyntax syntax);
  // The next token into `token`; false at the end of the text.
  bool next(TqString& token);

 private:
  std::string_view text_;
  size_t pos_ = 0;
  ExpressionSyntax syntax_;
};

// The functions below give all tokens of a text at once (for tests and tools).

// Symbol operators: "!" "!=" "&" "&&" "|" "||"; '<', '=' or '>' alone or followed by one of
// them ("<=", "<<", "<>", "==", ">=", ">>" ...); the single bytes ( ) * + , - / : ?; quoted
// text; words up to a blank, a quote or one of + * / ? : ) ( - & | > < = !.
std::vector<TqString> tokenizeInfix(std::string_view text);

// "(" and ")" alone, quoted text, words up to a blank, "(", ")" or a quote.
std::vector<TqString> tokenizeWords(std::string_view text);

// As the word syntax, plus "," alone where a token starts and braced text: "{" to the matching
// "}", inner braces kept, the outer pair dropped.
std::vector<TqString> tokenizeList(std::string_view text);

}  // namespace tq
