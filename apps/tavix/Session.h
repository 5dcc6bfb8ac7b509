// What every tavix command works with: the global options, the stand-in host (created on first
// use, with the extensions installed), the driver module loaded into it and its drivers.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "simhost/SimHost.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimHost.JTag.h"

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
  std::string Chain{jtagsim::kDefaultSimChain};  // --chain: the simulated chain, TDI end first

  ~Session();

  // The host, created on first use: real clock, extensions installed.
  sim::SimHost& Host();
  // The driver module, loaded into the host on first use.
  sim::DriverModule& Module();
  // The driver of a kind (one per kind for the whole run; drivers are never freed).
  IDispatch* Driver(int32_t kind);
  int32_t KindCount() { return Module().Count(); }
  // A device named on the command line: its kind number, or its ordering code in any case.
  int32_t ResolveDevice(const std::string& device);

  // The simulated JTAG chain of the host, built on first use from --chain, with a driver of
  // the module attached to every Arria V GZ position (as the host sets each driver's chain
  // device).
  sim::JTagPort& Port();
  // A chain position given on the command line; -1 picks the first position with a driver.
  size_t ResolvePosition(int position);

 private:
  std::unique_ptr<sim::SimHost> FHost;
  sim::DriverModule* FModule = nullptr;
  std::map<int32_t, IDispatch*> FDrivers;
  ComPtr<sim::JTagPort> FPort;

  // The simulated board stays powered between two runs of tavix: the devices' configuration is
  // kept in the host's data folder, for the chain it was made on.
  std::string BoardStateFile();
  void RestoreBoardState();
  void SaveBoardState();
};

}  // namespace tavix::cli
