#include "simhost/SimHost.Client.h"

#include <algorithm>

namespace tavix::sim {

// ---- Notification ----

bool Notification::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  switch (id) {
    case 1851:  // GetCode
      SetResultInt(result, FCode);
      return true;
    case 723:  // GetCategory
      SetResultString(result, FCategory);
      return true;
    default:
      return false;
  }
}

// ---- VendorToolManager ----

void VendorToolManager::SetVendor(const std::string& vendor, const std::string& descriptor, bool upToDate) {
  Vendor& v = FVendors[vendor];
  v.Descriptor = descriptor;
  v.UpToDate = upToDate;
}

void VendorToolManager::SetToolPath(const std::string& vendor, const std::string& toolKey, const std::string& path) {
  FVendors[vendor].Tools[toolKey] = path;
}

std::string VendorToolManager::ToolPath(const std::string& vendor, const std::string& toolKey) const {
  const auto v = FVendors.find(vendor);
  if (v == FVendors.end()) return {};
  const auto t = v->second.Tools.find(toolKey);
  return t == v->second.Tools.end() ? std::string() : t->second;
}

bool VendorToolManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id < 509001 || id > 509004) return false;
  const std::string vendor = args.Str(0);
  const auto v = FVendors.find(vendor);
  const bool known = v != FVendors.end();
  switch (id) {
    case 509001:  // GetToolsDescriptor(vendor)
      SetResultString(result, known ? v->second.Descriptor : std::string());
      break;
    case 509002:  // ToolsPresent(vendor): some tool of the vendor is installed
      SetResultBool(result, known && !v->second.Tools.empty());
      break;
    case 509003:  // ToolsUpToDate(vendor)
      SetResultBool(result, known && v->second.UpToDate);
      break;
    case 509004:  // GetToolPath(vendor, tool key)
      SetResultString(result, ToolPath(vendor, args.Str(1)));
      break;
  }
  return true;
}

// ---- ServerModule ----

bool ServerModule::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  const auto it = FServices.find(id);
  if (it == FServices.end()) return false;
  SetResultDispatch(result, it->second.Get());
  return true;
}

// ---- ClientAPI ----

std::string ClientAPI::HelpPrefix(const std::string& moduleName) const {
  const auto it = FHelpPrefixes.find(moduleName);
  return it == FHelpPrefixes.end() ? moduleName : it->second;
}

bool ClientAPI::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 770:
      SetResultString(result, FFolders.Folder770);
      return true;
    case 773:
      SetResultString(result, FFolders.Folder773);
      return true;
    case 774:
      SetResultString(result, FFolders.Folder774);
      return true;
    case 787:
      SetResultString(result, FFolders.Folder787);
      return true;
    case 963: {  // help topic -> Boolean, the address through the second argument
      const std::string topic = args.Str(0);
      BSTR* url = args.StrRef(1);
      const auto it = FHelpTopics.find(topic);
      if (it != FHelpTopics.end()) {
        BSTR text = AllocBstr(it->second);
        SysFreeString(*url);
        *url = text;
      }
      SetResultBool(result, it != FHelpTopics.end());
      return true;
    }
    case 964:  // help-topic prefix of a module
      SetResultString(result, HelpPrefix(args.Str(0)));
      return true;
    case 793:  // no reports of locked files wanted?
      SetResultBool(result, FSuppressLockedFileReports);
      return true;
    case 791: {  // SetCursor(cursor): the previous one is kept for the restore
      const int32_t cursor = args.Int(0);
      FCursorStack.push_back(FCursor);
      FCursor = cursor;
      FCursorCalls.push_back({false, cursor});
      return true;
    }
    case 792:  // RestoreCursor
      if (!FCursorStack.empty()) {
        FCursor = FCursorStack.back();
        FCursorStack.pop_back();
      }
      FCursorCalls.push_back({true, FCursor});
      return true;
    default:
      return false;
  }
}

// ---- Client ----

Client::Client(ClientServices services, std::string clientName)
    : FServices(std::move(services)), FClientName(std::move(clientName)) {}

void Client::SetWindowHandles(int32_t application, int32_t mainWindow) {
  FApplicationHandle = application;
  FMainWindowHandle = mainWindow;
}

ServerModule& Client::DefineServer(const std::string& name) {
  if (name.empty()) throw ESimHostError("a server needs a name");
  ComPtr<ServerModule>& server = FServers[name];
  if (!server) server = MakeHostObject<ServerModule>(name);
  return *server.Get();
}

bool Client::StartServer(const std::string& name) {
  if (!FServers.count(name)) return false;
  FRunning[name] = true;
  return true;
}

ServerModule* Client::RunningServer(const std::string& name) const {
  const auto it = FServers.find(name);
  if (it == FServers.end() || !FRunning.count(name)) return nullptr;
  return it->second.Get();
}

Document& Client::OpenDocument(const std::string& path, const std::string& kind) {
  if (path.empty()) throw ESimHostError("a document needs a path");
  for (const ComPtr<Document>& d : FDocuments)
    if (SamePath(d->Path(), path)) return *d.Get();
  FDocuments.push_back(MakeHostObject<Document>(path, kind));
  return *FDocuments.back().Get();
}

Document* Client::FindDocument(const std::string& path) const {
  for (const ComPtr<Document>& d : FDocuments)
    if (SamePath(d->Path(), path)) return d.Get();
  return FServices.Projects->FindDocument(path);
}

ComPtr<IDispatch> Client::FindServerView(const std::string& name) const {
  for (const ComPtr<IDispatch>& view : FServerViews) {
    std::string viewName;
    const HRESULT hr = GuardedCall([&] {
      viewName = DispCall(view.Get(), 61).AsString();
      return S_OK;
    });
    if (Succeeded(hr) && SameText(viewName, name)) return view;
  }
  return nullptr;
}

int Client::Broadcast(int32_t code, const std::string& category) {
  const ComPtr<Notification> notification = MakeHostObject<Notification>(code, category);
  // A handler may unregister itself or others while it is told; each is told at most once
  // and only while it is still registered.
  const std::vector<ComPtr<IDispatch>> handlers = FNotificationHandlers;
  int reached = 0;
  for (const ComPtr<IDispatch>& handler : handlers) {
    if (std::find(FNotificationHandlers.begin(), FNotificationHandlers.end(), handler) == FNotificationHandlers.end())
      continue;
    if (Succeeded(CallBack(handler.Get(), 266, notification->AsDispatch()))) ++reached;
  }
  return reached;
}

void Client::RegisterProcess(const std::string& name, ProcessHandler handler) {
  if (name.empty() || !handler) throw ESimHostError("a host process needs a name and a handler");
  FProcesses[name] = std::move(handler);
}

void Client::RunProcess(const std::string& name, std::string& parameters, IDispatch* view) {
  ProcessCall call{name, parameters, parameters, view != nullptr, false};
  const auto it = FProcesses.find(name);
  if (it != FProcesses.end()) {
    const ProcessHandler handler = it->second;  // the process may register others meanwhile
    handler(parameters, view);
    call.Handled = true;
    call.ParametersAfter = parameters;
  }
  FProcessCalls.push_back(std::move(call));
}

void Client::ReleaseRegistrations() {
  std::vector<ComPtr<IDispatch>> views, handlers;
  views.swap(FServerViews);
  handlers.swap(FNotificationHandlers);
}

namespace {
// Removes one object (by identity) from a list; false when it was not there.
bool RemoveObject(std::vector<ComPtr<IDispatch>>& list, IDispatch* object) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const ComPtr<IDispatch>& o) { return SameObject(o.Get(), object); });
  if (it == list.end()) return false;
  const ComPtr<IDispatch> removed = *it;  // released after the list is consistent again
  list.erase(it);
  return true;
}

bool AddObject(std::vector<ComPtr<IDispatch>>& list, IDispatch* object) {
  Expect(object != nullptr, "an object is needed");
  for (const ComPtr<IDispatch>& o : list)
    if (SameObject(o.Get(), object)) return false;
  list.emplace_back(object);
  return true;
}
}  // namespace

bool Client::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 486:  // GetApplicationHandle
      SetResultInt(result, FApplicationHandle);
      return true;
    case 492:  // GetMainWindowHandle
      SetResultInt(result, FMainWindowHandle);
      return true;
    case 494:
      SetResultDispatch(result, FServices.Gui->AsDispatch());
      return true;
    case 531:
      SetResultDispatch(result, FServices.Timers->AsDispatch());
      return true;
    case 533:
      SetResultDispatch(result, FServices.Options->AsDispatch());
      return true;
    case 565:
      SetResultDispatch(result, FServices.Opal->AsDispatch());
      return true;
    case 795:
      SetResultDispatch(result, FServices.API->AsDispatch());
      return true;
    case 2027:
      SetResultDispatch(result, FServices.Plugins->AsDispatch());
      return true;
    case 548:  // the text naming the client, the source of its messages
      SetResultString(result, FClientName);
      return true;
    case 504:  // is the host shutting down?
      SetResultBool(result, FShuttingDown);
      return true;
    case 496: {  // GetServerModule(name): none unless the server runs
      ServerModule* server = RunningServer(args.Str(0));
      SetResultDispatch(result, server ? server->AsDispatch() : nullptr);
      return true;
    }
    case 507:  // StartServer(name) -> Boolean
      SetResultBool(result, StartServer(args.Str(0)));
      return true;
    case 491: {  // GetDocumentByPath(path): none when the host has not loaded it
      Document* document = FindDocument(args.Str(0));
      SetResultDispatch(result, document ? document->AsDispatch() : nullptr);
      return true;
    }
    case 509: {  // GetDocumentKind(path)
      const std::string path = args.Str(0);
      std::string kind;
      if (const Document* document = FindDocument(path)) kind = document->Kind();
      else if (const Project* project = FServices.Projects->FindProject(path)) kind = project->Kind();
      SetResultString(result, kind);
      return true;
    }
    case 515: {  // ShowDocument(document)
      const ComPtr<IDispatch> document = args.Object(0);
      Expect(document != nullptr, "no document to show");
      FShownDocuments.push_back(DispCall(document.Get(), 500331).AsString());
      return true;
    }
    case 513:  // AddServerView(view)
      AddObject(FServerViews, args.Object(0).Get());
      return true;
    case 514:  // GetServerView(name)
      SetResultDispatch(result, FindServerView(args.Str(0)).Get());
      return true;
    case 532:  // RemoveServerView(view)
      RemoveObject(FServerViews, args.Object(0).Get());
      return true;
    case 527:  // RegisterNotificationHandler(handler)
      AddObject(FNotificationHandlers, args.Object(0).Get());
      return true;
    case 528:  // UnregisterNotificationHandler(handler)
      RemoveObject(FNotificationHandlers, args.Object(0).Get());
      return true;
    case 625: {  // RunProcess(process name, parameters by reference, view)
      const std::string name = args.Str(0);
      BSTR* parameters = args.StrRef(1);
      const ComPtr<IDispatch> view = args.Count() > 2 ? args.Object(2) : nullptr;
      Expect(!name.empty(), "a process needs a name");
      std::string text = BstrToString(*parameters);
      RunProcess(name, text, view.Get());
      if (text != BstrToString(*parameters)) {
        BSTR changed = AllocBstr(text);
        SysFreeString(*parameters);
        *parameters = changed;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tavix::sim
