// Records over the host application's automation objects. Each record holds one IDispatch
// reference; each operation is one late-bound call by DISPID with fixed argument types. An
// empty record is an absent service: callers test it and skip the step. Copying a record
// copies the reference; converting between record types does not query the object.
#pragma once

#include <string>

#include "platform/automation/Dispatch.h"

namespace tavix {

class THostRecord {
 public:
  THostRecord() = default;
  explicit THostRecord(ComPtr<IDispatch> object) : FObject(std::move(object)) {}
  explicit THostRecord(IDispatch* object) : FObject(object) {}

  IDispatch* Dispatch() const { return FObject.Get(); }
  const ComPtr<IDispatch>& Ref() const { return FObject; }
  bool Empty() const { return !FObject; }
  explicit operator bool() const { return static_cast<bool>(FObject); }
  void Clear() { FObject.Reset(); }
  friend bool operator==(const THostRecord& a, const THostRecord& b) { return a.FObject == b.FObject; }

  // One late-bound call by DISPID; raises EOleError on a failure code or an empty record.
  template <class... A>
  Variant Call(DISPID id, A&&... args) const {
    return DispCall(FObject.Get(), id, std::forward<A>(args)...);
  }

 private:
  ComPtr<IDispatch> FObject;
};

// Declares a record type: constructible from an IDispatch, a ComPtr or any other record.
#define TAVIX_RECORD(Name)                                                          \
  struct Name : THostRecord {                                                       \
    Name() = default;                                                               \
    explicit Name(ComPtr<IDispatch> object) : THostRecord(std::move(object)) {}     \
    explicit Name(IDispatch* object) : THostRecord(object) {}                       \
    explicit Name(const Variant& value) : THostRecord(value.AsDispatch()) {}        \
    template <class R>                                                              \
      requires std::is_base_of_v<THostRecord, R>                                    \
    explicit Name(const R& other) : THostRecord(other.Ref()) {}

TAVIX_RECORD(INotification)
  int32_t GetCode() const { return Call(1851).AsInt(); }
  std::string GetCategory() const { return Call(723).AsString(); }
};

TAVIX_RECORD(IDocument)
  std::string GetPath() const { return Call(500331).AsString(); }
  // Told before and after the file behind the document is replaced on disk.
  void BeginFileReplace() const { Call(100); }
  void EndFileReplace() const { Call(101); }
};

TAVIX_RECORD(IProject)
  std::string GetPath() const { return Call(500062).AsString(); }
  int32_t GetDocumentCount() const { return Call(500047).AsInt(); }
  IDocument GetDocument(int32_t index) const { return IDocument(Call(500039, index)); }
};

TAVIX_RECORD(IOpalMessagesManager)
  void BeginUpdate() const { Call(445); }
  void AddMessage(const std::string& messageClass, const std::string& text, const std::string& source,
                  const std::string& document, const std::string& callbackProcess,
                  const std::string& callbackParameters, int32_t imageIndex, bool flag) const {
    Call(439, messageClass, text, source, document, callbackProcess, callbackParameters, imageIndex, flag,
         std::string(), std::string());
  }
  void EndUpdate() const { Call(446); }
};

TAVIX_RECORD(IOpalWorkSpace)
  IOpalMessagesManager GetMessagesManager() const { return IOpalMessagesManager(Call(469)); }
};

TAVIX_RECORD(IWorkspace)
  IProject GetProjectByPath(const std::string& path) const { return IProject(Call(501413, path)); }
  IOpalMessagesManager GetMessagesManager() const { return IOpalMessagesManager(Call(508377)); }
  void AddOutputLine(const std::string& text, bool a = false, bool b = false) const { Call(501423, text, a, b); }
  int32_t GetOutputLineCount() const { return Call(501447).AsInt(); }
};

TAVIX_RECORD(ITimerManager)
  uint32_t AddHandler(IDispatch* handler, int32_t intervalMs, bool enabled) const {
    return Call(268, handler, intervalMs, enabled).AsLow32();
  }
  void RemoveHandler(uint32_t id) const { Call(269, static_cast<int32_t>(id)); }
  void EnableHandler(uint32_t id, bool enabled) const { Call(271, static_cast<int32_t>(id), enabled); }
};

TAVIX_RECORD(IGUIManager)
  // Status bar: code (-1 reset, -3/-5 begin progress, -7 step, -6/-4 end) and a text.
  void UpdateStatusBar(int32_t code, const std::string& text) const { Call(164, code, text); }
  void ShowPanel(const std::string& panelName, bool visible) const { Call(167, panelName, visible); }
  void SetPanelSize(const std::string& viewName, int32_t width, int32_t height) const {
    Call(171, viewName, width, height);
  }
  // Shortcut keys: 158 asks whether the key (with Alt, Shift, Ctrl) is a shortcut, 156 runs it.
  bool IsShortcutKey(int32_t key, bool alt, bool shift, bool ctrl) const {
    return Call(158, key, alt, shift, ctrl).AsBool();
  }
  void ProcessShortcutKey(int32_t key, bool alt, bool shift, bool ctrl) const { Call(156, key, alt, shift, ctrl); }
};

TAVIX_RECORD(IOptionsReader)
  bool ReadBoolean(const std::string& section, const std::string& key, bool defaultValue) const {
    return Call(273, section, key, defaultValue).AsBool();
  }
};

TAVIX_RECORD(IOptionsWriter)
  void WriteBoolean(const std::string& section, const std::string& key, bool value) const {
    Call(281, section, key, value);
  }
};

TAVIX_RECORD(IOptionsManager)
  IOptionsReader GetOptionsReader(const std::string& serverName) const {
    return IOptionsReader(Call(285, serverName, std::string()));
  }
  IOptionsWriter GetOptionsWriter(const std::string& serverName) const {
    return IOptionsWriter(Call(286, serverName));
  }
};

TAVIX_RECORD(IPluginItem)
  std::string GetFolder() const { return Call(2009).AsString(); }
  int32_t GetDisabled() const { return Call(2010).AsInt(); }
};

TAVIX_RECORD(IPluginsRegistry)
  int32_t GetCount() const { return Call(2017).AsInt(); }
  IPluginItem GetItem(int32_t index) const { return IPluginItem(Call(2018, index)); }
};

TAVIX_RECORD(IClientAPI)
  // Help: 964 gives the topic prefix of a module, 963 resolves a topic to an address.
  std::string GetHelpPrefix(const std::string& moduleName) const { return Call(964, moduleName).AsString(); }
  bool GetHelpURL(const std::string& topic, std::string& url) const {
    return Call(963, topic, ByRefString{&url}).AsBool();
  }
  std::string GetFolder(DISPID id) const { return Call(id).AsString(); }
  bool Query(DISPID id) const { return Call(id).AsBool(); }
};

TAVIX_RECORD(IServerModule)
};

TAVIX_RECORD(IClient)
  int32_t GetApplicationHandle() const { return Call(486).AsInt(); }
  int32_t GetMainWindowHandle() const { return Call(492).AsInt(); }
  IGUIManager GetGUIManager() const { return IGUIManager(Call(494)); }
  ITimerManager GetTimerManager() const { return ITimerManager(Call(531)); }
  IOptionsManager GetOptionsManager() const { return IOptionsManager(Call(533)); }
  IOpalWorkSpace GetOpalWorkSpace() const { return IOpalWorkSpace(Call(565)); }
  IClientAPI GetClientAPI() const { return IClientAPI(Call(795)); }
  IServerModule GetServerModule(const std::string& name) const { return IServerModule(Call(496, name)); }
  bool StartServer(const std::string& name) const { return Call(507, name).AsBool(); }
  IDocument GetDocumentByPath(const std::string& path) const { return IDocument(Call(491, path)); }
  std::string GetDocumentKind(const std::string& path) const { return Call(509, path).AsString(); }
  void ShowDocument(const IDocument& document) const { Call(515, document); }
  void AddServerView(IDispatch* view) const { Call(513, view); }
  IDispatch* GetServerViewRaw(const std::string& name, ComPtr<IDispatch>& holder) const {
    holder = Call(514, name).AsDispatch();
    return holder.Get();
  }
  void RemoveServerView(IDispatch* view) const { Call(532, view); }
  void RegisterNotificationHandler(IDispatch* handler) const { Call(527, handler); }
  void UnregisterNotificationHandler(IDispatch* handler) const { Call(528, handler); }
  IPluginsRegistry GetPluginsRegistry() const { return IPluginsRegistry(Call(2027)); }
  // The application's name as host messages give it for their source.
  std::string GetProductName() const { return Call(548).AsString(); }
  // IProcessLauncher is the client itself.
  void RunProcess(const std::string& processName, std::string& parameters, IDispatch* view = nullptr) const {
    Call(625, processName, ByRefString{&parameters}, view);
  }
};

// ---- entry points -------------------------------------------------------------------------
// Resolved through the dynamic loader once and cached: the client in the process's global
// scope, the others in the host modules by their module names. A host without them answers
// empty records.

IClient HostClient();
IWorkspace HostWorkspace();
THostRecord HostDeviceManager();
int32_t HostJTagPortCount();
THostRecord HostJTagPort(int32_t index);
THostRecord HostTavixWorkspace();  // starts the "FPGAFlow" server first
THostRecord HostLibraryManager();
THostRecord HostModelTypeManager();
THostRecord HostEditVHDLSynthesizer();

// The host module names the entry points are looked up in.
inline constexpr const char* kWorkspaceManagerModule = "WorkspaceManager.DLL";
inline constexpr const char* kTavixManagerModule = "TavixManager.dll";
inline constexpr const char* kIntegratedLibraryModule = "IntegratedLibrary.dll";
inline constexpr const char* kFPGAFlowModule = "FPGAFlow.DLL";
inline constexpr const char* kEditVHDLModule = "EditVHDL.DLL";

}  // namespace tavix
