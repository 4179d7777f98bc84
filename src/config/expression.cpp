// The expression node and its operator-precedence parser.
#include "config/expression.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "config/expression_tokens.h"

namespace tq {
namespace {

// Tokens the parser treats as operators; every other token (",", "?", "--" ...) is a name.
bool isOperatorToken(std::string_view t) {
  static constexpr std::string_view kOperators[] = {
      "min", "max", "sub", "add", "mul", "div", "xor", "mod", "^", "%",  "in", "has",
      "=",   "-",   "!",   "not", "&&",  "and", "||",  "or",  "&", "|",  "/",  "*",
      "==",  "eq",  "!=",  "=~",  "ne",  "<>",  "<",   "lt",  ">", "gt", "<=", "le",
      ">=",  "ge",  "+",   "<<",  ">>",  "rs",  "ls",  ";",   ":"};
  return std::find(std::begin(kOperators), std::end(kOperators), t) != std::end(kOperators);
}

bool isUnaryOperator(std::string_view op) { return op == "not" || op == "!" || op == "--"; }

// Binding strength; a larger number binds tighter.
int strength(std::string_view op) {
  struct Row {
    int strength;
    std::initializer_list<std::string_view> ops;
  };
  static const Row kRows[] = {
      {1024, {",", ";"}},
      {256, {"(", ")"}},
      {128, {"--", "!", "not"}},
      {64, {"/", "*", "div", "mul", "%", "mod"}},
      {32, {"+", "-", "add", "sub"}},
      {16, {"&", "|", "^", "xor"}},
      {8,
       {"=", "==", "eq", "<>", "=~", "!=", "ne", "<", "lt", ">", "gt", "<=", "le", ">=", "ge", "in",
        "has"}},
      {4, {"&&", "and", "||", "or"}},
      {2, {"<<", ">>", "rs", "ls"}},
  };
  for (const Row& row : kRows) {
    if (std::find(row.ops.begin(), row.ops.end(), op) != row.ops.end()) return row.strength;
  }
  return 1;  // "min", "max" and anything else
}

}  // namespace

// Runs the operator-precedence algorithm over a token sequence: an operator stack and an
// operand stack, starting in the state of expecting an operand.
class ExpressionBuilder {
 public:
  explicit ExpressionBuilder(const Expression& root) : root_(root) {}

  // False when the tree would be deeper than kMaxExpressionDepth. Leaf tokens are moved into
  // their nodes; the operator stack refers to the other tokens, which stay where they are.
  bool run(std::vector<TqString>& tokens) {
    bool expecting_operand = true;
    for (TqString& token : tokens) {
      std::string_view t = token.view();
      if (t == "(") {
        operators_.push_back({t, strength(t)});
        expecting_operand = true;
        continue;
      }
      if (t == ")") {
        while (!operators_.empty()) {
          if (operators_.back().op == "(") {
            operators_.pop_back();
            break;
          }
          if (!reduce()) return false;
        }
        expecting_operand = false;
        continue;
      }
      bool is_operator = isOperatorToken(t);
      if (is_operator && expecting_operand) {
        if (t == "-") {
          t = "--";
        } else if (!isUnaryOperator(t)) {
          is_operator = false;  // "in" where an operand belongs is a name
        }
      }
      if (!is_operator) {
        std::unique_ptr<Expression> leaf = root_.makeNode();
        leaf->name_ = std::move(token);
        operands_.push_back(std::move(leaf));
        expecting_operand = false;
        continue;
      }
      int incoming = strength(t);
      while (!operators_.empty() && operators_.back().op != "(" &&
             incoming < operators_.back().strength) {
        if (!reduce()) return false;
      }
      operators_.push_back({t, incoming});
      expecting_operand = true;
    }
    while (!operators_.empty()) {
      if (!reduce()) return false;
    }
    return true;
  }

  // The first node on the operand stack, or null.
  std::unique_ptr<Expression> first() {
    return operands_.empty() ? nullptr : std::move(operands_.front());
  }

 private:
  struct Pending {
    std::string_view op;  // a token's text, or the literal "--"
    int strength;
  };

  std::unique_ptr<Expression> popOperand() {
    if (operands_.empty()) return nullptr;
    std::unique_ptr<Expression> top = std::move(operands_.back());
    operands_.pop_back();
    return top;
  }

  // Turns the top operator into a node over the top operands.
  bool reduce() {
    std::unique_ptr<Expression> node = root_.makeNode();
    node->op_ = TqString(operators_.back().op);
    operators_.pop_back();
    node->right_ = popOperand();
    if (!isUnaryOperator(node->op_.view())) node->left_ = popOperand();
    int32_t below = 0;
    if (node->left_) below = node->left_->depth_;
    if (node->right_) below = std::max(below, node->right_->depth_);
    node->depth_ = below + 1;
    if (node->depth_ > kMaxExpressionDepth) return false;
    operands_.push_back(std::move(node));
    return true;
  }

  const Expression& root_;
  std::vector<Pending> operators_;
  std::vector<std::unique_ptr<Expression>> operands_;
};

Expression::Expression() = default;
Expression::~Expression() = default;

void Expression::setValueFunction(ValueFunction function) {
  editHooks().value = std::move(function);
}

void Expression::setDefinedFunction(DefinedFunction function) {
  editHooks().defined = std::move(function);
}

void Expression::setResolver(const ExpressionResolver* resolver) {
  editHooks().resolver = resolver;
}

Expression::Hooks& Expression::editHooks() {
  // Nodes made earlier share the old hooks; they keep them.
  auto fresh = hooks_ ? std::make_shared<Hooks>(*hooks_) : std::make_shared<Hooks>();
  Hooks& hooks = *fresh;
  hooks_ = std::move(fresh);
  return hooks;
}

std::unique_ptr<Expression> Expression::makeNode() const {
  auto node = std::make_unique<Expression>();
  node->hooks_ = hooks_;
  return node;
}

void Expression::parseInfix(std::string_view text) { build(tokenizeInfix(text)); }
void Expression::parseWords(std::string_view text) { build(tokenizeWords(text)); }
void Expression::parseList(std::string_view text) { build(tokenizeList(text)); }

void Expression::build(std::vector<TqString> tokens) {
  op_.clear();
  left_.reset();
  right_.reset();
  literal_.clear();
  name_.clear();
  depth_ = 1;

  ExpressionBuilder builder(*this);
  if (!builder.run(tokens)) {
    op_ = kTooDeepOperator;
    return;
  }
  std::unique_ptr<Expression> top = builder.first();
  if (!top) return;
  op_ = std::move(top->op_);
  left_ = std::move(top->left_);
  right_ = std::move(top->right_);
  literal_ = std::move(top->literal_);
  name_ = std::move(top->name_);
  depth_ = top->depth_;
}

}  // namespace tq
