// The tokeniser of sectioned configuration files.
//
//   blanks (space, TAB)      separate tokens and are dropped
//   # ...                    a comment up to (not including) the line end
//   {text}                   one word, possibly empty and spanning lines; no nesting; "\}" is a
//                            literal '}'; an unclosed brace runs to the end of the input
//   "text"                   a quote token, the text as one word, a quote token; the text ends
//                            at the next '"', CR or LF (which is consumed); "\"" is a literal '"'
//   LF CR : [ ] = } \        one token each
//   anything else            a word, up to a blank, LF, CR, '"', ':', '[', ']', '=', '{', '}',
//                            '\' or '#'
// Note that '.' belongs to words: "farm.root" is one word, "farm . root" three.
#pragma once

#include <string_view>
#include <vector>

#include "records/tq_string.h"

namespace tq {

struct ConfigToken {
  enum Kind { kWord, kQuote, kLineEnd, kColon, kOpen, kClose, kEquals, kCloseBrace, kBackslash };
  Kind kind;
  TqString text;  // the word, or the character of any other token

  bool is(Kind k) const { return kind == k; }
  bool isWord(std::string_view w) const { return kind == kWord && text.view() == w; }
};

// Cuts tokens one at a time, so that the parser holds one token, not the whole input's: a text
// of line ends alone would otherwise cost a token (tens of bytes) per byte.
class ConfigTokenizer {
 public:
  explicit ConfigTokenizer(std::string_view text) : text_(text) {}
  // The next token into `out`; false at the end of the text.
  bool next(ConfigToken& out);

 private:
  void braced(ConfigToken& out);
  void quotedText(ConfigToken& out);

  std::string_view text_;
  size_t pos_ = 0;
  // A quoted text is three tokens: the quote, the text, the quote. What is still to come.
  int pending_quote_parts_ = 0;
  TqString pending_text_;
};

// Every token of the text at once (for tests and tools).
std::vector<ConfigToken> tokenizeConfig(std::string_view text);

}  // namespace tq
