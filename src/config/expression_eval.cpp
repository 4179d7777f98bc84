// Evaluation, definedness and the variables of an expression tree.
//
// Integer arithmetic wraps around at 32 bits instead of overflowing, a zero divisor counts as 1
// and the one quotient that does not fit (the smallest integer divided by -1) wraps as well, so
// no input can trap or invoke undefined behaviour. The recursion below follows the tree, whose
// depth the parser bounds by kMaxExpressionDepth.
#include <algorithm>
#include <string_view>
#include <utility>

#include "config/expression.h"
#include "records/split_list.h"

namespace tq {
namespace {

enum class Op {
  kDiv,
  kMul,
  kMod,
  kXor,
  kAdd,
  kSub,
  kBitAnd,
  kBitOr,
  kAnd,
  kOr,
  kShiftLeft,
  kShiftRight,
  kEqual,
  kNotEqual,
  kDiamond,
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kIn,
  kHas,
  kMax,
  kMin,
  kUnknown
};

Op classify(std::string_view op) {
  struct Row {
    Op op;
    std::initializer_list<std::string_view> spellings;
  };
  static const Row kRows[] = {
      {Op::kDiv, {"/", "div"}},
      {Op::kMul, {"*", "mul"}},
      {Op::kMod, {"%", "mod"}},
      {Op::kXor, {"^", "xor"}},
      {Op::kAdd, {"+", "add"}},
      {Op::kSub, {"-", "sub"}},
      {Op::kBitAnd, {"&"}},
      {Op::kBitOr, {"|"}},
      {Op::kAnd, {"&&", "and"}},
      {Op::kOr, {"||", "or"}},
      {Op::kShiftLeft, {"<<", "ls"}},
      {Op::kShiftRight, {">>", "rs"}},
      {Op::kEqual, {"=", "==", "eq"}},
      {Op::kNotEqual, {"!=", "ne"}},
      {Op::kDiamond, {"<>"}},
      {Op::kLess, {"<", "lt"}},
      {Op::kGreater, {">", "gt"}},
      {Op::kLessEqual, {"<=", "le"}},
      {Op::kGreaterEqual, {">=", "ge"}},
      {Op::kIn, {"in"}},
      {Op::kHas, {"has"}},
      {Op::kMax, {"max"}},
      {Op::kMin, {"min"}},
  };
  for (const Row& row : kRows) {
    if (std::find(row.spellings.begin(), row.spellings.end(), op) != row.spellings.end()) {
      return row.op;
    }
  }
  return Op::kUnknown;
}

int32_t wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

int32_t integerOp(Op op, int32_t a, int32_t b) {
  switch (op) {
    case Op::kDiv:
      if (b == 0) b = 1;
      return wrap(static_cast<int64_t>(a) / b);
    case Op::kMul:
      return wrap(static_cast<int64_t>(a) * b);
    case Op::kMod:
      if (b == 0) b = 1;
      return wrap(static_cast<int64_t>(a) % b);
    case Op::kXor:
      return a ^ b;
    case Op::kAdd:
      return wrap(static_cast<int64_t>(a) + b);
    case Op::kSub:
      return wrap(static_cast<int64_t>(a) - b);
    case Op::kBitAnd:
      return a & b;
    case Op::kBitOr:
      return a | b;
    case Op::kAnd:
      return a != 0 && b != 0;
    case Op::kOr:
      return a != 0 || b != 0;
    case Op::kShiftLeft:
      return wrap(static_cast<uint32_t>(a) << (b & 31));
    case Op::kShiftRight:  // keeps the sign
      return a >= 0 ? a >> (b & 31) : ~(~a >> (b & 31));
    case Op::kEqual:
    case Op::kIn:
    case Op::kHas:
      return a == b;
    case Op::kNotEqual:
    case Op::kDiamond:
      return a != b;
    case Op::kLess:
      return a < b;
    case Op::kGreater:
      return a > b;
    case Op::kLessEqual:
      return a <= b;
    case Op::kGreaterEqual:
      return a >= b;
    case Op::kMax:
      return std::max(a, b);
    case Op::kMin:
      return std::min(a, b);
    case Op::kUnknown:
      break;
  }
  return 0;
}

float realOp(Op op, float a, float b) {
  switch (op) {
    case Op::kDiv:
      return a / (b == 0.0f ? 1.0f : b);
    case Op::kMul:
      return a * b;
    case Op::kAdd:
      return a + b;
    case Op::kSub:
      return a - b;
    case Op::kAnd:
      return a != 0.0f && b != 0.0f ? 1.0f : 0.0f;
    case Op::kOr:
      return a != 0.0f || b != 0.0f ? 1.0f : 0.0f;
    case Op::kEqual:
    case Op::kIn:
    case Op::kHas:
      return a == b ? 1.0f : 0.0f;
    case Op::kNotEqual:
      return a != b ? 1.0f : 0.0f;
    case Op::kLess:
      return a < b ? 1.0f : 0.0f;
    case Op::kGreater:
      return a > b ? 1.0f : 0.0f;
    case Op::kLessEqual:
      return a <= b ? 1.0f : 0.0f;
    case Op::kGreaterEqual:
      return a >= b ? 1.0f : 0.0f;
    case Op::kMax:
      return std::max(a, b);
    case Op::kMin:
      return std::min(a, b);
    default:
      return 0.0f;  // "%", bit operators, shifts, "<>" and unknown operators
  }
}

// Every item is looked at, however many there are, and none is kept.
bool listHolds(const TqString& list, const TqString& item) {
  bool found = false;
  forEachListItem(list.view(), [&](std::string_view entry) {
    found = entry == item.view();
    return !found;
  });
  return found;
}

int32_t textOp(Op op, const TqString& a, const TqString& b) {
  switch (op) {
    case Op::kEqual:
      return a == b;
    case Op::kNotEqual:
      return a != b;
    case Op::kAnd:
      return a.toInt() != 0 && b.toInt() != 0;
    case Op::kIn:
      return listHolds(b, a);
    case Op::kHas:
      return listHolds(a, b);
    default:
      return 0;
  }
}

bool isUnaryNode(const Expression& node) {
  std::string_view op = node.op().view();
  return op == "not" || op == "!" || op == "--" || (op == "-" && node.left() == nullptr);
}

}  // namespace

class ExpressionEvaluator {
 public:
  explicit ExpressionEvaluator(const Expression::Hooks* hooks) : hooks_(hooks) {}

  // A missing operand (text such as "1 +") has the value of an empty text.
  ExpressionValue value(const Expression* node) const {
    if (node == nullptr) return ExpressionValue::text(TqString());
    if (node->op().empty()) return leafValue(*node);
    if (isUnaryNode(*node)) return unary(node->op().view(), value(node->right()));
    ExpressionValue a = value(node->left());
    ExpressionValue b = value(node->right());
    Op op = classify(node->op().view());
    switch (std::max(a.kind(), b.kind())) {
      case ExpressionValue::kInteger:
        return ExpressionValue::integer(integerOp(op, a.asInt(), b.asInt()));
      case ExpressionValue::kReal:
        return ExpressionValue::real(realOp(op, a.asReal(), b.asReal()));
      case ExpressionValue::kText:
        break;
    }
    if (a.kind() == ExpressionValue::kText && b.kind() == ExpressionValue::kText) {
      return ExpressionValue::integer(textOp(op, a.textValue(), b.textValue()));
    }
    return ExpressionValue::integer(textOp(op, a.asText(), b.asText()));
  }

  // A missing operand depends on no name.
  bool defined(const Expression* node) const {
    if (node == nullptr) return true;
    if (node->op().view() == kTooDeepOperator || node->op().view() == kTooLargeOperator) {
      return false;
    }
    if (node->op().empty()) {
      if (!node->literal().empty()) return true;
      if (hooks_ != nullptr && hooks_->resolver != nullptr) {
        return hooks_->resolver->isDefined(node->name());
      }
      if (hooks_ != nullptr && hooks_->defined) return hooks_->defined(node->name());
      return false;
    }
    if (isUnaryNode(*node)) return defined(node->right());
    return defined(node->left()) && defined(node->right());
  }

  void variables(const Expression* node, StringList& names) const {
    if (node == nullptr || hooks_ == nullptr || hooks_->resolver == nullptr) return;
    if (node->op().empty()) {
      if (hooks_->resolver->isVariable(node->name())) names.append(node->name());
      return;
    }
    variables(node->left(), names);
    variables(node->right(), names);
  }

 private:
  ExpressionValue leafValue(const Expression& leaf) const {
    if (!leaf.literal().empty()) return ExpressionValue::fromText(leaf.literal());
    if (hooks_ != nullptr && hooks_->resolver != nullptr) {
      TqString out;
      hooks_->resolver->value(leaf.name(), out);
      return ExpressionValue::fromText(std::move(out));
    }
    if (hooks_ != nullptr && hooks_->value)
      return ExpressionValue::fromText(hooks_->value(leaf.name()));
    return ExpressionValue::fromText(leaf.name());
  }

  static ExpressionValue unary(std::string_view op, const ExpressionValue& v) {
    bool negate = op == "-" || op == "--";
    switch (v.kind()) {
      case ExpressionValue::kInteger:
        return ExpressionValue::integer(negate ? wrap(-static_cast<int64_t>(v.asInt()))
                                               : v.asInt() == 0);
      case ExpressionValue::kReal:
        return ExpressionValue::real(negate ? -v.asReal() : (v.asReal() == 0.0f ? 1.0f : 0.0f));
      case ExpressionValue::kText:
        break;
    }
    return ExpressionValue::text(TqString());
  }

  const Expression::Hooks* hooks_;
};

void Expression::evaluate(ExpressionValue& out) const {
  out = ExpressionEvaluator(hooks_.get()).value(this);
}

bool Expression::isDefined() const { return ExpressionEvaluator(hooks_.get()).defined(this); }

void Expression::variables(StringList& names) const {
  ExpressionEvaluator(hooks_.get()).variables(this, names);
}

}  // namespace tq
