// A program's options as one table: each row names an option, its kind, what its help shows
// and how it applies to the program's settings. The parser's declarations, the applying of what
// was given and the help text all come from the same rows, so that no option can be declared
// without help or documented without being read.
//
//   constexpr OptionRow<Settings> kOptions[] = {
//       {nullptr, Option::kFlag, "", "Where to listen", nullptr},              // a heading
//       {"port", Option::kIntegerParameter, "N", "TCP port\n(0: any free one)", applyPort},
//   };
//   declareOptions(parser, kOptions);
//   ... parser.parse(argc, argv) ...
//   if (!applyOptions(parser, kOptions, settings, why)) ...   // a usage error, with why
//   std::string help = optionHelp(kOptions);
#pragma once

#include <cstddef>
#include <string>

#include "records/options.h"

namespace tq {

template <class Settings>
struct OptionRow {
  const char* name;      // as typed after the dash; null for a heading of the help text
  int32_t kind;          // Option::kFlag, kStringParameter, kIntegerParameter, ...
  const char* argument;  // what the help shows after the name ("N", "TEXT"); "" for none
  const char* help;      // the help; '\n' goes on under the same column
  // Applies the option, given with `value` ("" for a flag), to the settings; false with the
  // reason for the user when the value cannot be used.
  bool (*apply)(Settings& settings, const TqString& value, std::string& why);
};

// The column the help texts start at.
inline constexpr size_t kOptionHelpColumn = 22;

template <class Settings, size_t N>
void declareOptions(OptionParser& parser, const OptionRow<Settings> (&rows)[N]) {
  for (const OptionRow<Settings>& row : rows) {
    if (row.name == nullptr) continue;
    switch (row.kind) {
      case Option::kFlag:
        parser.declareFlag(row.name);
        break;
      case Option::kIntegerParameter:
        parser.declareInteger(row.name);
        break;
      case Option::kSignedIntegerParameter:
        parser.declareSignedInteger(row.name);
        break;
      default:
        parser.declareString(row.name);
        break;
    }
  }
}

// Applies every option that was given, in the table's order; false with the first reason.
template <class Settings, size_t N>
bool applyOptions(const OptionParser& parser, const OptionRow<Settings> (&rows)[N],
                  Settings& settings, std::string& why) {
  for (const OptionRow<Settings>& row : rows) {
    if (row.name == nullptr || row.apply == nullptr || !parser.isSet(row.name)) continue;
    TqString value;
    if (row.kind != Option::kFlag) parser.stringValue(row.name, value);
    if (!row.apply(settings, value, why)) {
      if (why.empty()) why = std::string("-") + row.name + " cannot take '" + value.str() + "'";
      return false;
    }
  }
  // A row may say why before it knows whether it will fail.
  why.clear();
  return true;
}

// "  -name ARG  help", the help aligned at kOptionHelpColumn and continued under it; a heading
// row gives a blank line and "Heading:".
template <class Settings, size_t N>
std::string optionHelp(const OptionRow<Settings> (&rows)[N]) {
  std::string out;
  const std::string indent(kOptionHelpColumn, ' ');
  for (const OptionRow<Settings>& row : rows) {
    if (row.name == nullptr) {
      out += std::string(out.empty() ? "" : "\n") + row.help + ":\n";
      continue;
    }
    std::string left = std::string("  -") + row.name;
    if (row.argument[0] != '\0') left += std::string(" ") + row.argument;
    // A name too long for the column puts its help on the next line.
    out += left.size() + 2 <= kOptionHelpColumn
               ? left + std::string(kOptionHelpColumn - left.size(), ' ')
               : left + "\n" + indent;
    for (const char* c = row.help; *c != '\0'; ++c) {
      out += *c;
      if (*c == '\n') out += indent;
    }
    out += '\n';
  }
  return out;
}

}  // namespace tq
