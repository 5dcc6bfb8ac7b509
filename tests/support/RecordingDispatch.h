// Test doubles for host objects: an IDispatch that records every call (DISPID and arguments)
// and answers what the test told it to, and a small host client assembled from such objects.
// A suite that uses the client defines the client entry once with TAVIX_TEST_CLIENT_ENTRY().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace tavix::test {

struct TRecordedCall {
  std::string Object;  // the recording object's name
  DISPID Id = 0;
  std::vector<Variant> Args;  // in caller order, by-reference arguments followed

  std::string Str(size_t i) const { return Args.at(i).AsString(); }
  int32_t Int(size_t i) const { return Args.at(i).AsInt(); }
  bool Bool(size_t i) const { return Args.at(i).AsBool(); }
};

// Calls of several objects in the order they happened.
using TCallLog = std::shared_ptr<std::vector<TRecordedCall>>;

class TRecordingDispatch : public IDispatch {
 public:
  using THandler = std::function<Variant(const std::vector<Variant>& args)>;

  static ComPtr<TRecordingDispatch> Create(std::string name, TCallLog log = nullptr) {
    return ComPtr<TRecordingDispatch>(new TRecordingDispatch(std::move(name), std::move(log)));
  }

  // How the object answers a DISPID; a DISPID without answer is DISP_E_MEMBERNOTFOUND.
  TRecordingDispatch& On(DISPID id, THandler handler) {
    FHandlers[id] = std::move(handler);
    return *this;
  }
  TRecordingDispatch& Returns(DISPID id, Variant value) {
    return On(id, [value](const std::vector<Variant>&) { return value; });
  }
  TRecordingDispatch& Accepts(DISPID id) { return Returns(id, Variant()); }
  TRecordingDispatch& Fails(DISPID id, HRESULT code) {
    return On(id, [code](const std::vector<Variant>&) -> Variant { throw EOleError(code); });
  }

  const std::string& Name() const { return FName; }
  const std::vector<TRecordedCall>& Calls() const { return FCalls; }
  std::vector<TRecordedCall> CallsOf(DISPID id) const {
    std::vector<TRecordedCall> found;
    for (const auto& call : FCalls)
      if (call.Id == id) found.push_back(call);
    return found;
  }
  void ClearCalls() { FCalls.clear(); }
  int32_t RefCount() const { return FRefCount; }

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    if (!object) return E_POINTER;
    if (!(iid == IID_IUnknown) && !(iid == IID_IDispatch)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  int32_t TAVIX_STDCALL AddRef() override { return ++FRefCount; }
  int32_t TAVIX_STDCALL Release() override {
    const int32_t count = --FRefCount;
    if (count == 0) delete this;
    return count;
  }
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t, LCID, void**) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, uint32_t*) override {
    return GuardedCall([&] {
      TRecordedCall call{FName, id, {}};
      const uint32_t count = params ? params->cArgs : 0;
      for (uint32_t i = 0; i < count; ++i) {
        Variant arg;
        OleCheck(VariantCopy(arg.Out(), &params->rgvarg[count - 1 - i]));
        if (arg.Type() & VT_BYREF) {
          const VARIANT target = DereferenceVariant(arg.Raw());
          OleCheck(VariantCopy(arg.Out(), &target));
        }
        call.Args.push_back(std::move(arg));
      }
      FCalls.push_back(call);
      if (FLog) FLog->push_back(call);
      const auto handler = FHandlers.find(id);
      if (handler == FHandlers.end()) return DISP_E_MEMBERNOTFOUND;
      const Variant answer = handler->second(call.Args);
      SetResultVariant(result, answer);
      return S_OK;
    });
  }

 private:
  TRecordingDispatch(std::string name, TCallLog log) : FName(std::move(name)), FLog(std::move(log)) {}
  virtual ~TRecordingDispatch() = default;

  std::string FName;
  TCallLog FLog;
  std::map<DISPID, THandler> FHandlers;
  std::vector<TRecordedCall> FCalls;
  int32_t FRefCount = 0;
};

// The client the suite's client entry hands out (none until a test installs one).
inline ComPtr<IDispatch>& InstalledClient() {
  static ComPtr<IDispatch> client;
  return client;
}

// A host client with the services the utilities call. Installed for the life of the object.
class TFakeHost {
 public:
  TCallLog Log = std::make_shared<std::vector<TRecordedCall>>();
  ComPtr<TRecordingDispatch> Client = TRecordingDispatch::Create("Client", Log);
  ComPtr<TRecordingDispatch> ClientAPI = TRecordingDispatch::Create("ClientAPI", Log);
  ComPtr<TRecordingDispatch> GUIManager = TRecordingDispatch::Create("GUIManager", Log);
  ComPtr<TRecordingDispatch> OpalWorkSpace = TRecordingDispatch::Create("OpalWorkSpace", Log);
  ComPtr<TRecordingDispatch> Messages = TRecordingDispatch::Create("Messages", Log);
  ComPtr<TRecordingDispatch> Registry = TRecordingDispatch::Create("PluginsRegistry", Log);
  std::vector<ComPtr<TRecordingDispatch>> Extensions;
  std::map<std::string, ComPtr<TRecordingDispatch>> Documents;

  TFakeHost() {
    Client->Returns(795, Variant::FromDispatch(ClientAPI.Get()))
        .Returns(494, Variant::FromDispatch(GUIManager.Get()))
        .Returns(565, Variant::FromDispatch(OpalWorkSpace.Get()))
        .Returns(2027, Variant::FromDispatch(Registry.Get()))
        .Returns(548, Variant::FromString("Test Host"))
        .On(491, [this](const std::vector<Variant>& args) {
          const auto it = Documents.find(args.at(0).AsString());
          return it == Documents.end() ? Variant::FromDispatch(nullptr) : Variant::FromDispatch(it->second.Get());
        });
    ClientAPI->Returns(793, Variant::FromBool(false));
    GUIManager->Accepts(164).Accepts(156).Returns(158, Variant::FromBool(false));
    OpalWorkSpace->Returns(469, Variant::FromDispatch(Messages.Get()));
    Messages->Accepts(439).Accepts(445).Accepts(446);
    Registry->On(2017, [this](const std::vector<Variant>&) {
      return Variant::FromInt(static_cast<int32_t>(Extensions.size()));
    });
    Registry->On(2018, [this](const std::vector<Variant>& args) {
      return Variant::FromDispatch(Extensions.at(static_cast<size_t>(args.at(0).AsInt())).Get());
    });
    FPrevious = InstalledClient();
    InstalledClient() = ComPtr<IDispatch>(static_cast<IDispatch*>(Client.Get()));
  }
  ~TFakeHost() { InstalledClient() = FPrevious; }
  TFakeHost(const TFakeHost&) = delete;
  TFakeHost& operator=(const TFakeHost&) = delete;

  // A registry item for an installed extension in `folder`.
  TRecordingDispatch& AddExtension(const std::string& folder, bool disabled = false) {
    auto item = TRecordingDispatch::Create("Extension" + std::to_string(Extensions.size()), Log);
    item->Returns(2009, Variant::FromString(folder)).Returns(2010, Variant::FromInt(disabled ? 1 : 0));
    Extensions.push_back(item);
    return *item.Get();
  }

  // A document the client finds by path; it accepts the file-replace notifications.
  TRecordingDispatch& AddDocument(const std::string& path) {
    auto document = TRecordingDispatch::Create("Document", Log);
    document->Accepts(100).Accepts(101);
    Documents[path] = document;
    return *document.Get();
  }

  // The calls the log holds for one object and DISPID.
  std::vector<TRecordedCall> CallsTo(const std::string& object, DISPID id) const {
    std::vector<TRecordedCall> found;
    for (const auto& call : *Log)
      if (call.Object == object && call.Id == id) found.push_back(call);
    return found;
  }

 private:
  ComPtr<IDispatch> FPrevious;
};

}  // namespace tavix::test

// The host program's client entry, answering the installed client.
#define TAVIX_TEST_CLIENT_ENTRY()                                                                   \
  extern "C" __attribute__((visibility("default"))) tavix::HRESULT TAVIX_STDCALL                    \
  ClientAPI_GetClientInterface(tavix::IDispatch** client) {                                         \
    if (!client) return tavix::E_POINTER;                                                           \
    *client = tavix::test::InstalledClient().Get();                                                 \
    if (*client) (*client)->AddRef();                                                               \
    return tavix::S_OK;                                                                             \
  }
