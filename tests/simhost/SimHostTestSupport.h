// Helpers of the stand-in host's tests: a host on the manual clock with its user data in a
// scratch folder, and a host object that records the callbacks the host makes on it.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Opal.Interfaces.h"
#include "simhost/SimHost.h"

namespace tavix::sim::testing {

// A scratch folder removed with everything in it at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> counter{0};
    FPath = std::filesystem::temp_directory_path() /
            ("tavix-simhost-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(FPath);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string Path() const { return FPath.string() + "/"; }

 private:
  std::filesystem::path FPath;
};

// One callback the host made: the DISPID, the first argument as a number (timer id) or, for a
// notification, what the notification object answered; and the host time.
struct Callback {
  DISPID Id;
  int64_t Number = 0;
  int32_t Code = 0;
  std::string Category;
  uint64_t Time = 0;
};

// A timer or notification handler as a plug-in would register it.
class RecordingHandler : public HostObject {
 public:
  explicit RecordingHandler(SimHost& host) : FHost(host) {}
  std::vector<Callback> Calls;
  std::function<void(const Callback&)> OnCall;  // runs inside the callback

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT*) override {
    Callback call{id};
    call.Time = FHost.Now();
    if (id == 267) {
      call.Number = args.Int64(0);
    } else if (id == 266) {
      const INotification notification(args.Object(0));
      call.Code = notification.GetCode();
      call.Category = notification.GetCategory();
    } else {
      return false;
    }
    Calls.push_back(call);
    if (OnCall) OnCall(call);
    return true;
  }

 private:
  SimHost& FHost;
};

// A host on the manual clock; the tests reach it through the entry points, as a module does.
class SimHostTest : public ::testing::Test {
 protected:
  SimHostTest() : Host(SimHostOptions{.DataFolder = Data.Path(), .Clock = ClockMode::Manual}) {}

  ComPtr<RecordingHandler> NewHandler() { return MakeHostObject<RecordingHandler>(Host); }

  ScratchFolder Data;
  SimHost Host;
};

}  // namespace tavix::sim::testing
