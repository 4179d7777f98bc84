#include "fuzz/checks/expression_checks.h"

#include <string_view>
#include <vector>

#include "config/expression.h"
#include "records/split_list.h"

namespace tq {
namespace {

// Names that start with 'v' are variables; names that start with 'u' are unknown; every other
// name has the value of its length.
class FuzzResolver : public ExpressionResolver {
 public:
  void value(const TqString& name, TqString& out) const override {
    out = TqString(static_cast<int>(name.length()));
  }
  bool isDefined(const TqString& name) const override { return name.at(0) != 'u'; }
  bool isVariable(const TqString& name) const override { return name.at(0) == 'v'; }
};

bool sameValue(const ExpressionValue& a, const ExpressionValue& b) {
  return a.kind() == b.kind() && a.asText() == b.asText();
}

bool exercise(Expression& e) {
  if (e.depth() > kMaxExpressionDepth) return false;
  ExpressionValue first;
  ExpressionValue second;
  e.evaluate(first);
  e.evaluate(second);
  if (!sameValue(first, second)) return false;
  e.isDefined();
  StringList names;
  e.variables(names);
  return true;
}

using Parse = void (Expression::*)(std::string_view);

int run(Parse parse, const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Expression bare;
  (bare.*parse)(text);
  if (!exercise(bare)) return 1;
  FuzzResolver resolver;
  Expression resolved;
  resolved.setResolver(&resolver);
  (resolved.*parse)(text);
  return exercise(resolved) ? 0 : 1;
}

}  // namespace

int fuzzInfixExpression(const uint8_t* data, size_t size) {
  return run(&Expression::parseInfix, data, size);
}

int fuzzWordExpression(const uint8_t* data, size_t size) {
  return run(&Expression::parseWords, data, size);
}

int fuzzListExpression(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  StringList items;
  splitList(TqString(text), items);
  return run(&Expression::parseList, data, size);
}

}  // namespace tq
