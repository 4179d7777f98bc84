// The six host operations of the submit action, on the host's suites and the items of the
// current submission window.
#pragma once

#include "client/render_host.h"
#include "plugin/suite_handler.h"

namespace tq::plugin {

class WindowHost : public RenderHost {
 public:
  explicit WindowHost(SuiteHandler& suites) : suites_(suites) {}

  // Asks for the length first, then for length + 1 bytes; a length of 0 or less is empty and
  // nothing is read.
  TqString itemText(WindowItem item) override;
  bool isOn(WindowItem item) override;
  std::optional<TqString> selectedCompositionName() override;
  TqString projectPath() override;
  HostVersion hostApiVersion() override;
  void setItemText(WindowItem item, const TqString& text) override;

 private:
  SuiteHandler& suites_;
};

// The window item that stands for a WindowItem.
ADMItemRef itemRef(WindowItem item);

}  // namespace tq::plugin
