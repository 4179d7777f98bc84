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

std::vector<ConfigToken> tokenizeConfig(std::string_view text);

}  // namespace tq
