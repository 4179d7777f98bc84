// IPv4 sockets in plain types: what the transport's comms, listeners and the message server are
// built on.
//
// Windows uses Winsock 2 (started once, version 2.2, by startSockets()); POSIX systems use BSD
// sockets, with poll() for every wait so that no socket number is too large to wait on. Every
// call that fails records the system's reason for the calling thread: socketErrorText() gives it
// ("Connection refused"), as errno's strerror text on POSIX and the system message of
// WSAGetLastError() on Windows.
//
// Addresses and ports are in host order. Sending never raises SIGPIPE: a peer that has gone away
// is an ordinary send failure.
//
// The broadcast seam: broadcastAddress() is 255.255.255.255 unless the environment variable
// TQBROADCAST holds a dotted quad, which then takes its place. Tests point it at a loopback
// address, so that no test ever broadcasts on a real network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq::platform {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

inline constexpr const char* kBroadcastVariable = "TQBROADCAST";
inline constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

struct Endpoint {
  uint32_t address = 0;  // host order; 0 is any local address
  uint16_t port = 0;     // host order; 0 is any free port when binding
};

// Starts the socket library once per process (Winsock 2.2; nothing to start on POSIX). A start
// that fails, or that finds a version other than 2.2, leaves it unstarted so that a later call
// tries again. True once started.
bool startSockets();

// The reason of the last failed socket call on this thread, and whether it was an interrupted
// call (EINTR) that may simply be retried.
std::string socketErrorText();
bool socketErrorInterrupted();

SocketHandle openStreamSocket();
SocketHandle openDatagramSocket();
bool closeSocket(SocketHandle socket);

// Connects a stream socket, waiting at most timeout_ms (a value below 1 waits as long as the
// system lets it). The socket stays blocking for later reads and writes. Small writes are not
// delayed (TCP_NODELAY): every message is written whole and waits for its answer.
bool connectSocket(SocketHandle socket, Endpoint to, int32_t timeout_ms);
// Binds to a local endpoint. POSIX stream sockets set SO_REUSEADDR first, so that a server can
// take its port back while old connections linger in TIME_WAIT (Windows allows that already).
bool bindSocket(SocketHandle socket, Endpoint local);
bool listenSocket(SocketHandle socket, int backlog);
// A new connected socket (with the caller's endpoint in `peer`), or kNoSocket.
SocketHandle acceptSocket(SocketHandle socket, Endpoint& peer);
bool localEndpoint(SocketHandle socket, Endpoint& local);
bool enableBroadcast(SocketHandle socket);
// Joins a multicast group on an interface (both host order) and enables multicast loopback.
bool joinMulticastGroup(SocketHandle socket, uint32_t group, uint32_t interface_address);

// Stream I/O: the bytes moved, 0 when the peer closed (reading), -1 on failure.
int32_t sendSome(SocketHandle socket, const uint8_t* bytes, int32_t n);
int32_t receiveSome(SocketHandle socket, uint8_t* bytes, int32_t n);
// The same without blocking: kWouldBlock when nothing can be moved at once. A ready socket
// costs one system call instead of a wait and a call.
inline constexpr int32_t kWouldBlock = -2;
int32_t sendAvailable(SocketHandle socket, const uint8_t* bytes, int32_t n);
int32_t receiveAvailable(SocketHandle socket, uint8_t* bytes, int32_t n);
// Datagram I/O: the bytes moved, -1 on failure.
int32_t sendDatagram(SocketHandle socket, const uint8_t* bytes, int32_t n, Endpoint to);
int32_t receiveDatagram(SocketHandle socket, uint8_t* bytes, int32_t capacity, Endpoint& from);

enum class WaitFor { kRead, kWrite };
// Waits up to ms milliseconds (0: just looks) for the socket to be ready: 1 ready, 0 timed
// out, -1 failed.
int waitSocket(SocketHandle socket, int32_t ms, WaitFor what);
// Waits up to ms milliseconds for any of the sockets to be readable: the number ready (ready[i]
// says which), 0 on time-out, -1 on failure.
int waitReadable(const std::vector<SocketHandle>& sockets, int32_t ms, std::vector<bool>& ready);

// The first IPv4 address of a host name (gethostbyname), or nothing.
std::optional<uint32_t> resolveHostName(const std::string& name);
// This host's name as the socket library reports it (at most 256 bytes), or "".
std::string socketHostName();
// 255.255.255.255, or the dotted quad that TQBROADCAST names.
uint32_t broadcastAddress();
// Exactly four groups of one or more decimal digits separated by single '.', each group at most
// 255 (leading zeros allowed: "010.000.000.001" is 10.0.0.1): its value.
std::optional<uint32_t> parseDottedQuad(const std::string& text);

}  // namespace tq::platform
