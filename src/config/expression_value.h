// The dynamically typed value of an expression: an integer, a single-precision real or a text.
#pragma once

#include <cstdint>

#include "records/tq_string.h"

namespace tq {

class ExpressionValue {
 public:
  // Ordered: a binary operation works in the larger kind of its two operands.
  enum Kind : int32_t { kInteger = 0, kReal = 1, kText = 2 };

  ExpressionValue() = default;  // the integer 0
  static ExpressionValue integer(int32_t value);
  static ExpressionValue real(float value);
  static ExpressionValue text(TqString value);
  // Optional '-' and digits: an integer; a number as TqString::isNumber has it ('.5', '+5',
  // '3.'): a real; anything else, the empty text included: text.
  static ExpressionValue fromText(const TqString& text);
  static ExpressionValue fromText(TqString&& text);

  Kind kind() const { return kind_; }
  // An integer as it is, a real truncated toward zero (clamped to the 32-bit range, NaN gives
  // 0), a text by decimal conversion.
  int32_t asInt() const;
  float asReal() const;
  // An integer in decimal, a real with "%f", a text as it is.
  TqString asText() const;
  // The text of a text value without a copy; empty for the other kinds.
  const TqString& textValue() const { return text_; }

 private:
  Kind kind_ = kInteger;
  int32_t int_ = 0;
  float real_ = 0.0f;
  TqString text_;
};

// Conversions that are defined for every input: beyond the target's range they saturate (to the
// largest integer, or to infinity for a real), and NaN becomes 0.
int32_t saturatingInt(double value);
float saturatingFloat(double value);

}  // namespace tq
