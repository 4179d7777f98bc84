// The parser of the parenthesised package form.
//
// Grammar, as the writer produces it and as older writers may have left it:
//   node  = "(" name "=" value { node | any other byte, skipped } ")"
//   name  = bytes up to an unescaped "=" (or the end)
//   value = bytes up to an unescaped "(" or ")" (or the end)
// A backslash is dropped and the byte after it is taken as it is. Text that ends early closes
// every open node. Each byte is looked at a bounded number of times, so parsing is linear.
// Every node is charged to a budget of what the parse may build (records/decode_budget.h): "(=)"
// is three bytes and a node is about a hundred. Once the budget is spent the text is taken to
// end there, which closes every open node.
#include <string>

#include "records/decode_budget.h"
#include "records/package.h"

namespace tq {

class PackageParser {
 public:
  explicit PackageParser(std::string_view text)
      : text_(text), budget_(static_cast<int64_t>(text.size())) {}

  // Parses a node into `node` at the current position; false (nothing consumed) unless the
  // position holds "(". `level` is the node's level in the tree, the root being 1.
  bool parseNode(Package& node, int level) {
    if (atEnd() || text_[pos_] != '(') return false;
    ++pos_;
    readName(&node.name_);
    readValue(&node.value_);
    while (!atEnd() && text_[pos_] != ')') {
      if (text_[pos_] != '(') {
        ++pos_;  // a stray byte between children
      } else if (level >= kMaxPackageDepth) {
        skipNode();
      } else if (!budget_.charge(builtCost<Package>())) {
        pos_ = text_.size();
      } else {
        auto child = std::make_unique<Package>();
        parseNode(*child, level + 1);
        node.children_.push_back(std::move(child));
      }
    }
    if (!atEnd()) ++pos_;  // the closing ")"
    return true;
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }

  // Reads up to (not past) an unescaped stop byte or the end; drops the escaping backslashes.
  // With a null `out` the text is only passed over.
  template <typename IsStop>
  void readText(TqString* out, IsStop is_stop) {
    scratch_.clear();
    while (!atEnd()) {
      char c = text_[pos_];
      if (c == '\\') {
        ++pos_;
        if (atEnd()) break;  // a trailing backslash escapes nothing
        c = text_[pos_];
      } else if (is_stop(c)) {
        break;
      }
      if (out != nullptr) scratch_ += c;
      ++pos_;
    }
    if (out != nullptr) *out = TqString(std::string_view(scratch_));
  }

  void readName(TqString* out) {
    readText(out, [](char c) { return c == '='; });
    if (!atEnd()) ++pos_;  // the "="
  }

  void readValue(TqString* out) {
    readText(out, [](char c) { return c == '(' || c == ')'; });
  }

  // Passes over the node at the current "(" exactly as parseNode would read it, keeping only a
  // count of open nodes, and leaves the position after its closing ")" (or at the end).
  void skipNode() {
    int64_t open = 0;
    for (;;) {
      ++pos_;  // the "(" of a node
      ++open;
      readName(nullptr);
      readValue(nullptr);
      for (;;) {
        if (atEnd()) return;
        char c = text_[pos_];
        if (c == '(') break;  // a child: enter it
        ++pos_;
        if (c == ')' && --open == 0) return;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string scratch_;
  DecodeBudget budget_;
};

std::unique_ptr<Package> Package::parseParenthesised(std::string_view text) {
  if (text.empty()) return nullptr;
  auto root = std::make_unique<Package>();
  PackageParser(text).parseNode(*root, 1);
  return root;
}

}  // namespace tq
