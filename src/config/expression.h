// The expression language: requirements, orders and dependencies written as text, parsed into
// a tree and evaluated against named values that the caller supplies.
//
//   Expression e;
//   e.setValueFunction([](const TqString& name) { return lookUp(name); });
//   e.parseInfix("memory >= 2048 && os == linux");
//   ExpressionValue v;
//   e.evaluate(v);
//
// Operators, from the weakest binding to the strongest:
//   1     min max :
//   2     << >> ls rs
//   4     && and || or
//   8     = == eq <> != ne =~ < lt > gt <= le >= ge in has
//   16    & | ^ xor
//   32    + - add sub
//   64    * / % mul div mod
//   128   not ! and the negation (a "-" where an operand is expected)
//   1024  ;
// An operator only ends the operators before it that bind more tightly, so a chain of operators
// of one strength groups from the right: 10 - 4 - 3 is 10 - (4 - 3), which is 9. Any other
// token is a name; so is an operator word where an operand is expected ("in" at the start).
//
// Nothing is reported: an unknown name evaluates as its own text, an unknown operator as 0, and
// a "(" left open becomes a node of operator "(", which evaluates as an unknown operator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "config/config_limits.h"
#include "config/expression_tokens.h"
#include "config/expression_value.h"
#include "records/basic_records.h"
#include "records/tq_string.h"

namespace tq {

// The parser's bounds, kMaxExpressionDepth and kMaxExpressionNodes, are in
// config/config_limits.h. Text that would need a deeper tree or parentheses nested deeper
// parses into the single node kTooDeepOperator; text that would need more nodes into the single
// node kTooLargeOperator. Both evaluate as an unknown operator does (integer 0), depend on no
// names and are never defined. No text parses to a node with either operator otherwise.
constexpr const char* kTooDeepOperator = "too_deep";
constexpr const char* kTooLargeOperator = "too_large";

// Supplies the values of names, and says which names are known and which are variables.
class ExpressionResolver {
 public:
  virtual ~ExpressionResolver() = default;
  virtual void value(const TqString& name, TqString& out) const = 0;
  virtual bool isDefined(const TqString& name) const = 0;
  virtual bool isVariable(const TqString& name) const = 0;
};

class Expression {
 public:
  // The record identity of an expression node; it has no fields.
  static constexpr int32_t kClassId = 65;
  static constexpr const char* kTypeName = "expression";

  using ValueFunction = std::function<TqString(const TqString& name)>;
  using DefinedFunction = std::function<bool(const TqString& name)>;

  Expression();
  ~Expression();
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  // Lookup hooks. Evaluating a node (and isDefined(), variables()) uses that node's hooks for
  // its whole subtree, so hooks set on the root apply to the tree whenever they are set; every
  // node the parser makes also takes the root's hooks of that moment. The resolver is not owned
  // and must outlive its use; where it is set it is asked before the functions.
  void setValueFunction(ValueFunction function);
  void setDefinedFunction(DefinedFunction function);
  void setResolver(const ExpressionResolver* resolver);

  // Tokenise with the syntax named and build the tree in this node, replacing what it held
  // (the hooks stay). Empty text leaves an empty leaf.
  void parseInfix(std::string_view text);
  void parseWords(std::string_view text);
  void parseList(std::string_view text);

  void evaluate(ExpressionValue& out) const;
  // True when the lookup hooks know every name the tree depends on (leaves with a literal
  // depend on none). Without a resolver or a defined-check function nothing is known.
  bool isDefined() const;
  // Appends, depth first from the left, the names of the leaves the resolver calls variables.
  void variables(StringList& names) const;

  // The tree. An operator node has an operator and children (a unary one only the right);
  // a leaf has no operator and a name.
  const TqString& op() const { return op_; }
  const Expression* left() const { return left_.get(); }
  const Expression* right() const { return right_.get(); }
  const TqString& name() const { return name_; }
  // When set, the value of the leaf whatever the hooks say.
  const TqString& literal() const { return literal_; }
  void setLiteral(const TqString& literal) { literal_ = literal; }
  // Levels of the tree below and including this node; a leaf is 1.
  int32_t depth() const { return depth_; }

 private:
  struct Hooks {
    ValueFunction value;
    DefinedFunction defined;
    const ExpressionResolver* resolver = nullptr;
  };
  friend class ExpressionBuilder;
  friend class ExpressionEvaluator;

  void build(std::string_view text, ExpressionSyntax syntax);
  // A new node carrying this node's hooks.
  std::unique_ptr<Expression> makeNode() const;
  Hooks& editHooks();

  TqString op_;
  std::unique_ptr<Expression> left_;
  std::unique_ptr<Expression> right_;
  TqString literal_;
  TqString name_;
  int32_t depth_ = 1;
  std::shared_ptr<const Hooks> hooks_;
};

}  // namespace tq
