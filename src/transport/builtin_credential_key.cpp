// The built-in credential key: the public half. Made by scripts/make-credential-key.py,
// which also writes the matching private exponent into tools/dev_credential_key.h.
#include "transport/credential_key.h"

namespace tq {

const char kCredentialModulus[] =
    "c3540fe47d4979787d98bf34cf33be390dd47d2ec80280a51463b1c913c394d3";
const char kCredentialExponent[] = "00010001";

}  // namespace tq
