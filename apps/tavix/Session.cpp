#include "Session.h"

#include <cstdlib>

#include "platform/Files.h"

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

}  // namespace tavix::cli
