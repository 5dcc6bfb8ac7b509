#include "simhost/jtag/RemoteBitbang.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tavix::jtagsim {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("remote_bitbang server: " + what + ": " + std::strerror(errno));
}

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TRemoteBitbangServer::TRemoteBitbangServer(TSimChain& chain) : FChain(chain) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("cannot create the wake-up pipe");
  FWakeRead = fds[0];
  FWakeWrite = fds[1];
}

TRemoteBitbangServer::~TRemoteBitbangServer() {
  Stop();
  if (FThread.joinable()) FThread.join();
  if (FListenFd >= 0) ::close(FListenFd);
  ::close(FWakeRead);
  ::close(FWakeWrite);
}

uint16_t TRemoteBitbangServer::Listen(uint16_t port) {
  if (FListenFd >= 0) throw std::logic_error("remote_bitbang server: already listening");
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail("cannot create a socket");
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    Fail("cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  FListenFd = fd;
  FPort = ntohs(address.sin_port);
  return FPort;
}

void TRemoteBitbangServer::Stop() {
  FStopped.store(true);
  const char byte = 'x';
  [[maybe_unused]] const ssize_t n = ::write(FWakeWrite, &byte, 1);
}

void TRemoteBitbangServer::Start() {
  if (FThread.joinable()) throw std::logic_error("remote_bitbang server: already started");
  FThread = std::thread([this] { Run(); });
}

bool TRemoteBitbangServer::WaitReadable(int fd) {
  while (!FStopped.load()) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {FWakeRead, POLLIN, 0}};
    const int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (fds[1].revents != 0) return false;
    if (fds[0].revents != 0) return true;
  }
  return false;
}

void TRemoteBitbangServer::Run() {
  if (FListenFd < 0) throw std::logic_error("remote_bitbang server: Listen first");
  while (WaitReadable(FListenFd)) {
    const int peer = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (peer < 0) continue;
    const int yes = 1;
    ::setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    ++FPeers;
    ServePeer(peer);
    ::close(peer);
  }
}

void TRemoteBitbangServer::ServePeer(int fd) {
  char buffer[4096];
  std::string answers;
  answers.reserve(sizeof buffer);
  while (WaitReadable(fd)) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the peer went away
    answers.clear();
    bool more;
    {
      std::lock_guard<std::mutex> hold(FChainLock);
      more = Execute(buffer, static_cast<size_t>(n), answers);
    }
    if (!answers.empty() && !SendAll(fd, answers)) return;
    if (!more) return;
  }
}

bool TRemoteBitbangServer::Execute(const char* data, size_t size, std::string& answers) {
  for (size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c >= '0' && c <= '7') {
      const int v = c - '0';
      FChain.SetTms((v >> 1) & 1);
      FChain.SetTdi(v & 1);
      FChain.SetTck((v >> 2) & 1);
    } else if (c == 'R') {
      answers.push_back(FChain.GetTdo() ? '1' : '0');
    } else if (c >= 'r' && c <= 'u') {
      const bool trst = ((c - 'r') >> 1) & 1;
      FChain.SetTrst(!trst);
    } else if (c == 'B' || c == 'b') {
      FBlink.store(c == 'B');
    } else if (c == 'c') {
      answers.push_back('0');
    } else if (c == 'Q') {
      return false;
    }
  }
  return true;
}

}  // namespace tavix::jtagsim
