// A stand-in host client for unit tests of the utilities: host objects that record every call
// (DISPID and arguments, also into one log shared by all objects of the host) and answer what
// the test told them to. Unlike the stack-owned THostObject, these objects are reference
// counted and live as long as anyone holds them, because the module keeps some host references
// (the client and its API object) beyond a single test.
// A suite that uses the client defines the client entry once with TAVIX_TEST_CLIENT_ENTRY().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace tavix::test {

struct THostCall {
  std::string Object;  // the recording object's name
  DISPID Id = 0;
  std::vector<Variant> Args;  // in caller order, by-reference arguments followed

  std::string Str(size_t i) const { return Args.at(i).AsString(); }
  int32_t Int(size_t i) const { return Args.at(i).AsInt(); }
  bool Bool(size_t i) const { return Args.at(i).AsBool(); }
};

// Calls of several objects in the order they happened.
using TCallLog = std::shared_ptr<std::vector<THostCall>>;

class THostObject : public IDispatch {
 public:
  using THandler = std::function<Variant(const std::vector<Variant>& args)>;

  static ComPtr<THostObject> Create(std::string name, TCallLog log = nullptr) {
    return ComPtr<THostObject>(new THostObject(std::move(name), std::move(log)));
  }

  // How the object answers a DISPID; a DISPID without answer is DISP_E_MEMBERNOTFOUND.
  THostObject& On(DISPID id, THandler handler) {
    FHandlers[id] = std::move(handler);
    return *this;
  }
  THostObject& Returns(DISPID id, Variant value) {
    return On(id, [value](const std::vector<Variant>&) { return value; });
  }
  THostObject& Accepts(DISPID id) { return Returns(id, Variant()); }
  THostObject& Fails(DISPID id, HRESULT code) {
    return On(id, [code](const std::vector<Variant>&) -> Variant { throw EOleError(code); });
  }

  const std::string& Name() const { return FName; }
  const std::vector<THostCall>& Calls() const { return FCalls; }
  std::vector<THostCall> CallsOf(DISPID id) const {
    std::vector<THostCall> found;
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
      THostCall call{FName, id, {}};
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
  THostObject(std::string name, TCallLog log) : FName(std::move(name)), FLog(std::move(log)) {}
  virtual ~THostObject() = default;

  std::string FName;
  TCallLog FLog;
  std::map<DISPID, THandler> FHandlers;
  std::vector<THostCall> FCalls;
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
  TCallLog Log = std::make_shared<std::vector<THostCall>>();
  ComPtr<THostObject> Client = THostObject::Create("Client", Log);
  ComPtr<THostObject> ClientAPI = THostObject::Create("ClientAPI", Log);
  ComPtr<THostObject> GUIManager = THostObject::Create("GUIManager", Log);
  ComPtr<THostObject> OpalWorkSpace = THostObject::Create("OpalWorkSpace", Log);
  ComPtr<THostObject> Messages = THostObject::Create("Messages", Log);
  ComPtr<THostObject> Registry = THostObject::Create("PluginsRegistry", Log);
  std::vector<ComPtr<THostObject>> Extensions;
  std::map<std::string, ComPtr<THostObject>> Documents;

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
  THostObject& AddExtension(const std::string& folder, bool disabled = false) {
    auto item = THostObject::Create("Extension" + std::to_string(Extensions.size()), Log);
    item->Returns(2009, Variant::FromString(folder)).Returns(2010, Variant::FromInt(disabled ? 1 : 0));
    Extensions.push_back(item);
    return *item.Get();
  }

  // A document the client finds by path; it accepts the file-replace notifications.
  THostObject& AddDocument(const std::string& path) {
    auto document = THostObject::Create("Document", Log);
    document->Accepts(100).Accepts(101);
    Documents[path] = document;
    return *document.Get();
  }

  // The calls the log holds for one object and DISPID.
  std::vector<THostCall> CallsTo(const std::string& object, DISPID id) const {
    std::vector<THostCall> found;
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
