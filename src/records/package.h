// Package tree: the named values a job carries in its `data` text.
//
// A node has a name, a value and children in insertion order. An empty name or value is the
// same as none. A node whose first child has a name is a map (its children are named entries);
// any other node with children is an array.
//
// Three text forms:
//   parenthesised  "(" name "=" value children... ")", with a backslash before every backslash,
//                  "(", ")" and "=" of a name or value; e.g. (=(Comp_name=Main)(Frame_range=1-10))
//   markup         <hash name = "...">, <array>, <scalar>...</scalar>, one element per line,
//                  indented by tabs; the same backslash escaping, no other escaping
//   readable       "\nComp_name: Main\nFrame_range: 1-10\n", nested levels indented by 3 blanks
//
// The writers return their result and keep no state between calls, so they are re-entrant; the
// parser likewise keeps its position on the stack of the call. None of them recurses through
// the tree, so trees of any depth built in code are written and destroyed safely.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "records/tq_string.h"

namespace tq {

// Deepest nesting the parser of the parenthesised form accepts. The root is level 1, so a
// parsed tree has at most kMaxPackageDepth levels. A node that would sit deeper is skipped with
// everything inside it (read exactly as the parser reads it, then discarded), and its parent
// goes on with the text after that node. Hostile input therefore cannot exhaust the stack.
constexpr int kMaxPackageDepth = 64;

class Package {
 public:
  Package() = default;
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // Copy the given text; a null pointer is refused (false) and leaves the member unchanged.
  bool setName(const char* name);
  bool setName(const TqString& name);
  bool setValue(const char* value);
  bool setValue(const TqString& value);

  // An empty string stands for none.
  const TqString& name() const { return name_; }
  const TqString& value() const { return value_; }
  int32_t nameLength() const { return name_.length(); }
  int32_t valueLength() const { return value_.length(); }

  // Appends a child, taking ownership. A null child, or the node itself, is refused (false).
  bool addChild(std::unique_ptr<Package> child);
  int32_t childCount() const { return static_cast<int32_t>(children_.size()); }
  // Null for an index outside 0..childCount()-1.
  const Package* child(int32_t index) const;
  Package* child(int32_t index);

  bool isLeaf() const { return children_.empty(); }
  // True when the first child has a name.
  bool isMap() const { return !children_.empty() && !children_.front()->name_.empty(); }

  TqString writeParenthesised() const;
  TqString writeMarkup() const;
  TqString writeReadable() const;

  // Null for empty text. Otherwise the root is returned even when the text does not start with
  // "(" (it is then empty). Text that ends early ends every open node with the children read so
  // far; text after the root's closing ")" is ignored.
  // A TqString is passed as text.view().
  static std::unique_ptr<Package> parseParenthesised(std::string_view text);

 private:
  friend class PackageParser;

  TqString name_;
  TqString value_;
  std::vector<std::unique_ptr<Package>> children_;
};

// Parse, render and drop the tree. Empty text (no tree) renders as empty text.
TqString parenthesisedToMarkup(std::string_view text);
TqString parenthesisedToReadable(std::string_view text);

}  // namespace tq
