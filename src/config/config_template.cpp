// Template merge: a flat configuration template with a record's values filled in.
//
// The template is taken line by line (a line feed inside braces does not end a line). In each
// line, after a leading '#', every "key =" whose key starts at a lower-case letter is looked
// at: a key the record holds is written with the record's value (once for the whole template);
// a key the record lacks, on a line that is not a comment, turns the line into a comment. Lines
// that gave nothing are copied. Keys the template never mentions follow at the end under
// "# these are not included in the template".
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "config/config_record.h"

namespace tq {
namespace {

constexpr std::string_view kNotIncludedLine = "# these are not included in the template";

// Calls `visit` for every line, cut at line feeds outside braces, as it is found. A final line
// feed does not start another line.
template <class Visit>
void forEachLogicalLine(std::string_view text, Visit&& visit) {
  size_t start = 0;
  int64_t depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '{') ++depth;
    if (c == '}' && depth > 0) --depth;
    if (c == '\n' && depth == 0) {
      visit(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) visit(text.substr(start));
}

bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

class TemplateMerge {
 public:
  explicit TemplateMerge(const ConfigRecord& record) : record_(record) {}

  TqString run(std::string_view template_text) {
    forEachLogicalLine(template_text, [this](std::string_view line) { mergeLine(line); });
    appendKeysNotSeen();
    return out_;
  }

 private:
  void mergeLine(std::string_view line) {
    bool commented = !line.empty() && line[0] == '#';
    bool emitted = false;
    bool commented_out = false;
    size_t pos = commented ? 1 : 0;
    for (;;) {
      while (pos < line.size() && !isLowerLetter(line[pos])) ++pos;
      if (pos >= line.size()) break;
      std::string key;
      while (pos < line.size() && line[pos] != '.' && line[pos] != '=') {
        if (line[pos] != ' ' && line[pos] != '\t') key.push_back(line[pos]);
        ++pos;
      }
      if (pos >= line.size() || line[pos] != '=') break;
      ++pos;
      TqString tq_key(key);
      if (record_.has(tq_key)) {
        // Only keys the record holds are remembered: the trailer asks about no others, and a
        // template of millions of distinct keys then costs no memory of its own.
        if (seen_.insert(key).second) appendEntry(tq_key);
        emitted = true;
      } else if (!commented && !commented_out) {
        commented_out = true;  // once, however many keys the line holds
        out_.append('#');
        out_.append(line);
        out_.append('\n');
        emitted = true;
      }
    }
    if (emitted || line == kNotIncludedLine) return;
    out_.append(line);
    out_.append('\n');
  }

  void appendEntry(const TqString& key) {
    out_.append(key);
    out_.append(" = ");
    writeConfigValue(out_, record_.get(key));
    out_.append('\n');
  }

  void appendKeysNotSeen() {
    std::vector<TqString> rest;
    record_.options.forEach([&](const TqString& key, const TqString&) {
      if (seen_.count(key.str()) == 0) rest.push_back(key);
    });
    if (rest.empty()) return;
    std::sort(rest.begin(), rest.end());
    out_.append(kNotIncludedLine);
    out_.append('\n');
    for (const TqString& key : rest) appendEntry(key);
    out_.append('\n');
  }

  const ConfigRecord& record_;
  TqString out_;
  std::set<std::string> seen_;  // keys of the record met in the template, each written once
};

}  // namespace

TqString ConfigRecord::mergeIntoTemplateText(const TqString& template_text) const {
  return TemplateMerge(*this).run(template_text.view());
}

TqString ConfigRecord::mergeIntoTemplate(const TqString& template_path) const {
  TqString text;
  readConfigFile(template_path, text);
  return mergeIntoTemplateText(text);
}

}  // namespace tq
