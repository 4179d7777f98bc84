// The drawn window: every item at its rectangle with its text and enabled state.
#include <gtest/gtest.h>

#include "plugin_fixture.h"

namespace tq::test {
namespace {

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(PluginTest, DrawingShowsEveryItemWithItsTextAndState) {
  open({"A & <B>"});
  std::string picture = sim.svg();
  EXPECT_EQ(picture.rfind("<svg ", 0), 0u);
  EXPECT_NE(picture.find("width=\"600\" height=\"550\""), std::string::npos);
  // The Output File field, disabled in whole-queue mode, at its rectangle.
  EXPECT_NE(picture.find("<rect x=\"30\" y=\"170\" width=\"440\" height=\"20\" fill=\"#eee\" "
                         "stroke=\"#999\"/>"),
            std::string::npos);
  // The Name field, enabled.
  EXPECT_NE(picture.find("<rect x=\"90\" y=\"230\" width=\"200\" height=\"20\" fill=\"#fff\" "
                         "stroke=\"#000\"/>"),
            std::string::npos);
  for (const char* label : {"Select Composition:", "Browse...", "Submit Job", "Domain:",
                            "Frame Range (ex. 1-10x2):", "Render Entire Composition Queue"})
    EXPECT_NE(picture.find(std::string(">") + label + "</text>"), std::string::npos) << label;
  EXPECT_NE(picture.find(">A &amp; &lt;B&gt;</text>"), std::string::npos) << "escaped";
  EXPECT_EQ(count(picture, "<circle"), 3u) << "two radio buttons, one of them on";
  ASSERT_TRUE(sim.type(plugin::kResults, "13\r\n12\r\n"));
  picture = sim.svg();
  EXPECT_NE(picture.find(">13</text>"), std::string::npos);
  EXPECT_NE(picture.find(">12</text>"), std::string::npos);
}

TEST_F(PluginTest, NothingIsDrawnWithoutAWindow) {
  load();
  EXPECT_EQ(sim.svg(), "");
  EXPECT_EQ(sim.itemTable(), "");
  EXPECT_FALSE(sim.click(plugin::kSubmit));
  EXPECT_FALSE(sim.error().empty());
}

}  // namespace
}  // namespace tq::test
