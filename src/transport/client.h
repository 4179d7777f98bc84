// tq::Client: the context of one client operation. It finds a supervisor and runs request/reply
// exchanges with it over TCP.
//
// Finding the supervisor (request(); requestSub() is the same on the sub port):
//   1. the explicit supervisor host, when set: nothing else is tried;
//   2. the configured supervisors, starting at a random index and wrapping around;
//   3. the cache file (temporary directory + "\supervisor_<user>.tmp"), when it is fresh: newer
//      than tq.conf and less than 600 seconds old;
//   4. when a farm domain is configured, discovery: a tag-401 query broadcast on UDP; the
//      responder's address is written to the cache;
// and a reply with tag 7 redirects once to the host its content names.
//
// Every exchange stamps the request with the user, the user's domain, the hardware address and
// the farm domain and region, and logs its failures:
//   ERROR: unable to establish tcp connection with HOST - TEXT.
//   ERROR: unable to transmit to HOST - TEXT.
//   ERROR: unable to receive from HOST - TEXT.
//   ERROR: max connections reached for HOST - connection rejected.
// A reply with tag 0 (no answer) or 5 (too many connections) fails after a random pause of 1 to
// 10 seconds, through the library's sleep and random source.
//
// A failed operation leaves its reason in error(): the comm's error of the last exchange tried,
// with PEER naming the host and port; 5002 "supervisor busy" (tag 5) and 5003 "empty answer"
// (tag 0) with HOST; or 5001 "no supervisor found" with why (tq.conf names none, or discovery
// found none).
#pragma once

#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include "config/client_config.h"
#include "job/message.h"
#include "records/catalogue_hosts.h"
#include "transport/error.h"

namespace tq {

class Client : public Record<Client> {
 public:
  static constexpr int32_t kClassId = 74;
  static constexpr const char* kTypeName = "TqClient";
  static constexpr int32_t kDefaultTimeout = 30000;

  // Reads the client configuration.
  Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  void setSupervisorHost(const TqString& name) { supervisor_host_ = name; }
  const TqString& supervisorHost() const { return supervisor_host_; }
  void setTimeout(int32_t ms) { timeout_ = ms; }
  int32_t timeout() const { return timeout_; }
  const Error& error() const { return error_; }
  bool wasRejected() const { return rejected_; }
  const TqString& lastHost() const { return last_host_; }
  const ClientConfig& config() const { return *config_; }
  // The configured supervisors, and those discovery added during this client's life.
  const HostNameList& supervisors() const { return supervisors_; }
  // One more supervisor for this client's life (a port of 0 means the port of the request).
  void addSupervisor(const HostName& entry) { supervisors_.append(entry); }

  // One request and its reply over a new TCP comm. False when the host is empty (nothing
  // logged, the error untouched), when the exchange failed, or when the reply's tag is 0 or 5.
  bool exchange(const TqString& host, int32_t port, Message& request, Message& reply);
  bool request(Message& request, Message& reply);
  bool requestSub(Message& request, Message& reply);
  // First the given host; when that fails, as request() / requestSub().
  bool requestVia(const TqString& host, Message& request, Message& reply);
  bool requestSubVia(const TqString& host, Message& request, Message& reply);
  bool requestWorker(const TqString& host, Message& request, Message& reply);

  // A UDP broadcast query on `port`, up to 6 attempts; the responder's address lands in the
  // reply's sender address.
  bool discover(int32_t port, Message& query, Message& reply);
  // The same, gathering every answer of the first attempt that received any.
  bool collectReplies(int32_t port, Message& query, std::vector<std::unique_ptr<Message>>& replies);
  // The supervisors of the domain: the configured ones unless forced; otherwise 100 rounds of
  // discovery to the broadcast address and to each configured supervisor.
  bool discoverSupervisors(HostNameList& list, bool force);

  // One-way messages: true when the send result is above 0.
  bool notify(const TqString& host, int32_t port, Message& message);
  bool notifyUdp(const TqString& host, int32_t port, Message& message);
  bool broadcast(int32_t port, Message& message);
  // A one-way message to the supervisor found as request() finds it (without redirection).
  bool notifySupervisor(Message& message);
  bool notifySupervisorSub(Message& message);
  bool notifySupervisorTcp(Message& message);
  // An exchange with every configured supervisor, each connecting within the client's time-out
  // and waiting 4 ms for its answer; false only when none is configured.
  static constexpr int32_t kRequestAllReplyTimeout = 4;
  bool requestAll(Message& request, Message& reply);

  // Sets user, domain, hardware address, farm domain and region on an outgoing message.
  void stamp(Message& message) const;

  static constexpr auto fields() { return std::tuple<>(); }

 private:
  bool findAndRequest(int32_t port, Message& request, Message& reply);
  // exchange() with the answer waited for reply_timeout ms.
  bool exchangeWaiting(const TqString& host, int32_t port, Message& request, Message& reply,
                       int32_t reply_timeout);
  // Keeps the error and where it happened.
  void failWith(const Error& error, const TqString& host, int32_t port);
  bool redirect(int32_t port, Message& request, Message& reply);
  bool discoverAndCache(int32_t port, TqString& address_text);
  bool notifyFound(int32_t port, Message& message, bool tcp);
  void failurePause(int32_t seconds_range);
  void copyError(const Error& error) { error_.copyFrom(error); }

  TqString supervisor_host_;
  std::unique_ptr<ClientConfig> config_;
  HostNameList supervisors_;
  int32_t timeout_ = kDefaultTimeout;
  bool rejected_ = false;
  TqString last_host_;
  Error error_;
};

// The supervisor cache file of this user.
TqString supervisorCachePath();
// The cached supervisor address when the cache is fresh, trustworthy and holds a dotted quad;
// empty otherwise (an untrusted file is logged once per process as a WARNING).
TqString readSupervisorCache();
bool writeSupervisorCache(const TqString& address_text);
// The freshness rule: written after tq.conf was, and less than 600 seconds before `now`.
bool cacheIsFresh(int64_t cache_modified, int64_t config_modified, int64_t now);

// Process-wide overrides that every client operation applies to its client: an explicit
// supervisor host (empty: find one as configured) and a time-out (milliseconds; 0 or less:
// the configured "client_timeout").
void setSupervisorHostOverride(const TqString& host);
const TqString& supervisorHostOverride();
void setTimeoutOverride(int32_t ms);
int32_t timeoutOverride();
// Gives a client the overrides, as every client operation does before its request.
void applyOverrides(Client& client);

}  // namespace tq
