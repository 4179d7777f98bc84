#include "client/credentials.h"

#include "client/refusal.h"
#include "config/client_config.h"
#include "config/identity.h"
#include "job/message_tags.h"
#include "records/basic_records.h"
#include "transport/client.h"
#include "transport/credential_key.h"

namespace tq {

bool setCredentials(const TqString& user, const TqString& domain, const TqString& password) {
  CredentialKey key;
  key.setBuiltIn();
  StringList strings;
  TqString cipher;
  key.encipher(password, cipher);
  strings.append(std::move(cipher));
  strings.append(user.empty() ? userName() : user);
  strings.append(domain.empty() ? clientDomain() : domain);

  Client client;
  applyOverrides(client);
  Message request(kTagCredentials);
  Message reply;
  bool answered;
  {
    LentContent lent(request, strings);
    answered = client.request(request, reply);
  }
  if (!answered) {
    lastError() = Error();
    lastError().copyFrom(client.error());
    return false;
  }
  if (reply.tag == kTagRefused) {
    lastError() = refusalError(reply);
    return false;
  }
  return true;
}

}  // namespace tq
