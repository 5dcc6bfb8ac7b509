#include "simhost/SimHost.h"

#include "platform/os/Windows.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <thread>

#include "platform/Files.h"

namespace tavix::sim {

namespace {

std::atomic<SimHost*> gCurrentHost{nullptr};

std::string DlError() {
  const char* text = dlerror();
  return text ? text : "unknown reason";
}

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec).lexically_normal();
  return IncludeTrailingPathDelimiter(ec ? folder : absolute.string());
}

std::string MakeFolder(const std::string& path) {
  if (!ForceDirectories(path)) throw ESimHostError("cannot create the host folder " + path);
  return path;
}

// The servers of the host application; those backed by a host module run from the start.
constexpr const char* kModuleServers[] = {"WorkspaceManager", "TavixManager", "IntegratedLibrary", "FPGAFlow", "EditVHDL"};
constexpr const char* kOnDemandServers[] = {"SCH", "PCB"};

// Driver modules stay loaded, with their drivers, until the process ends; the list is never
// destroyed so that neither outlives it.
std::vector<std::unique_ptr<DriverModule>>& LoadedDriverModules() {
  static auto* modules = new std::vector<std::unique_ptr<DriverModule>>();
  return *modules;
}

}  // namespace

// ---- DriverModule ----

HRESULT DriverModule::CallGetDriverCount(int32_t* count) const { return FGetCount(count); }

HRESULT DriverModule::CallGetDriver(int32_t kind, IDispatch** driver) const {
  const HRESULT hr = FGetDriver(kind, driver);
  if (Succeeded(hr) && driver && *driver) FDrivers.push_back(*driver);
  return hr;
}

IDispatch* DriverModule::Driver(int32_t kind) const {
  if (kind < 0 || kind >= FCount)
    throw ESimHostError("kind " + std::to_string(kind) + " is out of range 0.." + std::to_string(FCount - 1));
  IDispatch* driver = nullptr;
  const HRESULT hr = CallGetDriver(kind, &driver);
  if (Failed(hr)) throw ESimHostError("GetTavixDriver_Plugin(" + std::to_string(kind) + ") failed with " + HResultText(hr));
  if (!driver) throw ESimHostError("the module gave no driver for kind " + std::to_string(kind));
  return driver;
}

// ---- SimHost ----

SimHost::SimHost(SimHostOptions options) : FSettings(std::move(options)) {
  SimHost* expected = nullptr;
  if (!gCurrentHost.compare_exchange_strong(expected, this))
    throw ESimHostError("a host is already installed in this process");
  try {
    FProgramFolder = AbsoluteFolder(FSettings.ProgramFolder.empty() ? ExtractFilePath(ProgramFile()) : FSettings.ProgramFolder);
    FDataFolder = AbsoluteFolder(FSettings.DataFolder.empty() ? FProgramFolder + "HostData/" : FSettings.DataFolder);

    ClientFolders folders;
    folders.Folder770 = MakeFolder(FProgramFolder + "Library/");
    folders.Folder773 = MakeFolder(FDataFolder + "Settings/");
    folders.Folder774 = MakeFolder(FProgramFolder + "Templates/");
    folders.Folder787 = MakeFolder(FProgramFolder + "Library/Constraints/");

    FGui = MakeHostObject<GuiManager>();
    FTimers = MakeHostObject<TimerManager>(FSettings.Clock);
    FOptions = MakeHostObject<OptionsManager>();
    FMessages = MakeHostObject<MessagesManager>();
    FWorkspace = MakeHostObject<Workspace>(FMessages);
    FOpal = MakeHostObject<OpalWorkspace>(FMessages);
    FAPI = MakeHostObject<ClientAPI>(folders);
    FPlugins = MakeHostObject<PluginsRegistry>();
    FDevices = MakeHostObject<DeviceManager>();
    FVendorTools = MakeHostObject<VendorToolManager>();
    FClient = MakeHostObject<Client>(ClientServices{FGui, FTimers, FOptions, FOpal, FAPI, FPlugins, FWorkspace},
                                     FSettings.ClientName);

    // The host's own windows: the application window owns the main window, and the modules'
    // windows belong to them.
    os::TWindowCreateParams app;
    app.ClassName = "TApplication";
    app.Caption = FSettings.ClientName.empty() ? "Host" : FSettings.ClientName;
    FApplicationWindow = os::CreateWindowEx(app);
    os::TWindowCreateParams main;
    main.ClassName = "THostMainForm";
    main.Caption = app.Caption;
    main.Width = 1280;
    main.Height = 800;
    main.Parent = FApplicationWindow;
    FMainWindow = os::CreateWindowEx(main);
    FClient->SetWindowHandles(FApplicationWindow, FMainWindow);

    for (const char* name : kOnDemandServers) FClient->DefineServer(name);
    for (const char* name : kModuleServers) FClient->DefineServer(name);
    FClient->DefineServer("FPGAFlow").SetService(509009, ComPtr<IDispatch>(FVendorTools->AsDispatch()));

    const std::string families =
        FSettings.DeviceFamiliesFile.empty() ? SystemFolder() + "DeviceFamilies.ini" : FSettings.DeviceFamiliesFile;
    if (FileExists(families)) Families().LoadFromIni(families);
    else if (!FSettings.DeviceFamiliesFile.empty()) throw ESimHostError("device family file " + families + " not found");

    if (!FSettings.OptionsFile.empty() && FileExists(FSettings.OptionsFile)) Options().LoadFromFile(FSettings.OptionsFile);

    if (FSettings.LoadHostModules) {
      LoadHostModules();
      for (const char* name : kModuleServers) FClient->StartServer(name);
    }
  } catch (...) {
    gCurrentHost.store(nullptr);
    throw;
  }
}

SimHost::~SimHost() {
  FClient->BeginShutdown();
  if (!FSettings.OptionsFile.empty() && Options().Modified()) {
    try {
      Options().SaveToFile(FSettings.OptionsFile);
    } catch (const std::exception& e) {
      std::cerr << "host: " << e.what() << '\n';
    }
  }
  // Handlers and views belong to the modules; letting them go may call back into the host,
  // which is still installed for that.
  FTimers->Clear();
  FClient->ReleaseRegistrations();
  FJTagPorts.clear();
  os::ProcessMessages();
  if (os::IsWindow(FMainWindow)) os::DestroyWindow(FMainWindow);
  if (os::IsWindow(FApplicationWindow)) os::DestroyWindow(FApplicationWindow);
  gCurrentHost.store(nullptr);
}

SimHost* SimHost::Current() { return gCurrentHost.load(); }

void SimHost::LoadHostModules() {
  for (const char* file : kHostModuleFiles) {
    const std::string path = FProgramFolder + file;
    if (!FileExists(path)) throw ESimHostError("host module " + path + " not found");
    // Host modules stay loaded for the life of the process, as the module caches their entries.
    if (!dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
      throw ESimHostError("cannot load host module " + path + ": " + DlError());
  }
}

PluginItem& SimHost::InstallExtension(const std::string& folder, bool disabled) {
  return FPlugins->Install(folder, disabled);
}

DriverModule& SimHost::LoadDriverModule(const std::string& path) {
  std::error_code ec;
  const std::string full = std::filesystem::weakly_canonical(std::filesystem::path(path), ec).string();
  for (const std::unique_ptr<DriverModule>& module : LoadedDriverModules())
    if (module->FPath == full) return *module;
  if (path.empty() || !FileExists(path)) throw ESimHostError("driver module " + path + " not found");

  std::unique_ptr<DriverModule> module(new DriverModule());
  module->FPath = full;
  // Drivers live until the process ends, so the module is never unloaded.
  module->FHandle = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!module->FHandle) throw ESimHostError("cannot load driver module " + path + ": " + DlError());
  module->FGetCount = reinterpret_cast<DriverModule::GetCountFn>(dlsym(module->FHandle, "GetTavixDriverCount"));
  if (!module->FGetCount) throw ESimHostError("driver module " + path + " has no export GetTavixDriverCount");
  module->FGetDriver = reinterpret_cast<DriverModule::GetDriverFn>(dlsym(module->FHandle, "GetTavixDriver_Plugin"));
  if (!module->FGetDriver) throw ESimHostError("driver module " + path + " has no export GetTavixDriver_Plugin");
  const HRESULT hr = module->FGetCount(&module->FCount);
  if (Failed(hr)) throw ESimHostError("GetTavixDriverCount of " + path + " failed with " + HResultText(hr));
  if (module->FCount < 0) throw ESimHostError("driver module " + path + " reports a negative driver count");
  LoadedDriverModules().push_back(std::move(module));
  return *LoadedDriverModules().back();
}

void SimHost::AddJTagPort(ComPtr<IDispatch> port) {
  if (!port) throw ESimHostError("a JTAG port is needed");
  FJTagPorts.push_back(std::move(port));
}

int SimHost::AdvanceTime(uint64_t ms) { return FTimers->AdvanceTime(ms); }

void SimHost::AddLoopTask(std::function<void()> task) {
  if (!task) throw ESimHostError("a loop task is needed");
  FLoopTasks.push_back(std::move(task));
}

void SimHost::ProcessEvents() {
  os::ProcessMessages();
  for (size_t i = 0; i < FLoopTasks.size(); ++i) {
    const std::function<void()> task = FLoopTasks[i];  // a task may add others
    task();
  }
  FTimers->FireDue();
}

void SimHost::RunFor(uint64_t ms) {
  if (FTimers->Mode() == ClockMode::Manual) {
    ProcessEvents();
    AdvanceTime(ms);
    return;
  }
  const uint64_t deadline = Now() + ms;
  FQuit = false;
  while (!FQuit) {
    ProcessEvents();
    const uint64_t now = Now();
    if (now >= deadline) break;
    uint64_t wake = deadline;
    if (const std::optional<uint64_t> due = FTimers->NextDue()) wake = std::min(wake, std::max(*due, now));
    // Wake at least every 10 ms so the loop tasks keep running.
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint64_t>(wake - now, 10)));
  }
}

void SimHost::Run() {
  if (FTimers->Mode() == ClockMode::Manual) throw ESimHostError("a host on the manual clock has no free-running loop");
  FQuit = false;
  while (!FQuit) {
    ProcessEvents();
    if (FQuit) break;
    const uint64_t now = Now();
    uint64_t wait = 10;
    if (const std::optional<uint64_t> due = FTimers->NextDue()) wait = std::min<uint64_t>(wait, *due > now ? *due - now : 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
  }
}

// ---- entry points ----

HRESULT GetHostService(HostService service, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  SimHost* host = SimHost::Current();
  if (!host) return S_OK;
  IDispatch* found = nullptr;
  switch (service) {
    case HostService::Workspace: found = host->Projects().AsDispatch(); break;
    case HostService::DeviceManager: found = host->Devices().AsDispatch(); break;
    // The host has no FPGA workspace, library manager, model type manager or VHDL synthesizer.
    case HostService::TavixWorkspace:
    case HostService::LibraryManager:
    case HostService::ModelTypeManager:
    case HostService::EditVHDLSynthesizer: break;
  }
  if (found) found->AddRef();
  *object = found;
  return S_OK;
}

HRESULT GetHostJTagPortCount(int32_t* count) {
  if (!count) return E_POINTER;
  SimHost* host = SimHost::Current();
  *count = host ? static_cast<int32_t>(host->JTagPorts().size()) : 0;
  return S_OK;
}

HRESULT GetHostJTagPort(int32_t index, IDispatch** port) {
  if (!port) return E_POINTER;
  *port = nullptr;
  SimHost* host = SimHost::Current();
  if (!host || index < 0 || static_cast<size_t>(index) >= host->JTagPorts().size()) return S_OK;
  *port = host->JTagPorts()[static_cast<size_t>(index)].Get();
  (*port)->AddRef();
  return S_OK;
}

}  // namespace tavix::sim

extern "C" tavix::HRESULT TAVIX_STDCALL ClientAPI_GetClientInterface(tavix::IDispatch** client) {
  if (!client) return tavix::E_POINTER;
  *client = nullptr;
  if (tavix::sim::SimHost* host = tavix::sim::SimHost::Current()) {
    *client = host->ClientDispatch();
    (*client)->AddRef();
  }
  return tavix::S_OK;
}
