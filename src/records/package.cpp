#include "records/package.h"

#include <string>
#include <utility>

namespace tq {
namespace {

bool needsEscape(char c) { return c == '\\' || c == '(' || c == ')' || c == '='; }

void appendEscaped(std::string& out, const TqString& text) {
  for (char c : text.view()) {
    if (needsEscape(c)) out += '\\';
    out += c;
  }
}

TqString toTqString(const std::string& text) { return TqString(std::string_view(text)); }

// Walks the tree depth first without recursion. enter(node, depth, parent, index) runs before a
// node's children and leave(node, depth) after them; the root has depth 0 and no parent.
template <typename Enter, typename Leave>
void walk(const Package& root, Enter enter, Leave leave) {
  struct Frame {
    const Package* node;
    int32_t next;
  };
  std::vector<Frame> stack;
  enter(root, 0, static_cast<const Package*>(nullptr), 0);
  stack.push_back({&root, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next < top.node->childCount()) {
      const Package* parent = top.node;
      int32_t index = top.next++;
      const Package* child = parent->child(index);
      int depth = static_cast<int>(stack.size());
      enter(*child, depth, parent, index);
      stack.push_back({child, 0});  // may move `top`; it is not used again
    } else {
      leave(*top.node, static_cast<int>(stack.size()) - 1);
      stack.pop_back();
    }
  }
}

void appendNameAttribute(std::string& out, const Package& node) {
  if (node.name().empty()) return;
  out += " name = \"";
  appendEscaped(out, node.name());
  out += '"';
}

}  // namespace

Package::~Package() {
  // Tear down deep trees with a work list instead of recursive destructors.
  std::vector<std::unique_ptr<Package>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<Package> node = std::move(pending.back());
    pending.pop_back();
    for (auto& grandchild : node->children_) pending.push_back(std::move(grandchild));
    node->children_.clear();
  }
}

bool Package::setName(const char* name) {
  if (name == nullptr) return false;
  name_.assign(name);
  return true;
}

bool Package::setName(const TqString& name) {
  name_ = name;
  return true;
}

bool Package::setValue(const char* value) {
  if (value == nullptr) return false;
  value_.assign(value);
  return true;
}

bool Package::setValue(const TqString& value) {
  value_ = value;
  return true;
}

bool Package::addChild(std::unique_ptr<Package> child) {
  if (!child || child.get() == this) {
    child.release();  // never destroy ourselves; a null child has nothing to release
    return false;
  }
  children_.push_back(std::move(child));
  return true;
}

const Package* Package::child(int32_t index) const {
  if (index < 0 || index >= childCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

Package* Package::child(int32_t index) {
  if (index < 0 || index >= childCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

TqString Package::writeParenthesised() const {
  std::string out;
  walk(
      *this,
      [&out](const Package& node, int, const Package*, int32_t) {
        out += '(';
        appendEscaped(out, node.name());
        out += '=';
        appendEscaped(out, node.value());
      },
      [&out](const Package&, int) { out += ')'; });
  return toTqString(out);
}

TqString Package::writeMarkup() const {
  std::string out;
  walk(
      *this,
      [&out](const Package& node, int depth, const Package*, int32_t) {
        out.append(static_cast<size_t>(depth), '\t');
        if (node.isLeaf()) {
          out += "<scalar";
          appendNameAttribute(out, node);
          out += '>';
          appendEscaped(out, node.value());
          out += "</scalar>\n";
        } else {
          out += node.isMap() ? "<hash" : "<array";
          appendNameAttribute(out, node);
          out += ">\n";
        }
      },
      [&out](const Package& node, int depth) {
        if (node.isLeaf()) return;
        out.append(static_cast<size_t>(depth), '\t');
        out += node.isMap() ? "</hash>\n" : "</array>\n";
      });
  return toTqString(out);
}

TqString Package::writeReadable() const {
  std::string out;
  walk(
      *this,
      [&out](const Package& node, int depth, const Package* parent, int32_t index) {
        if (parent != nullptr) {
          // An entry of its parent: indented by the parent's level, then name or index.
          out.append(static_cast<size_t>(3 * (depth - 1)), ' ');
          if (parent->isMap()) {
            out += node.name().view();
          } else {
            out += std::to_string(index);
          }
          out += ": ";
        }
        if (node.isLeaf()) out += node.value().view();
        out += '\n';
      },
      [](const Package&, int) {});
  return toTqString(out);
}

TqString parenthesisedToMarkup(std::string_view text) {
  std::unique_ptr<Package> tree = Package::parseParenthesised(text);
  return tree ? tree->writeMarkup() : TqString();
}

TqString parenthesisedToReadable(std::string_view text) {
  std::unique_ptr<Package> tree = Package::parseParenthesised(text);
  return tree ? tree->writeReadable() : TqString();
}

}  // namespace tq
