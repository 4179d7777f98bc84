// The six operations the submit action needs from the host application and its submission
// window. The plug-in's host glue implements them on the host's suites; tests and the
// command-line submitter implement them without a host.
#pragma once

#include <cstdint>
#include <optional>

#include "records/tq_string.h"

namespace tq {

// The items of the submission window that the submit action reads or writes.
enum class WindowItem {
  kName,
  kStatus,
  kCluster,
  kHosts,
  kPriority,
  kGroups,
  kCpus,
  kRequirements,
  kRestrictions,
  kReservations,
  kPid,
  kPgrp,
  kUser,
  kDomain,
  kFrameRange,
  kRenderSettings,
  kOutputModule,
  kOutputFile,
  kResults,
  kCompositionRadio,  // on: render the selected composition
  kQueueRadio,        // on: render the whole render queue
};

struct HostVersion {
  int32_t major = 0;
  int32_t minor = 0;
};

class RenderHost {
 public:
  virtual ~RenderHost() = default;
  // The item's current text as the host shows it (empty when it has none).
  virtual TqString itemText(WindowItem item) = 0;
  // Whether a radio button is on.
  virtual bool isOn(WindowItem item) = 0;
  // The selected entry of the composition list; nothing when no entry is selected.
  virtual std::optional<TqString> selectedCompositionName() = 0;
  // The file path of the host's project number 0 (empty for an unsaved project).
  virtual TqString projectPath() = 0;
  // The interface version the host passed to the plug-in at load.
  virtual HostVersion hostApiVersion() = 0;
  // Replaces an item's text (the results box).
  virtual void setItemText(WindowItem item, const TqString& text) = 0;
};

}  // namespace tq
