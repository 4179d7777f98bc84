// The Windows command line of an argument vector (platform/process.h), on every platform.
#include "platform/process.h"

#include <string>
#include <vector>

namespace tq::platform {
namespace {

bool needsQuotes(const std::string& argument) {
  return argument.empty() || argument.find_first_of(" \t\n\v\"") != std::string::npos;
}

// One argument as CommandLineToArgvW reads it back: backslashes are plain except before a '"',
// where 2n of them stand for n and 2n + 1 for n and a literal '"'.
void appendArgument(std::string& line, const std::string& argument) {
  if (!needsQuotes(argument)) {
    line += argument;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      line.append(backslashes * 2 + 1, '\\');
    } else {
      line.append(backslashes, '\\');
    }
    backslashes = 0;
    line += c;
  }
  // The closing quote must not be escaped by the argument's own trailing backslashes.
  line.append(backslashes * 2, '\\');
  line += '"';
}

}  // namespace

std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments) {
  // The program's name is read up to the next '"', without escapes.
  std::string line = "\"" + program + "\"";
  for (const std::string& argument : arguments) {
    line += ' ';
    appendArgument(line, argument);
  }
  return line;
}

}  // namespace tq::platform
