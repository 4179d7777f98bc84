#include "plugin/window_items.h"

namespace tq::plugin {

namespace {

constexpr ItemSpec label(ASRect r, const char* text) {
  return {kADMTextStaticType, r, text, true, true, false, Notify::kNone, Entries::kNone};
}
constexpr ItemSpec edit(ASRect r, const char* role, bool enabled = true) {
  return {kADMTextEditType, r, role, false, enabled, false, Notify::kNone, Entries::kNone};
}
// One queue-settings row's label and field at a top coordinate.
constexpr ASRect at(int32_t left, int32_t top, int32_t right) {
  return {left, top, right, top + 20};
}

const char* const kOutputModules[] = {"Lossless",
                                      "Alpha Only",
                                      "Animated GIF",
                                      "Audio Only",
                                      "Lossless with Alpha",
                                      "Microsoft DV NTSC 32kHz",
                                      "Microsoft DV NTSC 48kHz",
                                      "Microsoft DV PAL 32kHz",
                                      "Microsoft DV PAL 48kHz",
                                      "Multi-Machine Sequence",
                                      "Photoshop 32-bit",
                                      nullptr};
const char* const kRenderSettingsList[] = {"Best Settings",          "Current Settings",
                                           "Draft Settings",         "DV Settings",
                                           "Multi-Machine Settings", nullptr};
const char* const kStatuses[] = {"pending", "blocked", nullptr};
const char* const kNoEntries[] = {nullptr};

}  // namespace

const ItemSpec kItemSpecs[kItemCount] = {
    /* 1 */ label({30, 10, 230, 30}, "Select Composition:"),
    /* 2 */
    {kADMListBoxType,
     {30, 30, 430, 150},
     "composition list",
     false,
     false,
     false,
     Notify::kNone,
     Entries::kNone},
    /* 3 */ label({30, 150, 130, 170}, "Output File:"),
    /* 4 */ edit({30, 170, 470, 190}, "Output File", false),
    /* 5 */
    {kADMTextPushButtonType,
     {472, 170, 532, 190},
     "Browse...",
     true,
     false,
     false,
     Notify::kBrowse,
     Entries::kNone},
    /* 6 */ label({440, 10, 590, 30}, "Output Module:"),
    /* 7 */
    {kADMTextEditPopupType,
     {440, 30, 590, 60},
     "Output Module",
     false,
     false,
     false,
     Notify::kNone,
     Entries::kOutputModules},
    /* 8 */ label({440, 50, 590, 70}, "Render Settings:"),
    /* 9 */
    {kADMTextEditPopupType,
     {440, 70, 590, 100},
     "Render Settings",
     false,
     false,
     false,
     Notify::kNone,
     Entries::kRenderSettings},
    /* 10 */ label({440, 90, 590, 110}, "Frame Range (ex. 1-10x2):"),
    /* 11 */ edit({440, 110, 590, 130}, "Frame Range", false),
    /* 12 */ label({30, 200, 430, 220}, "Render Entire Composition Queue"),
    /* 13 */
    {kADMTextRadioButtonType,
     {10, 100, 25, 115},
     "composition mode",
     false,
     true,
     false,
     Notify::kMode,
     Entries::kNone},
    /* 14 */
    {kADMTextRadioButtonType,
     {10, 200, 25, 215},
     "whole-queue mode",
     false,
     true,
     true,
     Notify::kMode,
     Entries::kNone},
    /* 15 */ label(at(10, 230, 100), "Name:"),
    /* 16 */ edit(at(90, 230, 290), "Name"),
    /* 17 */ label(at(360, 230, 450), "Status:"),
    /* 18 */
    {kADMPopupListType, at(450, 230, 550), "Status", false, true, false, Notify::kNone,
     Entries::kStatuses},
    /* 19 */ label(at(10, 255, 100), "Cluster:"),
    /* 20 */ edit(at(90, 255, 490), "Cluster"),
    /* 21 */ label(at(10, 280, 100), "Hosts:"),
    /* 22 */ edit(at(90, 280, 290), "Hosts"),
    /* 23 */ label(at(360, 280, 450), "Priority:"),
    /* 24 */ edit(at(450, 280, 550), "Priority"),
    /* 25 */ label(at(10, 305, 100), "Groups:"),
    /* 26 */ edit(at(90, 305, 290), "Groups"),
    /* 27 */ label(at(360, 305, 450), "Cpus:"),
    /* 28 */ edit(at(450, 305, 550), "Cpus"),
    /* 29 */ label(at(10, 330, 100), "Requirements:"),
    /* 30 */ edit(at(90, 330, 490), "Requirements"),
    /* 31 */ label(at(10, 355, 100), "Reservations:"),
    /* 32 */ edit(at(90, 355, 490), "Reservations"),
    /* 33 */ label(at(10, 380, 100), "Restrictions:"),
    /* 34 */ edit(at(90, 380, 490), "Restrictions"),
    /* 35 */ label(at(10, 405, 100), "Pid:"),
    /* 36 */ edit(at(90, 405, 150), "Pid"),
    /* 37 */ label(at(360, 405, 450), "Pgrp:"),
    /* 38 */ edit(at(450, 405, 510), "Pgrp"),
    /* 39 */ label(at(10, 430, 100), "User:"),
    /* 40 */ edit(at(90, 430, 290), "User"),
    /* 41 */ label(at(360, 430, 450), "Domain:"),
    /* 42 */ edit(at(450, 430, 550), "Domain"),
    /* 43 */
    {kADMTextPushButtonType,
     {500, 485, 590, 535},
     "Submit Job",
     true,
     true,
     false,
     Notify::kSubmit,
     Entries::kNone},
    /* 44 */
    {kADMTextEditMultiLineType,
     {10, 485, 490, 535},
     "results box",
     false,
     true,
     false,
     Notify::kNone,
     Entries::kNone},
};

const char* const* entryTexts(Entries entries) {
  switch (entries) {
    case Entries::kOutputModules:
      return kOutputModules;
    case Entries::kRenderSettings:
      return kRenderSettingsList;
    case Entries::kStatuses:
      return kStatuses;
    case Entries::kNone:
      break;
  }
  return kNoEntries;
}

}  // namespace tq::plugin
