// A RenderHost whose window and project are plain values: what the command-line submitter and
// the tests use in place of the host application.
#pragma once

#include <map>
#include <optional>

#include "client/render_host.h"

namespace tq {

class StaticHost : public RenderHost {
 public:
  std::map<WindowItem, TqString> texts;  // absent items read as empty
  bool composition_mode = false;         // the composition radio button; else the queue one
  std::optional<TqString> selected;      // the composition list's selected entry
  TqString project;
  HostVersion version{16, 22};

  TqString itemText(WindowItem item) override {
    auto it = texts.find(item);
    return it == texts.end() ? TqString() : it->second;
  }
  bool isOn(WindowItem item) override {
    if (item == WindowItem::kCompositionRadio) return composition_mode;
    return item == WindowItem::kQueueRadio && !composition_mode;
  }
  std::optional<TqString> selectedCompositionName() override { return selected; }
  TqString projectPath() override { return project; }
  HostVersion hostApiVersion() override { return version; }
  void setItemText(WindowItem item, const TqString& text) override { texts[item] = text; }
};

}  // namespace tq
