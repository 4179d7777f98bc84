#include "config/config_expansion.h"

#include "config/config_limits.h"

namespace tq {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
// A CR is a piece of its own, so that cutting always advances over it.
bool isSinglePiece(char c) {
  return c == '.' || c == '{' || c == '}' || c == '\\' || c == '$' || c == '\r';
}

// A piece that can name a section or key: a run of ordinary characters.
bool isNamePiece(std::string_view piece) {
  return !piece.empty() && !isBlank(piece[0]) && !isSinglePiece(piece[0]);
}

bool isSelf(std::string_view piece) { return piece == "self" || piece == "this"; }

class ReferenceExpander {
 public:
  ReferenceExpander(const ConfigRecord& current, const ConfigHash& sections,
                    ExpansionBudget& budget)
      : current_(current), sections_(sections), budget_(budget) {}

  bool run(const TqString& value, TqString& out) {
    expand(value, current_, 0, out);
    return !exhausted_;
  }

 private:
  // Appends `text` unless a bound is passed.
  void emit(TqString& out, std::string_view text) {
    if (exhausted_) return;
    int64_t grown = int64_t{out.length()} + static_cast<int64_t>(text.size());
    if (grown > kMaxExpandedLength || static_cast<int64_t>(text.size()) > budget_.bytes) {
      exhausted_ = true;
      return;
    }
    budget_.bytes -= static_cast<int64_t>(text.size());
    out.append(text);
  }

  bool follow() {
    if (++references_ > kMaxReferencesPerValue || --budget_.references < 0) exhausted_ = true;
    return !exhausted_;
  }

  void expand(const TqString& value, const ConfigRecord& self, int depth, TqString& out) {
    std::vector<std::string_view> p = splitExpansionPieces(value.view());
    size_t i = 0;
    while (i < p.size() && !exhausted_) {
      if (p[i] != "$") {
        emit(out, p[i++]);
        continue;
      }
      // A '$' that starts no reference (last in the value, or before a blank or a separator)
      // is kept as written: Windows share paths such as \\srv\c$ hold one.
      size_t n = i + 1;
      bool braced = n < p.size() && p[n] == "{";
      if (braced) ++n;
      if (n >= p.size() || !isNamePiece(p[n])) {
        emit(out, p[i++]);
        continue;
      }
      if (!follow()) return;
      i = n;
      std::string_view name = p[i++];
      if (isSelf(name)) name = self.name().view();
      if (i < p.size() && p[i] == ".") {
        const ConfigRecord* section = sections_.find(TqString(name));
        if (section == nullptr) continue;  // "$N" goes; ".K" stays as text
        ++i;
        std::string_view key = i < p.size() ? p[i++] : std::string_view();
        if (key == "_") {
          emit(out, name);
        } else {
          const TqString& referenced = section->get(TqString(key));
          if (depth + 1 >= kMaxReferenceDepth) {
            emit(out, referenced.view());  // deep enough: left as written
          } else {
            expand(referenced, *section, depth + 1, out);
          }
        }
      } else if (name == "_") {
        emit(out, current_.name().view());
      } else {
        emit(out, current_.get(TqString(name)).view());
      }
      if (braced && i < p.size() && p[i] == "}") ++i;
    }
  }

  const ConfigRecord& current_;
  const ConfigHash& sections_;
  ExpansionBudget& budget_;
  int32_t references_ = 0;
  bool exhausted_ = false;
};

}  // namespace

std::vector<std::string_view> splitExpansionPieces(std::string_view value) {
  std::vector<std::string_view> pieces;
  size_t i = 0;
  while (i < value.size()) {
    size_t start = i;
    char c = value[i];
    if (isBlank(c)) {
      while (i < value.size() && isBlank(value[i])) ++i;
    } else if (isSinglePiece(c)) {
      ++i;
    } else {
      while (i < value.size() && !isBlank(value[i]) && !isSinglePiece(value[i])) ++i;
    }
    pieces.push_back(value.substr(start, i - start));
  }
  return pieces;
}

TqString expandSelfReferences(const TqString& value, const TqString& section) {
  std::vector<std::string_view> p = splitExpansionPieces(value.view());
  TqString out;
  for (size_t i = 0; i < p.size(); ++i) {
    out.append(p[i]);
    if (p[i] != "$") continue;
    if (i + 1 < p.size() && p[i + 1] == "{") out.append(p[++i]);
    if (i + 1 < p.size() && isSelf(p[i + 1])) {
      out.append(section);
      ++i;
    }
  }
  return out;
}

bool expandReferences(const TqString& value, const ConfigRecord& current,
                      const ConfigHash& sections, ExpansionBudget& budget, TqString& out) {
  out.clear();
  return ReferenceExpander(current, sections, budget).run(value, out);
}

}  // namespace tq
