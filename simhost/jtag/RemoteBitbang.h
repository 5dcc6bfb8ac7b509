// Serves a simulated chain on a loopback TCP port with OpenOCD's remote_bitbang protocol, so
// that OpenOCD (adapter driver remote_bitbang) or any other peer of that protocol can drive it.
//
// The protocol is one ASCII character per command:
//   '0'..'7'  write TCK, TMS, TDI (bits 2, 1, 0 of the digit)
//   'R'       read TDO: the server answers '0' or '1'
//   'r'..'u'  reset lines: bit 1 of (c - 'r') asserts TRST, bit 0 SRST (SRST does nothing here)
//   'B' 'b'   blink the activity light on or off
//   'Q'       quit: the server closes the connection and waits for the next peer
// Newlines are ignored, as are the sleep ('Z' 'z') and SWD drive ('O' 'o', 'd'..'g') commands;
// the SWD read 'c' answers '0' so that a peer never waits for nothing. Answers are sent after
// each received block, which keeps the peer's pipelined reads flowing.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "simhost/jtag/SimChain.h"

namespace tavix::jtagsim {

class TRemoteBitbangServer {
 public:
  explicit TRemoteBitbangServer(TSimChain& chain);
  ~TRemoteBitbangServer();
  TRemoteBitbangServer(const TRemoteBitbangServer&) = delete;
  TRemoteBitbangServer& operator=(const TRemoteBitbangServer&) = delete;

  // Listens on 127.0.0.1 at `port` (0: the system picks a free one) and returns the port
  // bound. Throws std::runtime_error when the port cannot be bound.
  uint16_t Listen(uint16_t port = 0);
  uint16_t Port() const { return FPort; }

  // Serves peers one after another on the calling thread until Stop.
  void Run();
  // Serves on a thread of its own until Stop or destruction.
  void Start();
  // Ends serving from any thread (also from a signal handler: it only writes to a pipe).
  void Stop();

  // Holds the chain against the serving thread while a caller inspects or drives it.
  std::unique_lock<std::mutex> LockChain() { return std::unique_lock<std::mutex>(FChainLock); }

  bool Blink() const { return FBlink.load(); }
  uint64_t PeersServed() const { return FPeers.load(); }

  // Executes protocol characters against the chain and appends the answers; returns false
  // when a 'Q' ends the session (characters after it are not executed). Used by the server
  // for each received block; public so the protocol can be exercised without a socket.
  bool Execute(const char* data, size_t size, std::string& answers);

 private:
  void ServePeer(int fd);
  bool WaitReadable(int fd);  // false when stopped

  TSimChain& FChain;
  std::mutex FChainLock;
  int FListenFd = -1;
  int FWakeRead = -1;
  int FWakeWrite = -1;
  uint16_t FPort = 0;
  std::atomic<bool> FStopped{false};
  std::atomic<bool> FBlink{false};
  std::atomic<uint64_t> FPeers{0};
  std::thread FThread;
};

}  // namespace tavix::jtagsim
