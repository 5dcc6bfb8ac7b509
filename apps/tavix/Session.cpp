#include "Session.h"

#include <cstdlib>

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

}  // namespace tavix::cli
