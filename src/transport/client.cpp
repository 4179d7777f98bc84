#include "transport/client.h"

#include "config/defaults.h"
#include "config/identity.h"
#include "config/logging.h"
#include "job/message_tags.h"
#include "platform/file_system.h"
#include "platform/random.h"
#include "platform/sleep.h"
#include "records/byte_buffer.h"
#include "transport/comm.h"

namespace tq {
namespace {

void logFailure(const char* what, const TqString& host, const Error& error) {
  LogLock lock;
  logSink() << "ERROR: " << what << host << " - " << error.text() << ".\n";
}

void logError(const Error& error) {
  LogLock lock;
  logSink() << "ERROR: " << error.text() << ".\n";
}

bool hostKnown(const HostNameList& list, const TqString& host) {
  for (int32_t i = 0; i < list.count(); ++i)
    if (list[i].host == host) return true;
  return false;
}

HostName hostEntry(const TqString& host, int32_t id) {
  HostName entry;
  entry.host = host;
  entry.port = 0;
  entry.id = id;
  return entry;
}

// The first field of a record's binary form when it is a string (a redirection's host name).
TqString firstStringField(Object& record) {
  int32_t n = record.encode();
  const uint8_t* p = record.buffer();
  if (n < 12) return TqString();
  int kind = readInt16(p + 6);
  if (kind != kStringKind) return TqString();
  int32_t length = readInt32(p + 8);
  if (length < 0 || length > n - 12) return TqString();
  return TqString(reinterpret_cast<const char*>(p + 12), length);
}

// "127.0.0.1 port 50001": where an exchange tried to go, for the user.
TqString peerText(const TqString& host, int32_t port) {
  TqString text(host.printable());
  text.append(" port ");
  text.append(TqString(port));
  return text;
}

// A host name or dotted quad a redirection may send us to: 1 to 255 bytes of letters, digits,
// '.', '-' and '_', not starting with '.' or '-'.
bool usableHostName(const TqString& host) {
  if (host.empty() || host.length() > 255) return false;
  if (host.at(0) == '.' || host.at(0) == '-') return false;
  for (char c : host.view()) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

int32_t idOfContent(const Object* content) {
  if (!content) return -1;
  if (content->classId() == Domain::kClassId) return static_cast<const Domain*>(content)->id;
  if (content->classId() == HostName::kClassId) return static_cast<const HostName*>(content)->id;
  return -1;
}

struct Overrides {
  TqString supervisor_host;
  int32_t timeout = 0;
};

Overrides& overrides() {
  static Overrides o;
  return o;
}

}  // namespace

Client::Client()
    : config_(std::make_unique<ClientConfig>()), supervisors_(config_->supervisors()) {}

void Client::stamp(Message& message) const {
  message.user = userName();
  message.domain = clientDomain(*config_);
  message.mac_address = macAddress();
  message.kerv_domain = config_->domain();
  message.kerv_region = config_->region();
}

void Client::failurePause(int32_t seconds_range) {
  int32_t seconds = 1 + static_cast<int32_t>(int64_t{platform::randomNumber()} * seconds_range /
                                             (platform::kRandomMax + 1));
  platform::sleepMilliseconds(seconds * 1000);
}

bool Client::exchange(const TqString& host, int32_t port, Message& request, Message& reply) {
  return exchangeWaiting(host, port, request, reply, timeout_);
}

void Client::failWith(const Error& error, const TqString& host, int32_t port) {
  copyError(error);
  error_.setValue("PEER", peerText(host, port));
}

bool Client::exchangeWaiting(const TqString& host, int32_t port, Message& request, Message& reply,
                             int32_t reply_timeout) {
  rejected_ = false;
  if (host.empty()) return false;
  last_host_ = host;
  // The connection may take the client's whole time-out; the answer has reply_timeout.
  Comm comm(host, port, Comm::kTcp, timeout_);
  comm.setTimeout(reply_timeout);
  if (!comm.isActive()) {
    LogLock lock;
    logSink() << "ERROR: unable to establish " << comm.typeName() << " connection with " << host
              << " - " << comm.error().text() << ".\n";
    failWith(comm.error(), host, port);
    return false;
  }
  stamp(request);
  int32_t n = request.encode();
  if (n <= 0) comm.error().setCode(kCompressFailed);
  if (n <= 0 || comm.send(request.buffer(), n) <= 0) {
    logFailure("unable to transmit to ", host, comm.error());
    failWith(comm.error(), host, port);
    return false;
  }
  int32_t length = 0;
  std::unique_ptr<uint8_t[]> body = comm.receive(length);
  if (!body) {
    logFailure("unable to receive from ", host, comm.error());
    failWith(comm.error(), host, port);
    return false;
  }
  reply = Message();
  reply.decode(body.get(), length);
  reply.sender = comm.peerAddress();
  body.reset();
  comm.close();
  if (reply.tag == kTagNoAnswer) {
    Error blank(kEmptyAnswer);
    blank.setValue("HOST", host);
    failWith(blank, host, port);
    failurePause(10);
    return false;
  }
  if (reply.tag == kTagBusy) {
    {
      LogLock lock;
      logSink() << "ERROR: max connections reached for " << host << " - connection rejected.\n";
    }
    rejected_ = true;
    Error busy(kSupervisorBusy);
    busy.setValue("HOST", host);
    failWith(busy, host, port);
    failurePause(10);
    return false;
  }
  return true;
}

bool Client::redirect(int32_t port, Message& request, Message& reply) {
  Object* content = reply.content();
  if (!content || content->classId() != reply.content_type) return false;
  TqString host = firstStringField(*content);
  // A host_name record may also name the port to use.
  if (content->classId() == HostName::kClassId) {
    int32_t named = static_cast<HostName*>(content)->port;
    if (named > 0 && named < 65536) port = named;
  }
  if (!usableHostName(host)) {
    logLine("ERROR: ignoring a redirection to an unusable host name.");
    return false;
  }
  return exchange(host, port, request, reply);
}

bool Client::findAndRequest(int32_t port, Message& request, Message& reply) {
  if (!supervisor_host_.empty()) return exchange(supervisor_host_, port, request, reply);
  int32_t count = supervisors_.count();
  if (count > 0) {
    int32_t index = static_cast<int32_t>(int64_t{platform::randomNumber()} * count /
                                         (platform::kRandomMax + 1));
    for (int32_t visited = 0; visited < count; ++visited, index = (index + 1) % count) {
      HostName entry = supervisors_[index];
      if (!exchange(entry.host, entry.port != 0 ? entry.port : port, request, reply)) continue;
      return reply.tag == kTagRedirect ? redirect(port, request, reply) : true;
    }
  }
  TqString cached = readSupervisorCache();
  if (!cached.empty() && exchange(cached, port, request, reply))
    return reply.tag == kTagRedirect ? redirect(port, request, reply) : true;
  if (config_->domain().empty()) {
    // Nothing was tried that could have failed by itself: say what the user can change.
    if (count == 0 && cached.empty()) {
      error_ = Error(kNoSupervisorFound);
      error_.setValue("ERROR", TqString(platform::nativePath(defaultText(301).view())) +
                                   " sets neither supervisor_host nor supervisor_domain");
    }
    return false;
  }
  TqString address;
  if (!discoverAndCache(port, address)) {
    Error none(kNoSupervisorFound);
    TqString why("no supervisor of the domain \"");
    why.append(config_->domain().printable());
    why.append("\" answered on udp port ");
    why.append(TqString(port));
    why.append(" (");
    why.append(error_.text());
    why.append(")");
    none.setValue("ERROR", why);
    error_ = std::move(none);
    return false;
  }
  if (!exchange(address, port, request, reply)) return false;
  return reply.tag == kTagRedirect ? redirect(port, request, reply) : true;
}

bool Client::discoverAndCache(int32_t port, TqString& address_text) {
  Message query(kTagDiscover);
  query.kerv_domain = config_->domain();
  query.kerv_region = config_->region();
  auto domain = std::make_unique<Domain>();
  domain->name = config_->domain();
  domain->region = config_->region();
  domain->id = -1;
  query.setContent(std::move(domain));
  Message answer;
  if (!discover(port, query, answer)) return false;
  address_text = answer.sender.toText();
  if (!hostKnown(supervisors_, address_text)) supervisors_.append(hostEntry(address_text, -1));
  writeSupervisorCache(address_text);
  return true;
}

bool Client::request(Message& request, Message& reply) {
  return findAndRequest(config_->supervisorPort(), request, reply);
}

bool Client::requestSub(Message& request, Message& reply) {
  return findAndRequest(config_->supervisorSubPort(), request, reply);
}

bool Client::requestVia(const TqString& host, Message& request, Message& reply) {
  return exchange(host, config_->supervisorPort(), request, reply) || this->request(request, reply);
}

bool Client::requestSubVia(const TqString& host, Message& request, Message& reply) {
  return exchange(host, config_->supervisorSubPort(), request, reply) || requestSub(request, reply);
}

bool Client::requestWorker(const TqString& host, Message& request, Message& reply) {
  return exchange(host, config_->workerPort(), request, reply);
}

bool Client::discover(int32_t port, Message& query, Message& reply) {
  rejected_ = false;
  Comm comm(TqString(), port, Comm::kUdp);
  comm.setTimeout(5000);
  stamp(query);
  int32_t n = query.encode();
  std::unique_ptr<uint8_t[]> body;
  int32_t length = 0;
  for (int attempt = 0; attempt < 6 && !body; ++attempt) {
    if (comm.send(query.buffer(), n) <= 0) {
      logError(comm.error());
      copyError(comm.error());
      return false;
    }
    body = comm.receive(length);
  }
  if (!body) {
    logError(comm.error());
    copyError(comm.error());
    return false;
  }
  reply = Message();
  reply.decode(body.get(), length);
  reply.sender = comm.peerAddress();
  comm.close();
  if (reply.tag == kTagNoAnswer) {
    failurePause(20);
    return false;
  }
  if (reply.tag == kTagBusy) {
    logLine("ERROR: max connections reached.");
    copyError(comm.error());
    rejected_ = true;
    failurePause(10);
    return false;
  }
  return true;
}

bool Client::collectReplies(int32_t port, Message& query,
                            std::vector<std::unique_ptr<Message>>& replies) {
  rejected_ = false;
  Comm comm(TqString(), port, Comm::kUdp);
  comm.setTimeout(5000);
  stamp(query);
  int32_t n = query.encode();
  size_t before = replies.size();
  for (int attempt = 0; attempt < 6; ++attempt) {
    if (comm.send(query.buffer(), n) <= 0) {
      logError(comm.error());
      copyError(comm.error());
      return false;
    }
    bool received = false;
    int32_t length = 0;
    while (std::unique_ptr<uint8_t[]> body = comm.receive(length)) {
      received = true;
      auto reply = std::make_unique<Message>();
      reply->decode(body.get(), length);
      reply->sender = comm.peerAddress();
      if (reply->tag != kTagNoAnswer && reply->tag != kTagBusy) replies.push_back(std::move(reply));
    }
    if (received) break;
  }
  if (replies.size() > before) return true;
  logError(comm.error());
  copyError(comm.error());
  return false;
}

bool Client::discoverSupervisors(HostNameList& list, bool force) {
  if (!supervisors_.empty() && !force) {
    for (int32_t i = 0; i < supervisors_.count(); ++i) list.append(supervisors_[i]);
    return true;
  }
  int32_t port = config_->supervisorPort();
  Comm comm(TqString(), port, Comm::kUdp);
  comm.setTimeout(50);
  Message query(kTagDiscover);
  auto domain = std::make_unique<Domain>();
  domain->name = config_->domain();
  domain->region = config_->region();
  domain->id = -1;
  query.setContent(std::move(domain));
  stamp(query);
  int32_t n = query.encode();
  for (int round = 0; round < 100; ++round) {
    for (int32_t target = -1; target < supervisors_.count(); ++target) {
      comm.setHost(target < 0 ? TqString() : supervisors_[target].host);
      comm.setPort(port);
      if (comm.send(query.buffer(), n) <= 0) {
        logError(comm.error());
        copyError(comm.error());
        return false;
      }
    }
    int32_t length = 0;
    std::unique_ptr<uint8_t[]> body = comm.receive(length);
    if (!body) continue;
    Message reply;
    reply.decode(body.get(), length);
    if (!reply.content() || reply.content()->classId() != reply.content_type) continue;
    TqString sender = comm.peerAddress().toText();
    if (!hostKnown(list, sender)) list.append(hostEntry(sender, idOfContent(reply.content())));
  }
  return true;
}

bool Client::notify(const TqString& host, int32_t port, Message& message) {
  Comm comm(host, port, Comm::kTcp, timeout_);
  comm.setTimeout(timeout_);
  stamp(message);
  int32_t n = message.encode();
  int32_t sent = comm.send(message.buffer(), n);
  copyError(comm.error());
  return sent > 0;
}

bool Client::notifyUdp(const TqString& host, int32_t port, Message& message) {
  Comm comm(host, port, Comm::kUdp);
  comm.setTimeout(timeout_);
  stamp(message);
  int32_t n = message.encode();
  int32_t sent = comm.send(message.buffer(), n);
  copyError(comm.error());
  return sent > 0;
}

bool Client::broadcast(int32_t port, Message& message) {
  return notifyUdp(TqString(), port, message);
}

bool Client::notifyFound(int32_t port, Message& message, bool tcp) {
  auto deliver = [&](const TqString& host, int32_t to_port) {
    return tcp ? notify(host, to_port, message) : notifyUdp(host, to_port, message);
  };
  if (!supervisor_host_.empty()) {
    if (deliver(supervisor_host_, port)) return true;
  } else {
    int32_t count = supervisors_.count();
    if (count > 0) {
      int32_t index = static_cast<int32_t>(int64_t{platform::randomNumber()} * count /
                                           (platform::kRandomMax + 1));
      for (int32_t visited = 0; visited < count; ++visited, index = (index + 1) % count) {
        HostName entry = supervisors_[index];
        if (deliver(entry.host, entry.port != 0 ? entry.port : port)) return true;
      }
    }
  }
  if (supervisor_host_.empty()) {
    TqString cached = readSupervisorCache();
    if (!cached.empty() && deliver(cached, port)) return true;
    TqString address;
    if (!config_->domain().empty() && discoverAndCache(port, address))
      return deliver(address, port);
  }
  return false;
}

bool Client::notifySupervisor(Message& message) {
  return notifyFound(config_->supervisorPort(), message, false);
}

bool Client::notifySupervisorSub(Message& message) {
  return notifyFound(config_->supervisorSubPort(), message, false);
}

bool Client::notifySupervisorTcp(Message& message) {
  return notifyFound(config_->supervisorPort(), message, true);
}

bool Client::requestAll(Message& request, Message& reply) {
  if (supervisors_.empty()) return false;
  for (int32_t i = 0; i < supervisors_.count(); ++i) {
    HostName entry = supervisors_[i];
    exchangeWaiting(entry.host, entry.port != 0 ? entry.port : config_->supervisorPort(), request,
                    reply, kRequestAllReplyTimeout);
  }
  return true;
}

void setSupervisorHostOverride(const TqString& host) { overrides().supervisor_host = host; }
const TqString& supervisorHostOverride() { return overrides().supervisor_host; }
void setTimeoutOverride(int32_t ms) { overrides().timeout = ms; }
int32_t timeoutOverride() { return overrides().timeout; }

void applyOverrides(Client& client) {
  if (!supervisorHostOverride().empty()) client.setSupervisorHost(supervisorHostOverride());
  client.setTimeout(timeoutOverride() >= 1 ? timeoutOverride() : client.config().timeout());
}

}  // namespace tq
