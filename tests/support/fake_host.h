// A host without a host: the submission window's items as a map, a project path and the host's
// interface version, for the submit action's tests.
#pragma once

#include <map>
#include <optional>

#include "client/render_host.h"

namespace tq::test {

class FakeHost : public RenderHost {
 public:
  std::map<WindowItem, TqString> texts;
  bool composition_mode = false;
  std::optional<TqString> selected;
  TqString project = "D:/jobs/shot.aep";
  HostVersion version{16, 22};

  TqString itemText(WindowItem item) override {
    auto it = texts.find(item);
    return it == texts.end() ? TqString() : it->second;
  }
  bool isOn(WindowItem item) override {
    return item == WindowItem::kCompositionRadio ? composition_mode
                                                 : item == WindowItem::kQueueRadio && !composition_mode;
  }
  std::optional<TqString> selectedCompositionName() override { return selected; }
  TqString projectPath() override { return project; }
  HostVersion hostApiVersion() override { return version; }
  void setItemText(WindowItem item, const TqString& text) override { texts[item] = text; }
};

}  // namespace tq::test
