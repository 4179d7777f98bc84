#include "client/credentials.h"

#include "config/client_config.h"
#include "config/identity.h"
#include "records/basic_records.h"
#include "transport/client.h"
#include "transport/credential_key.h"

namespace tq {
namespace {

constexpr int32_t kCredentialsTag = 1011;
constexpr int32_t kRefusalTag = 3;

// What a refusal says, as the last error.
void refusalError(const Message& reply) {
  Error& error = lastError();
  error.copyFrom(Error());
  const Object* content = reply.content();
  if (content && content->classId() == ErrorText::kClassId &&
      reply.content_type == ErrorText::kClassId) {
    error.setCode(100000);
    error.setValue("ERROR", static_cast<const ErrorText*>(content)->value);
  } else if (content && content->classId() == ErrorRecord::kClassId &&
             reply.content_type == ErrorRecord::kClassId) {
    error.copyFrom(*static_cast<const ErrorRecord*>(content));
  } else {
    error.setCode(2051);
  }
}

}  // namespace

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
  Message request(kCredentialsTag);
  request.setContentRef(strings);
  Message reply;
  bool answered = client.request(request, reply);
  request.releaseContent();
  if (!answered) {
    lastError().copyFrom(client.error());
    return false;
  }
  if (reply.tag == kRefusalTag) {
    refusalError(reply);
    return false;
  }
  return true;
}

}  // namespace tq
