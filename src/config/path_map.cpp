#include "config/path_map.h"

#include <string_view>
#include <vector>

#include "config/path.h"
#include "config/sectioned_config.h"

namespace tq {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// 0 for a relative or drive path, 1 for a rooted one ("/a", "\a"), 2 for a server path
// ("\\srv\share", "//srv/share"). Only paths of the same class can share a prefix: the unix
// path /srv/share has the components of \\srv\share but is not the same place.
int rootClass(std::string_view text) {
  int leading = 0;
  while (leading < 2 && static_cast<size_t>(leading) < text.size() && isSeparator(text[leading]))
    ++leading;
  return leading;
}

struct Match {
  bool found = false;
  size_t score = 0;  // components matched
  int group = 0;     // 0 direct_map of the source, 1 of the destination, 2 logical_map
  TqString key;
  TqString replacement;
};

class MatchFinder {
 public:
  explicit MatchFinder(const TqString& path)
      : root_(rootClass(path.view())), parts_(Path(path).components()) {}

  void consider(const TqString& prefix, const TqString& replacement, int group,
                const TqString& key) {
    if (rootClass(prefix.view()) != root_) return;
    const Path prefix_path(prefix);
    const std::vector<TqString>& prefix_parts = prefix_path.components();
    size_t n = prefix_parts.size();
    if (n == 0 || n > parts_.size()) return;
    for (size_t i = 0; i < n; ++i)
      if (!prefix_parts[i].equals(parts_[i], 1)) return;
    bool better = !best_.found || n > best_.score ||
                  (n == best_.score && (group < best_.group ||
                                        (group == best_.group && key.view() < best_.key.view())));
    if (better) best_ = Match{true, n, group, key, replacement};
  }

  const Match& best() const { return best_; }
  const std::vector<TqString>& parts() const { return parts_; }

 private:
  int root_;
  std::vector<TqString> parts_;
  Match best_;
};

TqString rebuild(const Match& match, const std::vector<TqString>& parts) {
  TqString result(match.replacement);
  char separator = Path::separatorFor(Path::classify(match.replacement));
  for (size_t i = match.score; i < parts.size(); ++i) {
    if (!result.empty() && !isSeparator(result.at(result.length() - 1))) result.append(separator);
    result.append(parts[i]);
  }
  return result;
}

void copySection(const Config& config, const char* name, StringHash& into) {
  const ConfigRecord* section = config.section(name);
  if (!section) return;
  section->options.forEach(
      [&](const TqString& key, const TqString& value) { into.insert(key, value); });
}

void loadSections(const Config& config, PathMap& map) {
  copySection(config, "direct", map.direct_map);
  copySection(config, "logical", map.logical_map);
}

}  // namespace

PathMap::PathMap(const TqString& path) { loadSections(Config(path), *this); }

void PathMap::loadFromText(const TqString& text) {
  Config config;
  config.parse(text);
  loadSections(config, *this);
}

void PathMap::copyFrom(const PathMap& other) {
  if (this == &other) return;
  logical_map = other.logical_map;
  direct_map = other.direct_map;
}

TqString translatePath(const TqString& path, const PathMap& from, const PathMap& to,
                       bool translate) {
  if (!translate) return path.replaceAll("\\", "/");

  MatchFinder finder(path);
  from.direct_map.forEach([&](const TqString& prefix, const TqString& replacement) {
    finder.consider(prefix, replacement, 0, prefix);
  });
  to.direct_map.forEach([&](const TqString& prefix, const TqString& replacement) {
    finder.consider(prefix, replacement, 1, prefix);
  });
  from.logical_map.forEach([&](const TqString& name, const TqString& here) {
    if (const TqString* there = to.logical_map.find(name)) finder.consider(here, *there, 2, name);
  });
  return finder.best().found ? rebuild(finder.best(), finder.parts()) : path;
}

}  // namespace tq
