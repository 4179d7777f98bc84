#include "client/submitter.h"

#include "client/submit.h"
#include "job/status.h"
#include "transport/error.h"

namespace tq {

namespace {

// C atoi: leading blanks, an optional sign, digits; no digits gives 0. Values beyond the 32-bit
// range are clamped (atoi itself leaves them undefined, and they differ between platforms).
int32_t atoiOf(const TqString& text) { return text.toInt(); }

void addKey(Package& root, const char* key, const TqString& value) {
  auto child = std::make_unique<Package>();
  child->setName(key);
  child->setValue(value);
  root.addChild(std::move(child));
}

}  // namespace

const char* Submitter::appVersion(HostVersion version) {
  if (version.major == 16 && (version.minor == 21 || version.minor == 22)) return "7.0";
  if (version.major == 16 && version.minor == 9) return "6.5";
  return "";
}

std::unique_ptr<Job> Submitter::buildJob() {
  auto job = std::make_unique<Job>();
  job->prototype = "aftereffects";
  copyQueueSettings(*job);
  job->setPackage(*buildPackage());
  return job;
}

void Submitter::submit() {
  JobList jobs;
  jobs.append(buildJob());
  JobList accepted;
  // Whatever submit() answers, the accepted jobs are what the box reports.
  bool submitted = tq::submit(jobs, accepted);
  TqString old_text = host_.itemText(WindowItem::kResults);
  if (accepted.count() == 0) {
    TqString text(kSubmitFailedText);
    text.append(submitted ? TqString(kNoneAcceptedText) : lastError().text());
    text.append("\r\n");
    host_.setItemText(WindowItem::kResults, text);
    return;
  }
  TqString text;
  for (int32_t i = 0; i < accepted.count(); ++i) {
    text.append(static_cast<int>(accepted[i].id));
    text.append("\r\n");
  }
  text.append(old_text);
  host_.setItemText(WindowItem::kResults, text);
}

// Empty fields are skipped: the job keeps its default and the submission may fill it in.
void Submitter::copyQueueSettings(Job& job) {
  auto text = [&](WindowItem item, TqString& field) {
    TqString value = host_.itemText(item);
    if (!value.empty()) field = value;
  };
  auto number = [&](WindowItem item, auto&& store) {
    TqString value = host_.itemText(item);
    if (!value.empty()) store(atoiOf(value));
  };
  text(WindowItem::kName, job.name);
  TqString status = host_.itemText(WindowItem::kStatus);
  if (!status.empty()) job.setStatusName(status);
  text(WindowItem::kCluster, job.cluster);
  text(WindowItem::kHosts, job.hosts);
  number(WindowItem::kPriority, [&](int32_t v) { job.priority = v; });
  text(WindowItem::kGroups, job.groups);
  number(WindowItem::kCpus, [&](int32_t v) { job.setCpus(v); });
  text(WindowItem::kRequirements, job.requirements);
  text(WindowItem::kRestrictions, job.restrictions);
  text(WindowItem::kReservations, job.reservations);
  number(WindowItem::kPid, [&](int32_t v) { job.pid = v; });
  number(WindowItem::kPgrp, [&](int32_t v) { job.pgrp = v; });
  text(WindowItem::kUser, job.user);
  text(WindowItem::kDomain, job.domain);
}

std::unique_ptr<Package> Submitter::buildPackage() {
  auto root = std::make_unique<Package>();
  Package& tree = *root;
  addKey(tree, "Project_path", host_.projectPath());
  addKey(tree, "appversion", appVersion(host_.hostApiVersion()));
  if (host_.isOn(WindowItem::kCompositionRadio)) {
    const std::pair<WindowItem, const char*> kCompositionKeys[] = {
        {WindowItem::kFrameRange, "Frame_range"},
        {WindowItem::kRenderSettings, "Render_settings_template"},
        {WindowItem::kOutputModule, "Output_module_template"},
        {WindowItem::kOutputFile, "Output_file_path"},
    };
    for (const auto& [item, key] : kCompositionKeys) {
      TqString value = host_.itemText(item);
      if (!value.empty()) addKey(tree, key, value);
    }
    std::optional<TqString> comp = host_.selectedCompositionName();
    if (comp && !comp->empty()) addKey(tree, "Comp_name", *comp);
  }
  return root;
}

}  // namespace tq
