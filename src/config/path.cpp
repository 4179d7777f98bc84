#include "config/path.h"

#include <cctype>
#include <string_view>

namespace tq {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

Path::Path(const TqString& text) { assign(text); }

void Path::assign(const TqString& text) {
  text_ = text;
  kind_ = classify(text);
  components_.clear();
  std::string_view rest = text.view();
  while (!rest.empty()) {
    size_t cut = rest.find_first_of("/\\");
    std::string_view piece = rest.substr(0, cut);
    if (!piece.empty()) components_.emplace_back(piece);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
}

Path::Kind Path::classify(const TqString& text) {
  std::string_view t = text.view();
  if (t.empty()) return kUnknown;
  if (t.find('\\') != std::string_view::npos) {
    return t.size() >= 3 && t[0] == '\\' && t[1] == '\\' ? kUnc : kDos;
  }
  if (t[0] == '/') return kUnix;
  size_t colon = t.find(':');
  if (colon != std::string_view::npos && colon < t.find('/')) return kNfs;
  return kUnknown;
}

const char* Path::kindName(int32_t kind) {
  static const char* const kNames[] = {"unknown", "unc", "dos", "unix", "nfs"};
  return kind >= 0 && kind <= 4 ? kNames[kind] : kNames[0];
}

char Path::separatorFor(int32_t kind) { return kind == kUnc || kind == kDos ? '\\' : '/'; }

bool Path::isAbsolute() const {
  std::string_view t = text_.view();
  switch (kind_) {
    case kUnc:
    case kNfs:
      return true;
    case kUnix:
      return true;  // a unix path starts with '/' by its classification
    case kDos:
      return t.size() >= 3 && std::isalpha(static_cast<unsigned char>(t[0])) && t[1] == ':' &&
             isSeparator(t[2]);
    default:
      return false;
  }
}

void Path::makeAbsolute(const TqString& base) {
  if (isAbsolute()) return;
  TqString joined(base);
  char last = base.at(base.length() - 1);
  if (!isSeparator(last)) joined.append('\\');
  joined.append(text_);
  assign(joined);
}

}  // namespace tq
