// What every tavix command works with: the global options, the stand-in host (created on first
// use, with the extensions installed), the driver module loaded into it and its drivers.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "simhost/SimHost.h"

namespace tavix::cli {

// A failure a command reports as one line on stderr before tavix exits non-zero.
class ECommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Ends tavix with a status after the command has said all it had to say.
struct ExitWithStatus {
  int Status;
};

class Session {
 public:
  // Global options, filled by the command line.
  std::string ModulePath;               // --module; empty: Device_Arria5GZ.TVX beside tavix
  std::vector<std::string> Extensions;  // --extension, in order

  // The host, created on first use: real clock, extensions installed.
  sim::SimHost& Host();
  // The driver module, loaded into the host on first use.
  sim::DriverModule& Module();
  // The driver of a kind (one per kind for the whole run; drivers are never freed).
  IDispatch* Driver(int32_t kind);
  int32_t KindCount() { return Module().Count(); }
  // A device named on the command line: its kind number, or its ordering code in any case.
  int32_t ResolveDevice(const std::string& device);

 private:
  std::unique_ptr<sim::SimHost> FHost;
  sim::DriverModule* FModule = nullptr;
  std::map<int32_t, IDispatch*> FDrivers;
};

}  // namespace tavix::cli
