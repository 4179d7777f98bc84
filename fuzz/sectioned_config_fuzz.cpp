// Reads arbitrary bytes as a sectioned configuration file (headers, inheritance, "$"
// references). The parse must end within the bounds of config/config_limits.h, every section
// must be found under its own name, and the same text must always give the same sections.
#include <cstdint>
#include <cstdlib>

#include "config/config_limits.h"
#include "config/sectioned_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 16)) return 0;
  tq::TqString input(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
  tq::Config first;
  first.parse(input);
  if (first.sectionCount() > tq::kMaxSections) std::abort();

  tq::StringList names;
  first.sectionNames(names);
  if (names.count() != first.sectionCount()) std::abort();
  for (int32_t i = 0; i < names.count(); ++i) {
    const tq::ConfigRecord* section = first.section(names[i]);
    if (section == nullptr || section->name() != names[i]) std::abort();
  }

  tq::Config again;
  again.parse(input);
  tq::StringList again_names;
  again.sectionNames(again_names);
  if (again_names.count() != names.count()) std::abort();
  for (int32_t i = 0; i < names.count(); ++i) {
    if (again_names[i] != names[i]) std::abort();
    const tq::ConfigRecord* a = first.section(names[i]);
    const tq::ConfigRecord* b = again.section(names[i]);
    if (a->count() != b->count() || !a->equals(*b)) std::abort();
  }

  // A second text into the same configuration only adds.
  first.parse(input);
  if (first.sectionCount() < names.count()) std::abort();
  return 0;
}
