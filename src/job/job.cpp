#include "job/job.h"

#include <string_view>

#include "job/names.h"
#include "job/status.h"
#include "records/split_list.h"

namespace tq {

void Job::setStatusName(const TqString& text) { status.value = statusValue(text.view()); }
bool Job::isPending() const { return tq::isPending(status); }
bool Job::isWaiting() const { return tq::isWaiting(status); }
bool Job::isInProgress() const { return tq::isInProgress(status); }
bool Job::isNone() const { return tq::isNone(status); }

TqString Job::flagsText() const { return kJobFlagNames.bitsToText(flags); }
void Job::setFlagsText(const TqString& text) { flags = kJobFlagNames.textToBits(text); }
bool Job::isGrid() const { return (flags & kJobGrid) != 0 && cpus > 1; }
bool Job::isElite() const { return (flags & kJobElite) != 0; }

std::unique_ptr<Package> Job::package() const { return Package::parseParenthesised(data.view()); }
void Job::setPackage(const Package& tree) { data = tree.writeParenthesised(); }

bool Job::reservesMultipleProcessors() const {
  for (const TqString& item : splitListItems(reservations.view())) {
    std::string_view text = item.view();
    size_t eq = text.find('=');
    std::string_view key = text.substr(0, eq);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    if (key != "host.processors") continue;
    int amount = eq == std::string_view::npos ? 1 : TqString(text.substr(eq + 1)).toInt();
    return amount >= 2;
  }
  return false;
}

TqString Job::schedulingSignature() const {
  TqString s;
  s.append(cluster);
  s.append(priority);
  s.append(reservations);
  s.append(restrictions);
  s.append(requirements);
  s.append(groups);
  s.append(hosts);
  s.append(flags);
  s.append(local_order);
  s.append(global_order);
  s.append(extra_[1]);
  s.append(omit_hosts);
  s.append(omit_groups);
  return s;
}

}  // namespace tq
