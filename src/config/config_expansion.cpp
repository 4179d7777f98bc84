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

// The piece that starts at `pos` (which must be inside the value). A piece depends only on
// where it starts, so the passes cut them as they go instead of listing them first.
std::string_view pieceAt(std::string_view value, size_t pos) {
  size_t i = pos;
  char c = value[i];
  if (isBlank(c)) {
    while (i < value.size() && isBlank(value[i])) ++i;
  } else if (isSinglePiece(c)) {
    ++i;
  } else {
    while (i < value.size() && !isBlank(value[i]) && !isSinglePiece(value[i])) ++i;
  }
  return value.substr(pos, i - pos);
}

// The piece at `pos`, or an empty view past the end.
std::string_view pieceOrEnd(std::string_view value, size_t pos) {
  return pos < value.size() ? pieceAt(value, pos) : std::string_view();
}

class ReferenceExpander {
 public:
  ReferenceExpander(const ConfigRecord& current, const ConfigHash& sections,
                    ExpansionBudget& budget)
      : current_(current), sections_(sections), budget_(budget) {}

  bool run(const TqString& value, TqString& out) {
    expand(value.view(), current_, 0, out);
    return !exhausted_;
  }

 private:
  // Takes `bytes` from the budget of the parse; false (and expansion over) when it is spent.
  bool spend(size_t bytes) {
    if (static_cast<int64_t>(bytes) > budget_.bytes) exhausted_ = true;
    if (!exhausted_) budget_.bytes -= static_cast<int64_t>(bytes);
    return !exhausted_;
  }

  // Appends `text` unless a bound is passed.
  void emit(TqString& out, std::string_view text) {
    if (exhausted_) return;
    if (int64_t{out.length()} + static_cast<int64_t>(text.size()) > kMaxExpandedLength) {
      exhausted_ = true;
      return;
    }
    if (spend(text.size())) out.append(text);
  }

  bool follow() {
    if (++references_ > kMaxReferencesPerValue || --budget_.references < 0) exhausted_ = true;
    return !exhausted_;
  }

  // Reading a value costs its length, also when it writes little: a reference to a value that
  // names a missing section of a long name would otherwise cost that length each time for free.
  void expand(std::string_view value, const ConfigRecord& self, int depth, TqString& out) {
    if (!spend(value.size())) return;
    size_t pos = 0;
    while (pos < value.size() && !exhausted_) {
      std::string_view piece = pieceAt(value, pos);
      if (piece != "$") {
        emit(out, piece);
        pos += piece.size();
        continue;
      }
      // A '$' that starts no reference (last in the value, or before a blank or a separator)
      // is kept as written: Windows share paths such as \\srv\c$ hold one.
      size_t n = pos + 1;
      bool braced = pieceOrEnd(value, n) == "{";
      if (braced) ++n;
      std::string_view name = pieceOrEnd(value, n);
      if (!isNamePiece(name)) {
        emit(out, piece);
        ++pos;
        continue;
      }
      if (!follow()) return;
      pos = n + name.size();
      if (isSelf(name)) name = self.name().view();
      if (pieceOrEnd(value, pos) == ".") {
        const ConfigRecord* section = sections_.find(TqString(name));
        if (section == nullptr) continue;  // "$N" goes; ".K" stays as text
        ++pos;
        std::string_view key = pieceOrEnd(value, pos);
        pos += key.size();
        if (key == "_") {
          emit(out, name);
        } else {
          const TqString& referenced = section->get(TqString(key));
          if (depth + 1 >= kMaxReferenceDepth) {
            emit(out, referenced.view());  // deep enough: left as written
          } else {
            expand(referenced.view(), *section, depth + 1, out);
          }
        }
      } else if (name == "_") {
        emit(out, current_.name().view());
      } else {
        emit(out, current_.get(TqString(name)).view());
      }
      if (braced && pieceOrEnd(value, pos) == "}") ++pos;
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
  for (size_t pos = 0; pos < value.size(); pos += pieces.back().size()) {
    pieces.push_back(pieceAt(value, pos));
  }
  return pieces;
}

TqString expandSelfReferences(const TqString& value, const TqString& section) {
  std::string_view v = value.view();
  TqString out;
  size_t pos = 0;
  while (pos < v.size()) {
    std::string_view piece = pieceAt(v, pos);
    out.append(piece);
    pos += piece.size();
    if (piece != "$") continue;
    if (pieceOrEnd(v, pos) == "{") out.append(v[pos++]);
    std::string_view name = pieceOrEnd(v, pos);
    if (isSelf(name)) {
      out.append(section);
      pos += name.size();
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
