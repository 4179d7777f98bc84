#include "config/expression_value.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <utility>

namespace tq {

int32_t saturatingInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

float saturatingFloat(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);  // NaN stays NaN
}

ExpressionValue ExpressionValue::integer(int32_t value) {
  ExpressionValue v;
  v.int_ = value;
  return v;
}

ExpressionValue ExpressionValue::real(float value) {
  ExpressionValue v;
  v.kind_ = kReal;
  v.real_ = value;
  return v;
}

ExpressionValue ExpressionValue::text(TqString value) {
  ExpressionValue v;
  v.kind_ = kText;
  v.text_ = std::move(value);
  return v;
}

ExpressionValue ExpressionValue::fromText(const TqString& text) {
  if (text.isInteger()) return integer(text.toInt());
  if (text.isNumber()) return real(saturatingFloat(text.toDouble()));
  return ExpressionValue::text(text);
}

ExpressionValue ExpressionValue::fromText(TqString&& text) {
  if (text.isInteger() || text.isNumber()) return fromText(static_cast<const TqString&>(text));
  return ExpressionValue::text(std::move(text));
}

int32_t ExpressionValue::asInt() const {
  switch (kind_) {
    case kInteger:
      return int_;
    case kReal:
      return saturatingInt(real_);
    case kText:
      break;
  }
  return text_.toInt();
}

float ExpressionValue::asReal() const {
  switch (kind_) {
    case kInteger:
      return static_cast<float>(int_);
    case kReal:
      return real_;
    case kText:
      break;
  }
  return saturatingFloat(text_.toDouble());
}

TqString ExpressionValue::asText() const {
  switch (kind_) {
    case kInteger:
      return TqString(static_cast<int>(int_));
    case kReal:
      return TqString(static_cast<double>(real_));
    case kText:
      break;
  }
  return text_;
}

}  // namespace tq
