// The submission window's items, in creation order, as one table: kind, rectangle (left, top,
// right, bottom, in pixels inside the window), the label a static text or button shows, and
// the initial state. Item numbers start at 1.
#pragma once

#include <cstdint>

#include "plugin/host_api.h"

namespace tq::plugin {

inline constexpr const char* kWindowName = "kervsubmit";
inline constexpr int32_t kWindowWidth = 600;
inline constexpr int32_t kWindowHeight = 550;
inline constexpr int32_t kItemCount = 44;

// The items that code reaches by number.
enum ItemNumber : int32_t {
  kCompositionList = 2,
  kOutputFile = 4,
  kBrowse = 5,
  kOutputModule = 7,
  kRenderSettings = 9,
  kFrameRange = 11,
  kCompositionRadio = 13,
  kQueueRadio = 14,
  kName = 16,
  kStatus = 18,
  kCluster = 20,
  kHosts = 22,
  kPriority = 24,
  kGroups = 26,
  kCpus = 28,
  kRequirements = 30,
  kReservations = 32,
  kRestrictions = 34,
  kPid = 36,
  kPgrp = 38,
  kUser = 40,
  kDomain = 42,
  kSubmit = 43,
  kResults = 44,
};

enum class Notify { kNone, kMode, kBrowse, kSubmit };
enum class Entries { kNone, kOutputModules, kRenderSettings, kStatuses };

struct ItemSpec {
  ADMItemType type;
  ASRect rect;
  const char* label;  // the text a static text or button shows; the role of other items
  bool has_text;      // whether the label is set as the item's text
  bool enabled;
  bool on;  // radio buttons
  Notify notify;
  Entries entries;
};

// kItemSpecs[n - 1] describes item n.
extern const ItemSpec kItemSpecs[kItemCount];

// The six items that only a composition render uses; disabled in whole-queue mode.
inline constexpr int32_t kCompositionItems[] = {kOutputFile,      kRenderSettings, kOutputModule,
                                                kCompositionList, kFrameRange,     kBrowse};

// The entries of a list (null-terminated).
const char* const* entryTexts(Entries entries);

// The Browse button's file dialog (the host's save dialog takes no list of file types). Its
// start and result are the host's file path records: at most 299 bytes of a path.
inline constexpr const char* kBrowsePrompt = "Select Output File Name";

}  // namespace tq::plugin
