// The expression node and its operator-precedence parser.
#include "config/expression.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "config/expression_tokens.h"

namespace tq {
namespace {

// Tokens the parser treats as operators; every other token (",", "?", "--" ...) is a name. The
// answer is the operator's own spelling, which outlives the token; empty for a name.
std::string_view operatorToken(std::string_view t) {
  static constexpr std::string_view kOperators[] = {
      "min", "max", "sub", "add", "mul", "div", "xor", "mod", "^", "%",  "in", "has",
      "=",   "-",   "!",   "not", "&&",  "and", "||",  "or",  "&", "|",  "/",  "*",
      "==",  "eq",  "!=",  "=~",  "ne",  "<>",  "<",   "lt",  ">", "gt", "<=", "le",
      ">=",  "ge",  "+",   "<<",  ">>",  "rs",  "ls",  ";",   ":"};
  const std::string_view* found = std::find(std::begin(kOperators), std::end(kOperators), t);
  return found == std::end(kOperators) ? std::string_view() : *found;
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
  enum Result { kBuilt, kTooDeep, kTooLarge };

  explicit ExpressionBuilder(const Expression& root) : root_(root) {}

  // Reads tokens until the text ends or a bound is passed: a tree deeper than
  // kMaxExpressionDepth (known early when more operators than that wait on the stack) or more
  // than kMaxExpressionNodes nodes. Reading stops at the token that passes a bound.
  Result run(ExpressionTokenizer& tokens) {
    bool expecting_operand = true;
    TqString token;
    while (tokens.next(token)) {
      std::string_view t = token.view();
      if (t == "(") {
        openParenthesis();
        expecting_operand = true;
        continue;
      }
      if (t == ")") {
        while (!operators_.empty()) {
          if (operators_.back().op == "(") {
            if (--operators_.back().count == 0) operators_.pop_back();
            break;
          }
          if (Result r = reduce(); r != kBuilt) return r;
        }
        expecting_operand = false;
        continue;
      }
      std::string_view op = operatorToken(t);
      if (!op.empty() && expecting_operand) {
        if (op == "-") {
          op = "--";
        } else if (!isUnaryOperator(op)) {
          op = std::string_view();  // "in" where an operand belongs is a name
        }
      }
      if (op.empty()) {
        if (!countNode()) return kTooLarge;
        std::unique_ptr<Expression> leaf = root_.makeNode();
        leaf->name_ = std::move(token);
        token = TqString();
        operands_.push_back(std::move(leaf));
        expecting_operand = false;
        continue;
      }
      int incoming = strength(op);
      while (!operators_.empty() && operators_.back().op != "(" &&
             incoming < operators_.back().strength) {
        if (Result r = reduce(); r != kBuilt) return r;
      }
      if (!push(op, incoming)) return kTooDeep;
      expecting_operand = true;
    }
    while (!operators_.empty()) {
      if (Result r = reduce(); r != kBuilt) return r;
    }
    return kBuilt;
  }

  // The first node on the operand stack, or null.
  std::unique_ptr<Expression> first() {
    return operands_.empty() ? nullptr : std::move(operands_.front());
  }

 private:
  struct Pending {
    std::string_view op;  // a static spelling: "(", "--" or one of the operator tokens
    int strength;
    int64_t count = 1;  // "(" opened in a row with nothing between them on the stack
  };

  // Consecutive "(" share one entry, so text nested a million deep costs no more than a little.
  void openParenthesis() {
    if (!operators_.empty() && operators_.back().op == "(") {
      ++operators_.back().count;
    } else {
      operators_.push_back({"(", strength("(")});
    }
  }

  // An operator waiting on the stack takes everything read after it into its right operand, so
  // the tree is deeper than the number of operators waiting: past kMaxExpressionDepth of them
  // it can only end too deep, and the text is refused at once.
  bool push(std::string_view op, int op_strength) {
    if (++waiting_ > kMaxExpressionDepth) return false;
    operators_.push_back({op, op_strength});
    return true;
  }

  bool countNode() { return ++nodes_ <= kMaxExpressionNodes; }

  std::unique_ptr<Expression> popOperand() {
    if (operands_.empty()) return nullptr;
    std::unique_ptr<Expression> top = std::move(operands_.back());
    operands_.pop_back();
    return top;
  }

  // Turns the top operator into a node over the top operands (one "(" of a run, left open).
  Result reduce() {
    if (!countNode()) return kTooLarge;
    std::unique_ptr<Expression> node = root_.makeNode();
    Pending& top = operators_.back();
    node->op_ = TqString(top.op);
    if (top.op != "(") --waiting_;
    if (top.op != "(" || --top.count == 0) operators_.pop_back();
    node->right_ = popOperand();
    if (!isUnaryOperator(node->op_.view())) node->left_ = popOperand();
    int32_t below = 0;
    if (node->left_) below = node->left_->depth_;
    if (node->right_) below = std::max(below, node->right_->depth_);
    node->depth_ = below + 1;
    if (node->depth_ > kMaxExpressionDepth) return kTooDeep;
    operands_.push_back(std::move(node));
    return kBuilt;
  }

  const Expression& root_;
  std::vector<Pending> operators_;
  std::vector<std::unique_ptr<Expression>> operands_;
  int32_t nodes_ = 0;
  int32_t waiting_ = 0;  // operators on the stack other than "("
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

void Expression::parseInfix(std::string_view text) { build(text, ExpressionSyntax::kInfix); }
void Expression::parseWords(std::string_view text) { build(text, ExpressionSyntax::kWords); }
void Expression::parseList(std::string_view text) { build(text, ExpressionSyntax::kList); }

void Expression::build(std::string_view text, ExpressionSyntax syntax) {
  op_.clear();
  left_.reset();
  right_.reset();
  literal_.clear();
  name_.clear();
  depth_ = 1;

  ExpressionTokenizer tokens(text, syntax);
  ExpressionBuilder builder(*this);
  switch (builder.run(tokens)) {
    case ExpressionBuilder::kTooDeep:
      op_ = kTooDeepOperator;
      return;
    case ExpressionBuilder::kTooLarge:
      op_ = kTooLargeOperator;
      return;
    case ExpressionBuilder::kBuilt:
      break;
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
