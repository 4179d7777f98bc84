#include "records/package.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fuzz/checks/package_checks.h"

namespace tq {
namespace {

std::unique_ptr<Package> node(const char* name, const char* value) {
  auto n = std::make_unique<Package>();
  n->setName(name);
  n->setValue(value);
  return n;
}

std::unique_ptr<Package> renderPackage() {
  auto root = std::make_unique<Package>();
  root->addChild(node("Comp_name", "Main"));
  root->addChild(node("Frame_range", "1-10"));
  return root;
}

int levels(const Package& root) {
  int deepest = 0;
  std::vector<std::pair<const Package*, int>> pending{{&root, 1}};
  while (!pending.empty()) {
    auto [n, level] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, level);
    for (int32_t i = 0; i < n->childCount(); ++i) pending.push_back({n->child(i), level + 1});
  }
  return deepest;
}

std::string str(const TqString& s) { return s.str(); }

TEST(PackageTest, NodeMembersAndChildren) {
  Package p;
  EXPECT_TRUE(p.name().empty());
  EXPECT_TRUE(p.value().empty());
  EXPECT_EQ(p.childCount(), 0);
  EXPECT_TRUE(p.isLeaf());
  EXPECT_FALSE(p.isMap());

  EXPECT_TRUE(p.setName("key"));
  EXPECT_TRUE(p.setValue("value!"));
  EXPECT_FALSE(p.setName(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(p.setValue(static_cast<const char*>(nullptr)));
  EXPECT_EQ(str(p.name()), "key");  // a refused set keeps the old text
  EXPECT_EQ(p.nameLength(), 3);
  EXPECT_EQ(p.valueLength(), 6);
  EXPECT_TRUE(p.setValue(""));  // empty is none
  EXPECT_EQ(p.valueLength(), 0);

  EXPECT_FALSE(p.addChild(nullptr));
  EXPECT_TRUE(p.addChild(std::make_unique<Package>()));  // first child without a name: array
  EXPECT_FALSE(p.isMap());
  EXPECT_TRUE(p.addChild(node("b", "2")));
  EXPECT_EQ(p.childCount(), 2);
  EXPECT_EQ(str(p.child(1)->name()), "b");
  EXPECT_EQ(p.child(-1), nullptr);
  EXPECT_EQ(p.child(2), nullptr);

  auto self = std::make_unique<Package>();
  Package* raw = self.get();
  EXPECT_FALSE(raw->addChild(std::move(self)));  // refused: a node cannot hold itself
  EXPECT_EQ(raw->childCount(), 0);
  delete raw;  // the refused pointer gave the node back to us

  Package map;
  map.addChild(node("a", "1"));
  map.addChild(std::make_unique<Package>());
  EXPECT_TRUE(map.isMap());  // decided by the first child only
}

TEST(PackageTest, WritesTheParenthesisedFormByteForByte) {
  EXPECT_EQ(str(renderPackage()->writeParenthesised()), "(=(Comp_name=Main)(Frame_range=1-10))");

  Package queue;
  queue.addChild(node("Project_path", "D:\\jobs\\shot.aep"));
  queue.addChild(node("appversion", "7.0"));
  EXPECT_EQ(str(queue.writeParenthesised()),
            "(=(Project_path=D:\\\\jobs\\\\shot.aep)(appversion=7.0))");

  EXPECT_EQ(str(node("k", "a=b")->writeParenthesised()), "(k=a\\=b)");
  EXPECT_EQ(str(node("(x)", "\\")->writeParenthesised()), "(\\(x\\)=\\\\)");
  EXPECT_EQ(str(Package().writeParenthesised()), "(=)");
}

TEST(PackageTest, ParsesNestedNodesAndWritesThemBack) {
  auto tree = Package::parseParenthesised("(a=1(b=2)(c=3))");
  ASSERT_TRUE(tree);
  EXPECT_EQ(str(tree->name()), "a");
  EXPECT_EQ(str(tree->value()), "1");
  ASSERT_EQ(tree->childCount(), 2);
  EXPECT_EQ(str(tree->child(0)->name()), "b");
  EXPECT_EQ(str(tree->child(0)->value()), "2");
  EXPECT_TRUE(tree->child(0)->isLeaf());
  EXPECT_EQ(str(tree->child(1)->name()), "c");
  EXPECT_EQ(str(tree->child(1)->value()), "3");
  EXPECT_EQ(str(tree->writeParenthesised()), "(a=1(b=2)(c=3))");

  auto render = Package::parseParenthesised("(=(Comp_name=Main)(Frame_range=1-10))");
  ASSERT_TRUE(render);
  EXPECT_TRUE(render->name().empty());
  EXPECT_TRUE(render->value().empty());
  EXPECT_EQ(render->childCount(), 2);
  EXPECT_EQ(str(render->child(1)->value()), "1-10");
}

TEST(PackageTest, EscapedBytesSurviveWritingAndParsing) {
  const std::vector<std::string> texts = {
      "a=b", "(", ")", "\\", "x\\(y)=z\\", "==((", "", std::string("nul\0byte", 8), "trailing\\"};
  Package root;
  for (const std::string& name : texts) {
    for (const std::string& value : texts) {
      auto child = std::make_unique<Package>();
      child->setName(TqString(std::string_view(name)));
      child->setValue(TqString(std::string_view(value)));
      root.addChild(std::move(child));
    }
  }
  TqString written = root.writeParenthesised();
  auto parsed = Package::parseParenthesised(written.view());
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->childCount(), root.childCount());
  for (int32_t i = 0; i < root.childCount(); ++i) {
    EXPECT_EQ(parsed->child(i)->name(), root.child(i)->name()) << i;
    EXPECT_EQ(parsed->child(i)->value(), root.child(i)->value()) << i;
  }
  EXPECT_EQ(parsed->writeParenthesised(), written);
}

TEST(PackageTest, ParsingEmptyAndMalformedText) {
  EXPECT_EQ(Package::parseParenthesised(""), nullptr);

  auto plain = Package::parseParenthesised("not a package");
  ASSERT_TRUE(plain);  // the root comes back empty
  EXPECT_TRUE(plain->name().empty());
  EXPECT_EQ(plain->childCount(), 0);

  auto unbalanced = Package::parseParenthesised("(a=1(b=2)");
  ASSERT_TRUE(unbalanced);
  EXPECT_EQ(str(unbalanced->writeParenthesised()), "(a=1(b=2))");

  auto cut = Package::parseParenthesised("(a=1(b=2(c=");
  ASSERT_TRUE(cut);
  EXPECT_EQ(str(cut->writeParenthesised()), "(a=1(b=2(c=)))");

  auto no_equals = Package::parseParenthesised("(name only");
  ASSERT_TRUE(no_equals);
  EXPECT_EQ(str(no_equals->name()), "name only");
  EXPECT_TRUE(no_equals->value().empty());

  // A trailing backslash escapes nothing and is dropped.
  EXPECT_EQ(str(Package::parseParenthesised("(a=b\\")->value()), "b");

  // The name runs to the first unescaped "=", brackets included; the value may hold "=".
  auto odd = Package::parseParenthesised("(a)(b=1=2)");
  EXPECT_EQ(str(odd->name()), "a)(b");
  EXPECT_EQ(str(odd->value()), "1=2");

  // Bytes between children are skipped; text after the root is ignored.
  auto stray = Package::parseParenthesised("(r=v(x=1)junk(y=2) )tail(z=3)");
  EXPECT_EQ(str(stray->writeParenthesised()), "(r=v(x=1)(y=2))");
}

TEST(PackageTest, MarkupRendering) {
  EXPECT_EQ(str(renderPackage()->writeMarkup()),
            "<hash>\n"
            "\t<scalar name = \"Comp_name\">Main</scalar>\n"
            "\t<scalar name = \"Frame_range\">1-10</scalar>\n"
            "</hash>\n");

  auto tree = Package::parseParenthesised("(top=(=(=a\\<b)(=c))(k\\=y=x\\(1\\)))");
  ASSERT_TRUE(tree);
  EXPECT_EQ(str(tree->writeMarkup()),
            "<array name = \"top\">\n"
            "\t<array>\n"
            "\t\t<scalar>a<b</scalar>\n"
            "\t\t<scalar>c</scalar>\n"
            "\t</array>\n"
            "\t<scalar name = \"k\\=y\">x\\(1\\)</scalar>\n"
            "</array>\n");

  EXPECT_EQ(str(node("solo", "v")->writeMarkup()), "<scalar name = \"solo\">v</scalar>\n");
  EXPECT_EQ(str(parenthesisedToMarkup("(=(n=1))")),
            "<hash>\n\t<scalar name = \"n\">1</scalar>\n</hash>\n");
  EXPECT_TRUE(parenthesisedToMarkup("").empty());
}

TEST(PackageTest, ReadableRendering) {
  EXPECT_EQ(str(renderPackage()->writeReadable()), "\nComp_name: Main\nFrame_range: 1-10\n");

  auto tree = Package::parseParenthesised("(=(list=(=x)(=(deep=y)))(k=v))");
  ASSERT_TRUE(tree);
  EXPECT_EQ(str(tree->writeReadable()),
            "\n"
            "list: \n"
            "   0: x\n"
            "   1: \n"
            "      deep: y\n"
            "k: v\n");

  EXPECT_EQ(str(node("leaf", "value")->writeReadable()), "value\n");
  EXPECT_EQ(str(parenthesisedToReadable("(=(Comp_name=Main)(Frame_range=1-10))")),
            "\nComp_name: Main\nFrame_range: 1-10\n");
  EXPECT_TRUE(parenthesisedToReadable("").empty());
}

TEST(PackageTest, HostileNestingIsCutAtTheDepthLimit) {
  // Bare brackets nest nothing: the root's name runs to the first "=", here the end.
  auto bare = Package::parseParenthesised(std::string(100000, '('));
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->nameLength(), 99999);
  EXPECT_EQ(bare->childCount(), 0);

  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "(=";
  auto deep = Package::parseParenthesised(nested);
  ASSERT_TRUE(deep);
  EXPECT_EQ(levels(*deep), kMaxPackageDepth);

  // A node below the limit is skipped with all it holds, read as the parser reads it (the name
  // "y)z" swallows an unescaped ")"), and its parent goes on after it.
  std::string text;
  for (int i = 1; i < kMaxPackageDepth; ++i) text += "(l=" + std::to_string(i);
  text += "(last=64(x=(y)z=(w=1)))junk)(after=64)";
  for (int i = 1; i < kMaxPackageDepth; ++i) text += ")";
  text += "ignored";
  auto cut = Package::parseParenthesised(text);
  ASSERT_TRUE(cut);
  EXPECT_EQ(levels(*cut), kMaxPackageDepth);
  const Package* level63 = cut.get();
  for (int i = 1; i < kMaxPackageDepth - 1; ++i) level63 = level63->child(0);
  EXPECT_EQ(str(level63->value()), "63");
  ASSERT_EQ(level63->childCount(), 2);
  EXPECT_EQ(str(level63->child(0)->value()), "64");
  EXPECT_EQ(level63->child(0)->childCount(), 0);
  EXPECT_EQ(str(level63->child(1)->name()), "after");
  EXPECT_EQ(cut->childCount(), 1);
}

std::unique_ptr<Package> chain(int length) {
  auto root = std::make_unique<Package>();
  Package* tip = root.get();
  for (int i = 0; i < length; ++i) {
    auto child = node("n", "v");
    Package* next = child.get();
    tip->addChild(std::move(child));
    tip = next;
  }
  return root;
}

TEST(PackageTest, TreesDeeperThanTheLimitBuiltInCodeWriteAndDestroy) {
  auto root = chain(100000);
  TqString written = root->writeParenthesised();
  EXPECT_EQ(written.length(), 100000 * 5 + 3);  // "(=)" for the root, "(n=v)" for the others
  EXPECT_EQ(levels(*Package::parseParenthesised(written.view())), kMaxPackageDepth);
  root.reset();

  // The indented renderings grow with the square of the depth; a few thousand levels will do.
  auto indented = chain(3000);
  TqString markup = indented->writeMarkup();
  EXPECT_EQ(markup.view().substr(0, 14), "<hash>\n\t<hash ");
  EXPECT_EQ(markup.view().substr(markup.length() - 9), "\n</hash>\n");
  TqString readable = indented->writeReadable();
  EXPECT_EQ(readable.view().substr(0, 12), "\nn: \n   n: \n");
  EXPECT_EQ(readable.view().substr(readable.length() - 2), "v\n");
}

TEST(PackageTest, LongInputParsesInLinearTime) {
  // Quadratic work on any of these would run far beyond the test time-out.
  std::string stray = "(r=" + std::string(1000000, 'v') + ")";
  EXPECT_EQ(Package::parseParenthesised(stray)->valueLength(), 1000000);

  std::string junk = "(r=(a=1)" + std::string(2000000, 'j') + ")";
  EXPECT_EQ(Package::parseParenthesised(junk)->childCount(), 1);

  std::string siblings = "(=";
  for (int i = 0; i < 200000; ++i) siblings += "(k=\\(v\\))";
  siblings += ")";
  auto flat = Package::parseParenthesised(siblings);
  EXPECT_EQ(flat->childCount(), 200000);
  EXPECT_EQ(flat->writeParenthesised().str(), siblings);

  std::string skipped;
  for (int i = 0; i < 1000000; ++i) skipped += "(=";
  EXPECT_EQ(levels(*Package::parseParenthesised(skipped)), kMaxPackageDepth);
}

TEST(PackageTest, FuzzEntryAcceptsOrdinaryAndHostileInput) {
  const std::vector<std::string> inputs = {"",
                                           "(a=1(b=2)(c=3))",
                                           "(=(Comp_name=Main)(Frame_range=1-10))",
                                           std::string(5000, '('),
                                           "((((\\",
                                           std::string("(\0=\0(\0))", 9),
                                           ")))(((===\\\\\\"};
  for (const std::string& in : inputs) {
    EXPECT_EQ(fuzzPackageParser(reinterpret_cast<const uint8_t*>(in.data()), in.size()), 0) << in;
  }
}

}  // namespace
}  // namespace tq
