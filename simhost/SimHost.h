// The stand-in host application. One SimHost installs itself as the process's host: it builds
// the host objects (client, workspace, GUI, timers, options, plug-ins registry, device
// manager), loads the host modules from its program folder so that a module finds their entry
// points, loads driver modules with the dynamic loader as a host does, and runs the host's loop.
//
//   tavix::sim::SimHost host({.Clock = tavix::sim::ClockMode::Manual});
//   host.InstallExtension("/path/to/extension");
//   tavix::sim::DriverModule& module = host.LoadDriverModule(host.ProgramFolder() + "Device_Arria5GZ.TVX");
//   IDispatch* driver = module.Driver(0);
//   host.AdvanceTime(100);                       // fires the timers due in 100 ms
//   host.Messages().Messages();                  // what the module reported
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simhost/SimHost.Client.h"

namespace tavix::sim {

struct SimHostOptions {
  // Where the host's program, its host modules, System/ and Library/ are; empty: the folder of
  // the running program.
  std::string ProgramFolder;
  // Where the host keeps per-user data (settings folder); empty: ProgramFolder + "HostData/".
  std::string DataFolder;
  ClockMode Clock = ClockMode::Real;
  // Load WorkspaceManager.DLL, TavixManager.dll, ... from the program folder. A host without
  // them offers only the client.
  bool LoadHostModules = true;
  // The options file read at start (when it exists) and written at shut-down; empty: none.
  std::string OptionsFile;
  // Device families read at start when the file exists; empty: ProgramFolder +
  // "System/DeviceFamilies.ini".
  std::string DeviceFamiliesFile;
  // The text naming the client (DISPID 548), the source of its messages.
  std::string ClientName = "Tavix Host";
};

// A driver module loaded the way a host loads one: by path with the dynamic loader, its two
// exports resolved by name. Driver objects are not counted and live as long as the process,
// so the module is never unloaded, and the module keeps every driver it handed out (as a host
// holds its drivers) for the life of the process.
class DriverModule {
 public:
  DriverModule(const DriverModule&) = delete;
  DriverModule& operator=(const DriverModule&) = delete;

  const std::string& Path() const { return FPath; }
  // What GetTavixDriverCount answered when the module was loaded.
  int32_t Count() const { return FCount; }
  // The raw export calls.
  HRESULT CallGetDriverCount(int32_t* count) const;
  HRESULT CallGetDriver(int32_t kind, IDispatch** driver) const;
  // Every driver handed out so far.
  const std::vector<IDispatch*>& Drivers() const { return FDrivers; }
  // A new driver of a kind; raises ESimHostError for a kind outside 0..Count-1 or a failure.
  IDispatch* Driver(int32_t kind) const;

 private:
  friend class SimHost;
  DriverModule() = default;
  using GetDriverFn = HRESULT TAVIX_STDCALL (*)(int32_t, IDispatch**);
  using GetCountFn = HRESULT TAVIX_STDCALL (*)(int32_t*);

  std::string FPath;
  void* FHandle = nullptr;
  GetDriverFn FGetDriver = nullptr;
  GetCountFn FGetCount = nullptr;
  int32_t FCount = 0;
  mutable std::vector<IDispatch*> FDrivers;
};

class SimHost {
 public:
  // Installs the host; raises ESimHostError when another host is installed, a host module or
  // the device family file cannot be loaded.
  explicit SimHost(SimHostOptions options = {});
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // The host installed in this process, or null.
  static SimHost* Current();

  // ---- layout ----
  const std::string& ProgramFolder() const { return FProgramFolder; }  // with trailing "/"
  const std::string& DataFolder() const { return FDataFolder; }
  std::string SystemFolder() const { return FProgramFolder + "System/"; }

  // ---- host objects ----
  Client& GetClient() { return *FClient.Get(); }
  IDispatch* ClientDispatch() { return FClient->AsDispatch(); }
  ClientAPI& API() { return *FAPI.Get(); }
  GuiManager& Gui() { return *FGui.Get(); }
  TimerManager& Timers() { return *FTimers.Get(); }
  OptionsStore& Options() { return FOptions->Store(); }
  MessagesManager& Messages() { return *FMessages.Get(); }
  Workspace& Projects() { return *FWorkspace.Get(); }
  PluginsRegistry& Plugins() { return *FPlugins.Get(); }
  DeviceManager& Devices() { return *FDevices.Get(); }
  DeviceFamilyManager& Families() { return FDevices->Families(); }
  VendorToolManager& VendorTools() { return *FVendorTools.Get(); }

  // ---- extensions ----
  PluginItem& InstallExtension(const std::string& folder, bool disabled = false);

  // ---- driver modules ----
  // Loads (once per process) a driver module file and resolves its exports; raises
  // ESimHostError with a one-line reason when the file is missing, does not load or lacks an
  // export.
  DriverModule& LoadDriverModule(const std::string& path);

  // ---- JTAG ports (the chain simulator adds them) ----
  void AddJTagPort(ComPtr<IDispatch> port);
  const std::vector<ComPtr<IDispatch>>& JTagPorts() const { return FJTagPorts; }

  // ---- time and the loop ----
  uint64_t Now() const { return FTimers->Now(); }
  // Manual clock: moves time on, firing every timer that falls due (see TimerManager).
  int AdvanceTime(uint64_t ms);
  // The host's application and main windows (the owners of the modules' windows).
  int32_t ApplicationWindow() const { return FApplicationWindow; }
  int32_t MainWindow() const { return FMainWindow; }

  // One turn of the loop: the window messages posted so far, the tasks added with
  // AddLoopTask, then the timers due now.
  void ProcessEvents();
  // Runs the loop for a while (manual clock: advances time by that much).
  void RunFor(uint64_t ms);
  // Runs the loop until Quit is called.
  void Run();
  void Quit() { FQuit = true; }
  // Work done on every turn of the loop (for example pumping the window system's queue).
  void AddLoopTask(std::function<void()> task);

  // ---- notifications ----
  int Broadcast(int32_t code, const std::string& category) { return FClient->Broadcast(code, category); }

 private:
  void LoadHostModules();

  SimHostOptions FSettings;
  std::string FProgramFolder;
  std::string FDataFolder;
  ComPtr<GuiManager> FGui;
  ComPtr<TimerManager> FTimers;
  ComPtr<OptionsManager> FOptions;
  ComPtr<MessagesManager> FMessages;
  ComPtr<Workspace> FWorkspace;
  ComPtr<OpalWorkspace> FOpal;
  ComPtr<ClientAPI> FAPI;
  ComPtr<PluginsRegistry> FPlugins;
  ComPtr<DeviceManager> FDevices;
  ComPtr<VendorToolManager> FVendorTools;
  ComPtr<Client> FClient;
  std::vector<ComPtr<IDispatch>> FJTagPorts;
  std::vector<std::function<void()>> FLoopTasks;
  bool FQuit = false;
  int32_t FApplicationWindow = 0;  // the host's windows in the OS stand-in's window system
  int32_t FMainWindow = 0;
};

// ---- what the host modules' entry points answer ----
enum class HostService { Workspace, DeviceManager, TavixWorkspace, LibraryManager, ModelTypeManager, EditVHDLSynthesizer };
// S_OK with the service's object, or with null when there is no host or no such service.
HRESULT GetHostService(HostService service, IDispatch** object);
HRESULT GetHostJTagPortCount(int32_t* count);
HRESULT GetHostJTagPort(int32_t index, IDispatch** port);

// The host module file names, loaded from the program folder.
inline constexpr const char* kHostModuleFiles[] = {"WorkspaceManager.DLL", "TavixManager.dll",
                                                   "IntegratedLibrary.dll", "FPGAFlow.DLL", "EditVHDL.DLL"};

}  // namespace tavix::sim

// The client's entry point in the process's global scope.
extern "C" tavix::HRESULT TAVIX_STDCALL ClientAPI_GetClientInterface(tavix::IDispatch** client);
