#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/socket.h"

namespace tq::platform {
namespace {

struct LastError {
  int number = 0;
};

thread_local LastError last_error;

void record() { last_error.number = errno; }

int fd(SocketHandle socket) { return static_cast<int>(socket); }

sockaddr_in toSockaddr(Endpoint endpoint) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_addr.s_addr = htonl(endpoint.address);
  in.sin_port = htons(endpoint.port);
  return in;
}

Endpoint fromSockaddr(const sockaddr_in& in) {
  return Endpoint{ntohl(in.sin_addr.s_addr), ntohs(in.sin_port)};
}

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

SocketHandle opened(int socket) {
  if (socket < 0) {
    record();
    return kNoSocket;
  }
#ifdef SO_NOSIGPIPE
  int on = 1;
  ::setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof(on));
#endif
  return socket;
}

// poll() with EINTR retried over the time that is left.
int pollFor(pollfd* fds, nfds_t count, int32_t ms) {
  for (;;) {
    int n = ::poll(fds, count, ms < 0 ? 0 : ms);
    if (n >= 0 || errno != EINTR) {
      if (n < 0) record();
      return n;
    }
  }
}

}  // namespace

bool startSockets() { return true; }

std::string socketErrorText() { return std::strerror(last_error.number); }
bool socketErrorInterrupted() { return last_error.number == EINTR; }

SocketHandle openStreamSocket() { return opened(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)); }
SocketHandle openDatagramSocket() { return opened(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)); }

bool closeSocket(SocketHandle socket) {
  if (::close(fd(socket)) == 0) return true;
  record();
  return false;
}

bool connectSocket(SocketHandle socket, Endpoint to, int32_t timeout_ms) {
  sockaddr_in address = toSockaddr(to);
  int s = fd(socket);
  int flags = ::fcntl(s, F_GETFL, 0);
  bool bounded = timeout_ms > 0 && flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
  int result = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (result != 0 && bounded && (errno == EINPROGRESS || errno == EINTR)) {
    pollfd p{s, POLLOUT, 0};
    int n = pollFor(&p, 1, timeout_ms);
    if (n == 0) {
      errno = ETIMEDOUT;
    } else if (n > 0) {
      int error = 0;
      socklen_t length = sizeof(error);
      if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0) {
        result = error == 0 ? 0 : -1;
        errno = error;
      }
    }
  }
  if (result != 0) record();
  if (bounded) ::fcntl(s, F_SETFL, flags);
  if (result != 0) return false;
  int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  return true;
}

bool bindSocket(SocketHandle socket, Endpoint local) {
  int type = 0;
  socklen_t length = sizeof(type);
  if (::getsockopt(fd(socket), SOL_SOCKET, SO_TYPE, &type, &length) == 0 && type == SOCK_STREAM) {
    int on = 1;
    ::setsockopt(fd(socket), SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  }
  sockaddr_in address = toSockaddr(local);
  if (::bind(fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
    return true;
  record();
  return false;
}

bool listenSocket(SocketHandle socket, int backlog) {
  if (::listen(fd(socket), backlog) == 0) return true;
  record();
  return false;
}

SocketHandle acceptSocket(SocketHandle socket, Endpoint& peer) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  int accepted;
  do {
    accepted = ::accept(fd(socket), reinterpret_cast<sockaddr*>(&address), &length);
  } while (accepted < 0 && errno == EINTR);
  if (accepted < 0) {
    record();
    return kNoSocket;
  }
  peer = fromSockaddr(address);
  int on = 1;
  ::setsockopt(accepted, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  return opened(accepted);
}

bool localEndpoint(SocketHandle socket, Endpoint& local) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  if (::getsockname(fd(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    record();
    return false;
  }
  local = fromSockaddr(address);
  return true;
}

bool enableBroadcast(SocketHandle socket) {
  int on = 1;
  if (::setsockopt(fd(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) == 0) return true;
  record();
  return false;
}

bool joinMulticastGroup(SocketHandle socket, uint32_t group, uint32_t interface_address) {
  ip_mreq request{};
  request.imr_multiaddr.s_addr = htonl(group);
  request.imr_interface.s_addr = htonl(interface_address);
  unsigned char loop = 1;
  if (::setsockopt(fd(socket), IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof(request)) == 0 &&
      ::setsockopt(fd(socket), IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof(loop)) == 0)
    return true;
  record();
  return false;
}

int32_t sendSome(SocketHandle socket, const uint8_t* bytes, int32_t n) {
  ssize_t sent;
  do {
    sent = ::send(fd(socket), bytes, static_cast<size_t>(n), kSendFlags);
  } while (sent < 0 && errno == EINTR);
  if (sent < 0) record();
  return static_cast<int32_t>(sent);
}

int32_t receiveSome(SocketHandle socket, uint8_t* bytes, int32_t n) {
  ssize_t got;
  do {
    got = ::recv(fd(socket), bytes, static_cast<size_t>(n), 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) record();
  return static_cast<int32_t>(got);
}

int32_t sendAvailable(SocketHandle socket, const uint8_t* bytes, int32_t n) {
  ssize_t sent;
  do {
    sent = ::send(fd(socket), bytes, static_cast<size_t>(n), kSendFlags | MSG_DONTWAIT);
  } while (sent < 0 && errno == EINTR);
  if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kWouldBlock;
  if (sent < 0) record();
  return static_cast<int32_t>(sent);
}

int32_t receiveAvailable(SocketHandle socket, uint8_t* bytes, int32_t n) {
  ssize_t got;
  do {
    got = ::recv(fd(socket), bytes, static_cast<size_t>(n), MSG_DONTWAIT);
  } while (got < 0 && errno == EINTR);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kWouldBlock;
  if (got < 0) record();
  return static_cast<int32_t>(got);
}

int32_t sendDatagram(SocketHandle socket, const uint8_t* bytes, int32_t n, Endpoint to) {
  sockaddr_in address = toSockaddr(to);
  ssize_t sent;
  do {
    sent = ::sendto(fd(socket), bytes, static_cast<size_t>(n), kSendFlags,
                    reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  } while (sent < 0 && errno == EINTR);
  if (sent < 0) record();
  return static_cast<int32_t>(sent);
}

int32_t receiveDatagram(SocketHandle socket, uint8_t* bytes, int32_t capacity, Endpoint& from) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  ssize_t got;
  do {
    got = ::recvfrom(fd(socket), bytes, static_cast<size_t>(capacity), 0,
                     reinterpret_cast<sockaddr*>(&address), &length);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    record();
    return -1;
  }
  from = fromSockaddr(address);
  return static_cast<int32_t>(got);
}

int waitSocket(SocketHandle socket, int32_t ms, WaitFor what) {
  pollfd p{fd(socket), static_cast<short>(what == WaitFor::kRead ? POLLIN : POLLOUT), 0};
  int n = pollFor(&p, 1, ms);
  return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

int waitReadable(const std::vector<SocketHandle>& sockets, int32_t ms, std::vector<bool>& ready) {
  std::vector<pollfd> fds(sockets.size());
  for (size_t i = 0; i < sockets.size(); ++i) fds[i] = pollfd{fd(sockets[i]), POLLIN, 0};
  ready.assign(sockets.size(), false);
  int n = ::poll(fds.data(), static_cast<nfds_t>(fds.size()), ms < 0 ? 0 : ms);
  if (n < 0) {
    record();
    return -1;
  }
  for (size_t i = 0; i < fds.size(); ++i) ready[i] = fds[i].revents != 0;
  return n;
}

std::optional<uint32_t> resolveHostName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
  uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return address;
}

std::string socketHostName() {
  char buffer[257];
  if (::gethostname(buffer, 256) != 0) return std::string();
  buffer[256] = '\0';
  return buffer;
}

}  // namespace tq::platform
