#include "plugin/strings.h"

namespace tq::plugin {

namespace {

struct StringRecord {
  int32_t id;
  char text[kMaxStringSize];
};

constexpr StringRecord kStrings[] = {
    {kStringNone, ""},
    {kStringCommandName, "Kerv! Render"},
    {kStringAddProblem, "tq: Problems encountered during add."},
};

}  // namespace

const char* stringText(int32_t id) {
  for (const StringRecord& record : kStrings)
    if (record.id == id) return record.text;
  return "";
}

}  // namespace tq::plugin
