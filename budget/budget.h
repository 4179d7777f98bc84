// Budget checks: a reader fed N bytes of hostile input must stay within linear time and
// max(64 MiB, 16 x N) of memory at its peak.
//
// Each case writes an input of one shape (a list of nearly empty elements, a value that splits
// into millions of names ...) at a given size and feeds it to one reader. `tq-budget -all` runs
// every case in a process of its own, so each peak is that case's alone, and fails when a case
// goes over its allowance; time is reported, not asserted. Cases register themselves:
//
//   TQ_BUDGET_CASE(empty_list_elements, "binary job_list", generateEmptyElements, decodeJobList);
#pragma once

#include <cstddef>
#include <string>

namespace tq::budget {

struct Case {
  const char* name;
  const char* reader;                     // what is exercised, for the report
  std::string (*generate)(size_t bytes);  // an input of about `bytes` bytes
  void (*run)(const std::string& input);  // feeds it to the reader
};

// Adds a case to the program's table (at static initialisation).
struct Registrar {
  explicit Registrar(const Case& c);
};

}  // namespace tq::budget

#define TQ_BUDGET_CASE(ident, reader, generate, run) \
  static const ::tq::budget::Registrar ident##_registrar({#ident, reader, generate, run})
