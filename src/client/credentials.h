// The credential request: hands a user's password, with the user and domain names, to the
// supervisor (tag 1011), enciphered with the library's built-in key (transport/credential_key.h).
//
// The request's content is a "string_list" of three strings: the cipher text of the password,
// the user (userName() when `user` is empty) and the domain (clientDomain() when `domain` is
// empty). An empty password still sends the request, with an empty first string.
//
// The password is read in place and never copied into an ordinary string, logged or printed;
// callers keep it in a secure string (TqString::setSecure) so that its buffers are wiped.
#pragma once

#include "records/tq_string.h"

namespace tq {

// False when the supervisor could not be reached or refused (tag 3); the process-wide last
// error then says why. True for every other answer.
bool setCredentials(const TqString& user, const TqString& domain, const TqString& password);

}  // namespace tq
