// The host's client object (the application as the module sees it) and what hangs directly
// off it: the client API (folders, help, cursor), server modules with their services, the
// vendor-tool manager, notifications, server views and host processes.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "simhost/SimHost.Devices.h"
#include "simhost/SimHost.Gui.h"
#include "simhost/SimHost.Options.h"
#include "simhost/SimHost.Plugins.h"
#include "simhost/SimHost.Timers.h"
#include "simhost/SimHost.Workspace.h"

namespace tavix::sim {

// A notification the host sends to its handlers (DISPID 266): 1851 GetCode, 723 GetCategory.
class Notification : public HostObject {
 public:
  Notification(int32_t code, std::string category) : FCode(code), FCategory(std::move(category)) {}
  int32_t Code() const { return FCode; }
  const std::string& Category() const { return FCategory; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  int32_t FCode;
  std::string FCategory;
};

// The tools of the vendors installed on this machine, as the FPGA flow server knows them:
// 509001 GetToolsDescriptor(vendor), 509002 ToolsPresent(vendor), 509003 ToolsUpToDate(vendor),
// 509004 GetToolPath(vendor, tool key). Vendors are compared without regard to case.
class VendorToolManager : public HostObject {
 public:
  void SetVendor(const std::string& vendor, const std::string& descriptor, bool upToDate);
  void SetToolPath(const std::string& vendor, const std::string& toolKey, const std::string& path);
  std::string ToolPath(const std::string& vendor, const std::string& toolKey) const;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  struct Vendor {
    std::string Descriptor;
    bool UpToDate = false;
    std::map<std::string, std::string, NoCaseLess> Tools;
  };
  std::map<std::string, Vendor, NoCaseLess> FVendors;
};

// A server (a part of the host application) once started; it answers the service DISPIDs it
// has been given, each with its object.
class ServerModule : public HostObject {
 public:
  explicit ServerModule(std::string name) : FName(std::move(name)) {}
  const std::string& Name() const { return FName; }
  void SetService(DISPID id, ComPtr<IDispatch> service) { FServices[id] = std::move(service); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::string FName;
  std::map<DISPID, ComPtr<IDispatch>> FServices;
};

// Folders of the host's layout the client API hands out (DISPIDs 770, 773, 774, 787).
struct ClientFolders {
  std::string Folder770;  // shared library data
  std::string Folder773;  // user settings
  std::string Folder774;  // templates
  std::string Folder787;  // constraint files
};

struct CursorCall {
  bool Restore;   // 792 restore, else 791 set
  int32_t Value;  // the cursor set (791) or restored to (792)
};

class ClientAPI : public HostObject {
 public:
  explicit ClientAPI(ClientFolders folders) : FFolders(std::move(folders)) {}
  const ClientFolders& Folders() const { return FFolders; }

  // Help: topics with their addresses (compared without regard to case), and the topic
  // prefix of a module (the module name itself unless set).
  void AddHelpTopic(const std::string& topic, const std::string& url) { FHelpTopics[topic] = url; }
  void SetHelpPrefix(const std::string& moduleName, const std::string& prefix) { FHelpPrefixes[moduleName] = prefix; }
  std::string HelpPrefix(const std::string& moduleName) const;

  // Whether the host wants no reports of files locked by another user (DISPID 793).
  void SetSuppressLockedFileReports(bool suppress) { FSuppressLockedFileReports = suppress; }

  int32_t CurrentCursor() const { return FCursor; }
  const std::vector<CursorCall>& CursorCalls() const { return FCursorCalls; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  ClientFolders FFolders;
  std::map<std::string, std::string, NoCaseLess> FHelpTopics;
  std::map<std::string, std::string, NoCaseLess> FHelpPrefixes;
  bool FSuppressLockedFileReports = false;
  int32_t FCursor = 0;  // 0: the default arrow
  std::vector<int32_t> FCursorStack;
  std::vector<CursorCall> FCursorCalls;
};

// One RunProcess call as the host received it.
struct ProcessCall {
  std::string Name;
  std::string Parameters;       // as passed
  std::string ParametersAfter;  // as handed back through the reference
  bool HadView = false;
  bool Handled = false;  // a registered process ran
};

// A host process: may change the parameter text it is given by reference.
using ProcessHandler = std::function<void(std::string& parameters, IDispatch* view)>;

// Everything the client hands out; the host creates these and gives them to the client.
struct ClientServices {
  ComPtr<GuiManager> Gui;
  ComPtr<TimerManager> Timers;
  ComPtr<OptionsManager> Options;
  ComPtr<OpalWorkspace> Opal;
  ComPtr<ClientAPI> API;
  ComPtr<PluginsRegistry> Plugins;
  ComPtr<Workspace> Projects;
};

class Client : public HostObject {
 public:
  Client(ClientServices services, std::string clientName);

  // ---- window handles of the application ----
  void SetWindowHandles(int32_t application, int32_t mainWindow);
  int32_t ApplicationHandle() const { return FApplicationHandle; }
  int32_t MainWindowHandle() const { return FMainWindowHandle; }
  const std::string& ClientName() const { return FClientName; }

  // ---- servers ----
  // A server the host knows; `StartServer` starts it (names without regard to case).
  ServerModule& DefineServer(const std::string& name);
  bool StartServer(const std::string& name);
  ServerModule* RunningServer(const std::string& name) const;

  // ---- documents ----
  Document& OpenDocument(const std::string& path, const std::string& kind);
  // An open document or one of a workspace project; null when the host has not loaded it.
  Document* FindDocument(const std::string& path) const;
  const std::vector<std::string>& ShownDocuments() const { return FShownDocuments; }

  // ---- server views ----
  const std::vector<ComPtr<IDispatch>>& ServerViews() const { return FServerViews; }
  // The first view whose name (its DISPID 61) matches without regard to case.
  ComPtr<IDispatch> FindServerView(const std::string& name) const;

  // ---- notifications ----
  size_t NotificationHandlerCount() const { return FNotificationHandlers.size(); }
  // Sends a notification to every registered handler (DISPID 266); answers how many took it
  // without a failure code.
  int Broadcast(int32_t code, const std::string& category);

  // ---- host processes ----
  void RegisterProcess(const std::string& name, ProcessHandler handler);
  const std::vector<ProcessCall>& ProcessCalls() const { return FProcessCalls; }
  // Runs a process as a RunProcess call would; `parameters` comes back changed by the process.
  void RunProcess(const std::string& name, std::string& parameters, IDispatch* view);

  // ---- shut-down ----
  bool ShuttingDown() const { return FShuttingDown; }
  void BeginShutdown() { FShuttingDown = true; }
  // Drops the views and handlers the module registered (their destruction may call back).
  void ReleaseRegistrations();

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  ClientServices FServices;
  std::string FClientName;
  int32_t FApplicationHandle = 0;
  int32_t FMainWindowHandle = 0;
  std::map<std::string, ComPtr<ServerModule>, NoCaseLess> FServers;
  std::map<std::string, bool, NoCaseLess> FRunning;
  std::vector<ComPtr<Document>> FDocuments;
  std::vector<std::string> FShownDocuments;
  std::vector<ComPtr<IDispatch>> FServerViews;
  std::vector<ComPtr<IDispatch>> FNotificationHandlers;
  std::map<std::string, ProcessHandler, NoCaseLess> FProcesses;
  std::vector<ProcessCall> FProcessCalls;
  bool FShuttingDown = false;
};

}  // namespace tavix::sim
