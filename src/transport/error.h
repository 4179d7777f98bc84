// tq::Error: a failure code with named text values, and the message it reads as.
//
// The record ("err", class id 175) is what travels: field 1 the code, field 2 a "macro"
// variable map. text() picks the code's template from the message table (message_table.cpp;
// a code the table does not list reads "general error") and expands its "$" references from
// the map: "$NAME" takes the longest run of letters, digits and '_' after the '$', "$(NAME)"
// everything up to the next ')'. A name without a binding expands to nothing. The variables in
// use: ERROR (the system's text of the failure, or a text a peer sent), VERSION (a comm version
// byte as a signed decimal number), SIZE (bound by a peer), HOST (the supervisor of the client
// side's codes) and PEER (where a comm tried to reach: "127.0.0.1 port 50001").
//
// What the user reads says why: when ERROR is bound but the code's template does not use it,
// it follows the template after ": " ("unable to connect to host: Connection refused"), or
// stands alone for a code without a text of its own; a bound PEER follows in brackets.
//
// Every comm and listener owns one error record; a client keeps a copy of its last comm's; and
// the library keeps one process-wide last error that the client operations fill.
#pragma once

#include <cstdint>

#include "records/catalogue_misc.h"
#include "records/tq_string.h"
#include "transport/error_codes.h"

namespace tq {

class Error : public ErrorRecord {
 public:
  Error() = default;
  explicit Error(int32_t code) { setCode(code); }

  // The message for the current code, with its variables expanded and the reason and peer
  // added (above).
  TqString text() const;
};

// The template of a code: its row of the message table, or "general error".
const char* messageTemplate(int32_t code);
// Expands the "$" references of a template from an error's variable map.
TqString expandTemplate(const char* pattern, const ErrorRecord& values);

// The process-wide last error of the client operations.
Error& lastError();

}  // namespace tq
