#include <winsock2.h>
// After winsock2.h, which must come first.
#include <windows.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/socket.h"

namespace tq::platform {
namespace {

thread_local int last_error = 0;

void record() { last_error = WSAGetLastError(); }

SOCKET handle(SocketHandle socket) { return static_cast<SOCKET>(socket); }

SocketHandle opened(SOCKET socket) {
  if (socket == INVALID_SOCKET) {
    record();
    return kNoSocket;
  }
  return static_cast<SocketHandle>(socket);
}

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

void setNoDelay(SOCKET s) {
  BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof(on));
}

// select() over at most FD_SETSIZE sockets (Winsock's sets count sockets, not numbers).
int selectOn(fd_set* read_set, fd_set* write_set, int32_t ms) {
  timeval limit{};
  if (ms > 0) {
    limit.tv_sec = ms / 1000;
    limit.tv_usec = (ms % 1000) * 1000;
  }
  int n = select(0, read_set, write_set, nullptr, &limit);
  if (n == SOCKET_ERROR) {
    record();
    return -1;
  }
  return n;
}

}  // namespace

bool startSockets() {
  static bool started = false;
  if (started) return true;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  if (data.wVersion != MAKEWORD(2, 2)) {
    WSACleanup();
    return false;
  }
  // The protocol numbers are looked up once, as the library always has; the calls below pass
  // the well-known values (17 and 6) whatever the lookup says.
  getprotobyname("udp");
  getprotobyname("tcp");
  started = true;
  return true;
}

std::string socketErrorText() {
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(last_error), 0, buffer, sizeof(buffer), nullptr);
  std::string text = n > 0 ? std::string(buffer, n) : "socket error " + std::to_string(last_error);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

bool socketErrorInterrupted() { return last_error == WSAEINTR; }

SocketHandle openStreamSocket() {
  startSockets();
  return opened(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

SocketHandle openDatagramSocket() {
  startSockets();
  return opened(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
}

bool closeSocket(SocketHandle socket) {
  if (closesocket(handle(socket)) == 0) return true;
  record();
  return false;
}

bool connectSocket(SocketHandle socket, Endpoint to, int32_t timeout_ms) {
  SOCKET s = handle(socket);
  sockaddr_in address = toSockaddr(to);
  u_long on = 1, off = 0;
  bool bounded = timeout_ms > 0 && ioctlsocket(s, FIONBIO, &on) == 0;
  int result = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (result != 0) record();
  if (result != 0 && bounded && last_error == WSAEWOULDBLOCK) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int n = select(0, nullptr, &writable, &failed, &limit);
    if (n == 0) {
      last_error = WSAETIMEDOUT;
    } else if (n > 0) {
      int error = 0;
      int length = sizeof(error);
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
      if (FD_ISSET(s, &writable) && error == 0) {
        result = 0;
      } else {
        last_error = error != 0 ? error : WSAECONNREFUSED;
      }
    } else {
      record();
    }
  }
  if (bounded) ioctlsocket(s, FIONBIO, &off);
  if (result != 0) return false;
  setNoDelay(s);
  return true;
}

bool bindSocket(SocketHandle socket, Endpoint local) {
  sockaddr_in address = toSockaddr(local);
  if (bind(handle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
    return true;
  record();
  return false;
}

bool listenSocket(SocketHandle socket, int backlog) {
  if (listen(handle(socket), backlog) == 0) return true;
  record();
  return false;
}

SocketHandle acceptSocket(SocketHandle socket, Endpoint& peer) {
  sockaddr_in address{};
  int length = sizeof(address);
  SOCKET accepted = accept(handle(socket), reinterpret_cast<sockaddr*>(&address), &length);
  if (accepted == INVALID_SOCKET) {
    record();
    return kNoSocket;
  }
  peer = fromSockaddr(address);
  setNoDelay(accepted);
  return static_cast<SocketHandle>(accepted);
}

bool localEndpoint(SocketHandle socket, Endpoint& local) {
  sockaddr_in address{};
  int length = sizeof(address);
  if (getsockname(handle(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    record();
    return false;
  }
  local = fromSockaddr(address);
  return true;
}

bool enableBroadcast(SocketHandle socket) {
  BOOL on = TRUE;
  if (setsockopt(handle(socket), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                 sizeof(on)) == 0)
    return true;
  record();
  return false;
}

bool joinMulticastGroup(SocketHandle socket, uint32_t group, uint32_t interface_address) {
  ip_mreq request{};
  request.imr_multiaddr.s_addr = htonl(group);
  request.imr_interface.s_addr = htonl(interface_address);
  DWORD loop = 1;
  if (setsockopt(handle(socket), IPPROTO_IP, IP_ADD_MEMBERSHIP,
                 reinterpret_cast<const char*>(&request), sizeof(request)) == 0 &&
      setsockopt(handle(socket), IPPROTO_IP, IP_MULTICAST_LOOP,
                 reinterpret_cast<const char*>(&loop), sizeof(loop)) == 0)
    return true;
  record();
  return false;
}

int32_t sendSome(SocketHandle socket, const uint8_t* bytes, int32_t n) {
  int sent = send(handle(socket), reinterpret_cast<const char*>(bytes), n, 0);
  if (sent == SOCKET_ERROR) {
    record();
    return -1;
  }
  return sent;
}

int32_t receiveSome(SocketHandle socket, uint8_t* bytes, int32_t n) {
  int got = recv(handle(socket), reinterpret_cast<char*>(bytes), n, 0);
  if (got == SOCKET_ERROR) {
    record();
    return -1;
  }
  return got;
}

// Winsock has no per-call non-blocking flag: a zero-time select says whether the call would
// block.
int32_t sendAvailable(SocketHandle socket, const uint8_t* bytes, int32_t n) {
  if (waitSocket(socket, 0, WaitFor::kWrite) != 1) return kWouldBlock;
  return sendSome(socket, bytes, n);
}

int32_t receiveAvailable(SocketHandle socket, uint8_t* bytes, int32_t n) {
  if (waitSocket(socket, 0, WaitFor::kRead) != 1) return kWouldBlock;
  return receiveSome(socket, bytes, n);
}

int32_t sendDatagram(SocketHandle socket, const uint8_t* bytes, int32_t n, Endpoint to) {
  sockaddr_in address = toSockaddr(to);
  int sent = sendto(handle(socket), reinterpret_cast<const char*>(bytes), n, 0,
                    reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (sent == SOCKET_ERROR) {
    record();
    return -1;
  }
  return sent;
}

int32_t receiveDatagram(SocketHandle socket, uint8_t* bytes, int32_t capacity, Endpoint& from) {
  sockaddr_in address{};
  int length = sizeof(address);
  int got = recvfrom(handle(socket), reinterpret_cast<char*>(bytes), capacity, 0,
                     reinterpret_cast<sockaddr*>(&address), &length);
  if (got == SOCKET_ERROR) {
    record();
    return -1;
  }
  from = fromSockaddr(address);
  return got;
}

int waitSocket(SocketHandle socket, int32_t ms, WaitFor what) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(handle(socket), &set);
  int n = what == WaitFor::kRead ? selectOn(&set, nullptr, ms) : selectOn(nullptr, &set, ms);
  return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

int waitReadable(const std::vector<SocketHandle>& sockets, int32_t ms, std::vector<bool>& ready) {
  ready.assign(sockets.size(), false);
  fd_set set;
  FD_ZERO(&set);
  size_t count = sockets.size() < FD_SETSIZE ? sockets.size() : FD_SETSIZE;
  for (size_t i = 0; i < count; ++i) FD_SET(handle(sockets[i]), &set);
  int n = selectOn(&set, nullptr, ms);
  if (n <= 0) return n;
  for (size_t i = 0; i < count; ++i) ready[i] = FD_ISSET(handle(sockets[i]), &set) != 0;
  return n;
}

std::optional<uint32_t> resolveHostName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  startSockets();
  hostent* host = gethostbyname(name.c_str());
  if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
    return std::nullopt;
  uint32_t network;
  std::memcpy(&network, host->h_addr_list[0], sizeof(network));
  return ntohl(network);
}

std::string socketHostName() {
  startSockets();
  char buffer[257];
  if (gethostname(buffer, 256) != 0) return std::string();
  buffer[256] = '\0';
  return buffer;
}

}  // namespace tq::platform
