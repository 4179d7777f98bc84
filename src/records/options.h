// The command-line option parser of the library's programs.
//
//   OptionParser options;
//   options.declareString("output");
//   options.declareFlag("force");
//   if (!options.parse(argc, argv)) { std::fputs(options.errorText().c_str(), stderr); ... }
//   TqString output;
//   if (options.stringValue("output", output)) ...
//
// An option is written with one or more leading dashes and may be shortened to any prefix that
// no other option shares ("-out", "--output" and "-output" are the same option). The first word
// that does not begin with a dash, or that is a number ("-5", "-"), ends the options: it and
// every later word are positional arguments. "help" and "version" are always declared; when
// either was given, its callback runs after the arguments are processed and the program exits
// with status 0.
#pragma once

#include <cstdint>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "records/field.h"
#include "records/list.h"

namespace tq {

// One declared option. Options are records so that a list of them is a record too; they carry
// no fields in either encoding.
class Option : public Record<Option> {
 public:
  static constexpr int32_t kClassId = 53;
  static constexpr const char* kTypeName = "option";

  enum Kind : int32_t {
    kFlag = 1,
    kStringParameter = 2,
    kIntegerParameter = 3,
    kSignedIntegerParameter = 4,
  };

  TqString name;  // without dashes
  int32_t kind = kFlag;
  TqString value;  // the parameter's text as given (kinds 2 to 4)
  bool set = false;

  static constexpr auto fields() { return std::tuple<>(); }
};

inline constexpr char kOptionListName[] = "option_list";
using OptionList = List<Option, 54, kOptionListName>;

class OptionParser {
 public:
  using Callback = std::function<void(OptionParser&)>;
  // Ends the program; the parser calls it with 0 after the help or version callback.
  using ExitFunction = std::function<void(int status)>;

  // Declares "help" and "version" as flags.
  OptionParser();

  void declareFlag(const TqString& name) { declare(name, Option::kFlag); }
  void declareString(const TqString& name) { declare(name, Option::kStringParameter); }
  void declareInteger(const TqString& name) { declare(name, Option::kIntegerParameter); }
  void declareSignedInteger(const TqString& name) {
    declare(name, Option::kSignedIntegerParameter);
  }
  void setHelpCallback(Callback callback) { help_callback_ = std::move(callback); }
  void setVersionCallback(Callback callback) { version_callback_ = std::move(callback); }
  // Replaces the exit of the help and version options (platform::exitProcess by default). When the
  // replacement returns, parse() goes on and succeeds.
  void setExitFunction(ExitFunction exit_function) { exit_ = std::move(exit_function); }

  // argv[0] is the program name. False on the first bad argument, with errorText() saying why;
  // options processed before it keep their state. A null entry ends the vector early.
  bool parse(int argc, const char* const* argv);

  // Lookups take exact names. Each answers false for an unknown or unset option.
  bool isSet(const TqString& name) const;
  // The value converted as atoi does (clamped to the 32-bit range).
  bool integerValue(const TqString& name, int32_t& value) const;
  // A value beginning with '-' or '+' gives that sign and the number after it; any other value
  // gives the sign '=' and the whole value as the number. False also for an empty value.
  bool signedValue(const TqString& name, char& sign, int32_t& number) const;
  bool stringValue(const TqString& name, TqString& value) const;

  int32_t positionalCount() const { return static_cast<int32_t>(positional_.size()); }
  // Null outside 0..count-1.
  const TqString* positional(int32_t index) const;
  const TqString& programName() const { return program_; }
  const TqString& errorText() const { return error_; }
  const OptionList& options() const { return options_; }

  // "help: <program> -help -version ... \n": every option as "-name" and a blank.
  TqString usageText() const;
  // "help: <program>\n", then "\t-name\n" per option.
  TqString helpText() const;
  // The texts above on standard output.
  void printUsage() const;
  void printHelp() const;

 private:
  void declare(const TqString& name, int32_t kind);
  const Option* find(const TqString& name) const;
  // The option that an option word selects, or null with the error text set.
  Option* match(const TqString& argument, const TqString& word);
  // Checks and stores the parameter of a kind 2 to 4 option (null when there is none); false
  // with the error text set.
  bool takeParameter(Option& option, const TqString& argument, const char* parameter);

  TqString program_;
  OptionList options_;
  std::vector<TqString> positional_;
  TqString error_;
  Callback help_callback_;
  Callback version_callback_;
  ExitFunction exit_;
};

}  // namespace tq
