// Child processes for the JTAG simulation's tests (OpenOCD, the tavix command line): started
// with their output collected, never waited for beyond a limit, killed when they overstay.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace tavix::jtagsim::testing {

class TChildProcess {
 public:
  // Starts `argv[0]` (a path) with stdout and stderr going to one pipe.
  explicit TChildProcess(const std::vector<std::string>& argv) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    FPid = ::fork();
    if (FPid == 0) {
      ::dup2(fds[1], 1);
      ::dup2(fds[1], 2);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    FOutput = fds[0];
  }
  ~TChildProcess() {
    if (FPid > 0 && !FReaped) {
      ::kill(FPid, SIGKILL);
      ::waitpid(FPid, nullptr, 0);
    }
    if (FOutput >= 0) ::close(FOutput);
  }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  bool Started() const { return FPid > 0; }
  const std::string& Output() const { return FText; }
  void Signal(int signal) {
    if (FPid > 0 && !FReaped) ::kill(FPid, signal);
  }

  // Reads output until `text` appears, the output ends or the limit passes; true when found.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (FText.find(text) == std::string::npos) {
      if (!ReadSome(deadline)) return FText.find(text) != std::string::npos;
    }
    return true;
  }

  // Collects the rest of the output and the exit code; kills the child at the limit.
  // Answers the exit code, or -1 when it was killed or did not exit normally.
  int Finish(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ReadSome(deadline)) {
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      FTimedOut = true;
      ::kill(FPid, SIGKILL);
    }
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FReaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool TimedOut() const { return FTimedOut; }

 private:
  // False at the end of the output or at the deadline.
  bool ReadSome(std::chrono::steady_clock::time_point deadline) {
    if (FOutput < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{FOutput, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return std::chrono::steady_clock::now() < deadline;
    char buffer[4096];
    const ssize_t n = ::read(FOutput, buffer, sizeof buffer);
    if (n <= 0) return false;
    FText.append(buffer, static_cast<size_t>(n));
    return true;
  }

  pid_t FPid = -1;
  int FOutput = -1;
  std::string FText;
  bool FReaped = false;
  bool FTimedOut = false;
};

constexpr const char* kOpenOcd = "/usr/bin/openocd";

}  // namespace tavix::jtagsim::testing
