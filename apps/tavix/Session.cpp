#include "Session.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "SimChainNames.h"
#include "platform/Files.h"
#include "platform/automation/Dispatch.h"

namespace tavix::cli {

namespace {

// Per-user host data (settings, options) lives outside the program folder.
std::string UserDataFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) return std::string(config) + "/tavix/";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/tavix/";
  return {};
}

}  // namespace

sim::SimHost& Session::Host() {
  if (!FHost) {
    try {
      sim::SimHostOptions options;
      options.Clock = sim::ClockMode::Real;
      options.DataFolder = UserDataFolder();
      if (!options.DataFolder.empty()) options.OptionsFile = options.DataFolder + "Options.xml";
      FHost = std::make_unique<sim::SimHost>(options);
      for (const std::string& folder : Extensions) FHost->InstallExtension(folder);
    } catch (const sim::ESimHostError& e) {
      FHost.reset();
      throw ECommandError(e.what());
    }
  }
  return *FHost;
}

sim::DriverModule& Session::Module() {
  if (!FModule) {
    sim::SimHost& host = Host();
    const std::string path = ModulePath.empty() ? host.ProgramFolder() + "Device_Arria5GZ.TVX" : ModulePath;
    try {
      FModule = &host.LoadDriverModule(path);
    } catch (const sim::ESimHostError& e) {
      throw ECommandError(e.what());
    }
  }
  return *FModule;
}

IDispatch* Session::Driver(int32_t kind) {
  IDispatch*& driver = FDrivers[kind];
  if (!driver) {
    try {
      driver = Module().Driver(kind);
    } catch (const sim::ESimHostError& e) {
      FDrivers.erase(kind);
      throw ECommandError(e.what());
    }
  }
  return driver;
}

int32_t Session::ResolveDevice(const std::string& device) {
  const int32_t count = KindCount();
  const std::string text = Trim(device);
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
    const long kind = text.size() > 9 ? -1 : std::stol(text);
    if (kind < 0 || kind >= count)
      throw ECommandError("device kind " + text + " is out of range (0.." + std::to_string(count - 1) + ")");
    return static_cast<int32_t>(kind);
  }
  for (int32_t kind = 0; kind < count; ++kind)
    if (SameText(DispCall(Driver(kind), 503380).AsString(), text)) return kind;
  throw ECommandError("no device kind is named '" + text + "'");
}

Session::~Session() {
  if (!FPort) return;
  try {
    SaveBoardState();
  } catch (const std::exception& e) {
    std::cerr << "tavix: cannot keep the simulated board's state: " << e.what() << '\n';
  }
  // The drivers let go of their chain devices before the host goes away.
  FPort->DetachDrivers();
}

std::string Session::BoardStateFile() {
  const std::string folder = Host().DataFolder();
  return folder.empty() ? std::string() : folder + "SimulatedBoard.txt";
}

// One line for the chain it describes, then one line per configured device: position and
// user code.
void Session::RestoreBoardState() {
  const std::string file = BoardStateFile();
  std::string text;
  if (file.empty() || !ReadFileText(file, text)) return;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "chain=" + Chain) return;  // another chain: a new board
  while (std::getline(in, line)) {
    unsigned long position = 0, userCode = 0;
    if (std::sscanf(line.c_str(), "configured=%lu,%lx", &position, &userCode) != 2) continue;
    if (position < FPort->DeviceCount())
      FPort->Chain().Device(position).RestoreConfiguration(static_cast<uint32_t>(userCode));
  }
}

void Session::SaveBoardState() {
  const std::string file = BoardStateFile();
  if (file.empty()) return;
  std::ostringstream out;
  out << "chain=" << Chain << '\n';
  for (size_t p = 0; p < FPort->DeviceCount(); ++p) {
    const jtagsim::TSimDevice& device = FPort->Chain().Device(p);
    if (!device.Configured()) continue;
    char line[64];
    std::snprintf(line, sizeof line, "configured=%zu,%08X\n", p, device.UserCode());
    out << line;
  }
  ForceDirectories(ExtractFilePath(file));
  if (!WriteFileAtomically(file, out.str())) throw std::runtime_error("cannot write " + file);
}

sim::JTagPort& Session::Port() {
  if (!FPort) {
    const auto devices = ParseSimChain(Chain);
    if (devices.empty()) throw ECommandError("the chain names no device");
    FPort = sim::AddSimulatedChain(Host(), devices);
    RestoreBoardState();
    sim::AttachArriaVGZDrivers(*FPort.Get(), [this](int32_t kind) { return Driver(kind); });
  }
  return *FPort.Get();
}

size_t Session::ResolvePosition(int position) {
  sim::JTagPort& port = Port();
  if (position < 0) {
    for (size_t p = 0; p < port.DeviceCount(); ++p)
      if (port.Driver(p)) return p;
    throw ECommandError("no device of the chain has a driver of this module");
  }
  if (static_cast<size_t>(position) >= port.DeviceCount())
    throw ECommandError("chain position " + std::to_string(position) + " is out of range (0.." +
                        std::to_string(port.DeviceCount() - 1) + ")");
  if (!port.Driver(static_cast<size_t>(position)))
    throw ECommandError("the device at chain position " + std::to_string(position) + " has no driver of this module");
  return static_cast<size_t>(position);
}

}  // namespace tavix::cli
