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
    {kStringWindowProblem, "tq: The submission window could not be made: "},
    {kStringSubmitProblem, "tq: Submit Job could not run: "},
    {kStringBrowseProblem, "tq: Browse... could not run: "},
    {kStringNoSuite, "the host offers no "},
    {kStringNoWindow, "the host made no window"},
    {kStringNoItem, "the host made no item "},
    {kStringNoList, "the host gave no entry list for item "},
    {kStringNoEntry, "the host made no list entry for item "},
};

}  // namespace

const char* stringText(int32_t id) {
  for (const StringRecord& record : kStrings)
    if (record.id == id) return record.text;
  return "";
}

}  // namespace tq::plugin
