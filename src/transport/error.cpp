#include "transport/error.h"

namespace tq {

TqString Error::text() const { return expandTemplate(messageTemplate(code()), *this); }

Error& lastError() {
  static Error error;
  return error;
}

}  // namespace tq
