// What a refusal (a reply with tag 3 or 4) says, as an error for the user:
//   - an "error" text record: 100000 with ERROR bound to its text (the supervisor's words);
//   - an "err" record: that record, code and values;
//   - a content of any other class: 2053, with ID bound to the reply's content type and ERROR
//     naming the record's type;
//   - no content: 2051.
#pragma once

#include "job/message.h"
#include "transport/error.h"

namespace tq {

Error refusalError(const Message& reply);

}  // namespace tq
