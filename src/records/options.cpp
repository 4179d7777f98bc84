#include "records/options.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "platform/process_exit.h"

namespace tq {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) {
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

// Non-empty, a digit or '-' first, digits after: "-5", "12" and "-" are numeric.
bool isNumeric(std::string_view s) {
  return !s.empty() && (isDigit(s[0]) || s[0] == '-') && allDigits(s.substr(1));
}

// An optional '-' and at least one digit.
bool isIntegerText(std::string_view s) {
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  return !s.empty() && allDigits(s);
}

// A digit alone; or '-' or '+' and at least one digit; or digits.
bool isSignedIntegerText(std::string_view s) {
  if (s.size() > 1 && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  return !s.empty() && allDigits(s);
}

TqString concat(std::initializer_list<std::string_view> pieces) {
  TqString out;
  for (std::string_view p : pieces) out.append(p);
  return out;
}

}  // namespace

OptionParser::OptionParser() : exit_([](int status) { platform::exitProcess(status); }) {
  declareFlag("help");
  declareFlag("version");
}

void OptionParser::declare(const TqString& name, int32_t kind) {
  Option option;
  option.name = name;
  option.kind = kind;
  options_.append(std::move(option));
}

const Option* OptionParser::find(const TqString& name) const {
  for (int32_t i = 0; i < options_.count(); ++i)
    if (options_[i].name.equals(name)) return &options_[i];
  return nullptr;
}

Option* OptionParser::match(const TqString& argument, const TqString& word) {
  // Every option that word is a prefix of scores the word's length; an exact name wins at once.
  size_t best = 0;
  int32_t chosen = -1;
  bool tied = false;
  for (int32_t i = 0; i < options_.count(); ++i) {
    std::string_view name = options_[i].name.view();
    if (name == word.view()) return &options_[i];
    size_t score = name.substr(0, word.view().size()) == word.view() ? word.view().size() : 0;
    if (score == 0 || score < best) continue;
    tied = score == best;
    if (!tied) chosen = i;
    best = score;
  }
  if (best == 0) {
    error_ = concat({"ERROR: unknown option ", argument.view(), "\n"});
    return nullptr;
  }
  if (tied) {
    error_ = concat({"ERROR: ambiguous option '", argument.view(), "'\n\tcould be:\n"});
    for (int32_t i = 0; i < options_.count(); ++i) {
      std::string_view name = options_[i].name.view();
      if (name.substr(0, word.view().size()) == word.view())
        error_.append(concat({"\t\t-", name, "\n"}));
    }
    return nullptr;
  }
  return &options_[chosen];
}

bool OptionParser::takeParameter(Option& option, const TqString& argument, const char* parameter) {
  if (!parameter) {
    error_ = concat({"ERROR: parameter '", argument.view(), "' missing input\n"});
    return false;
  }
  std::string_view value(parameter);
  if (option.kind == Option::kIntegerParameter) {
    if (value.empty()) {
      error_ = concat({"ERROR: option expects an integer '", argument.view(), "'"});
      return false;
    }
    // Only an optional '-' and digits: "1-2" or "-" is not an integer.
    if (!isIntegerText(value)) {
      error_ = concat({"ERROR: parameter '", value, "' is not an integer\n"});
      return false;
    }
  } else if (option.kind == Option::kSignedIntegerParameter) {
    if (value.empty()) {
      error_ = concat({"ERROR: parameter '", argument.view(), "' is blank\n"});
      return false;
    }
    // One sign at most: "+-5" and "--5" are not integers.
    if (!isSignedIntegerText(value)) {
      error_ = concat({"ERROR: parameter '", argument.view(), "' is not an integer\n"});
      return false;
    }
  }
  option.value = value;
  option.set = true;
  return true;
}

bool OptionParser::parse(int argc, const char* const* argv) {
  error_.clear();
  positional_.clear();
  if (!argv || argc <= 0 || !argv[0]) return true;
  program_ = argv[0];
  int count = 1;
  while (count < argc && argv[count]) ++count;

  int i = 1;
  for (; i < count; ++i) {
    std::string_view word(argv[i]);
    if (word.empty() || word[0] != '-' || isNumeric(word)) break;
    TqString argument(word);
    while (!word.empty() && word[0] == '-') word.remove_prefix(1);
    Option* option = match(argument, TqString(word));
    if (!option) return false;
    if (option->kind == Option::kFlag) {
      option->set = true;
      continue;
    }
    const char* parameter = i + 1 < count ? argv[i + 1] : nullptr;
    if (!takeParameter(*option, argument, parameter)) return false;
    ++i;
  }
  for (; i < count; ++i) positional_.emplace_back(argv[i]);

  if (isSet("help")) {
    if (help_callback_) help_callback_(*this);
    if (exit_) exit_(0);
  } else if (isSet("version")) {
    if (version_callback_) version_callback_(*this);
    if (exit_) exit_(0);
  }
  return true;
}

bool OptionParser::isSet(const TqString& name) const {
  const Option* option = find(name);
  return option && option->set;
}

bool OptionParser::integerValue(const TqString& name, int32_t& value) const {
  const Option* option = find(name);
  if (!option || !option->set) return false;
  value = option->value.toInt();
  return true;
}

bool OptionParser::signedValue(const TqString& name, char& sign, int32_t& number) const {
  const Option* option = find(name);
  if (!option || !option->set || option->value.empty()) return false;
  char first = option->value.at(0);
  if (first == '-' || first == '+') {
    sign = first;
    number = TqString(option->value.view().substr(1)).toInt();
  } else {
    sign = '=';
    number = option->value.toInt();
  }
  return true;
}

bool OptionParser::stringValue(const TqString& name, TqString& value) const {
  const Option* option = find(name);
  if (!option || !option->set) return false;
  value = option->value;
  return true;
}

const TqString* OptionParser::positional(int32_t index) const {
  if (index < 0 || index >= positionalCount()) return nullptr;
  return &positional_[static_cast<size_t>(index)];
}

TqString OptionParser::usageText() const {
  TqString text = concat({"help: ", program_.view(), " "});
  for (int32_t i = 0; i < options_.count(); ++i)
    text.append(concat({"-", options_[i].name.view(), " "}));
  text.append("\n");
  return text;
}

TqString OptionParser::helpText() const {
  TqString text = concat({"help: ", program_.view(), "\n"});
  for (int32_t i = 0; i < options_.count(); ++i)
    text.append(concat({"\t-", options_[i].name.view(), "\n"}));
  return text;
}

void OptionParser::printUsage() const {
  TqString text = usageText();
  std::fwrite(text.c_str(), 1, static_cast<size_t>(text.length()), stdout);
}

void OptionParser::printHelp() const {
  TqString text = helpText();
  std::fwrite(text.c_str(), 1, static_cast<size_t>(text.length()), stdout);
}

}  // namespace tq
