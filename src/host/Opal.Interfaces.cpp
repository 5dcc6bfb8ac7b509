#include "host/Opal.Interfaces.h"

#include <dlfcn.h>

#include <atomic>

namespace tavix {

namespace {

using GetObjectEntry = HRESULT TAVIX_STDCALL (*)(IDispatch**);
using GetCountEntry = HRESULT TAVIX_STDCALL (*)(int32_t*);
using GetIndexedEntry = HRESULT TAVIX_STDCALL (*)(int32_t, IDispatch**);

// One cached export. A module that is not loaded yet is looked for again on the next call;
// once found, the address is kept for the life of the process.
class TEntryPoint {
 public:
  TEntryPoint(const char* module, const char* symbol) : FModule(module), FSymbol(symbol) {}

  void* Resolve() {
    if (void* cached = FAddress.load(std::memory_order_acquire)) return cached;
    void* address = nullptr;
    if (!FModule) {
      address = dlsym(RTLD_DEFAULT, FSymbol);
    } else if (void* handle = dlopen(FModule, RTLD_LAZY | RTLD_NOLOAD)) {
      address = dlsym(handle, FSymbol);
      dlclose(handle);  // drops the count RTLD_NOLOAD took; the host keeps the module loaded
    }
    if (address) FAddress.store(address, std::memory_order_release);
    return address;
  }

 private:
  const char* FModule;
  const char* FSymbol;
  std::atomic<void*> FAddress{nullptr};
};

ComPtr<IDispatch> CallObjectEntry(TEntryPoint& entry) {
  auto fn = reinterpret_cast<GetObjectEntry>(entry.Resolve());
  if (!fn) return nullptr;
  IDispatch* raw = nullptr;
  OleCheck(fn(&raw));
  return ComPtr<IDispatch>::Attach(raw);
}

TEntryPoint gClientEntry(nullptr, "ClientAPI_GetClientInterface");
TEntryPoint gWorkspaceEntry(kWorkspaceManagerModule, "GetWorkspace");
TEntryPoint gDeviceManagerEntry(kTavixManagerModule, "GetDeviceManager");
TEntryPoint gJTagPortCountEntry(kTavixManagerModule, "GetJTagPortCount");
TEntryPoint gJTagPortEntry(kTavixManagerModule, "GetJTagPort");
TEntryPoint gTavixWorkspaceEntry(kFPGAFlowModule, "GetTavixWorkspace");
TEntryPoint gLibraryManagerEntry(kIntegratedLibraryModule, "LibApi_GetLibraryManager");
TEntryPoint gModelTypeManagerEntry(kIntegratedLibraryModule, "LibApi_GetModelTypeManager");
TEntryPoint gEditVHDLEntry(kEditVHDLModule, "GetEditVHDLSynthesizer");

}  // namespace

IClient HostClient() { return IClient(CallObjectEntry(gClientEntry)); }
IWorkspace HostWorkspace() { return IWorkspace(CallObjectEntry(gWorkspaceEntry)); }
THostRecord HostDeviceManager() { return THostRecord(CallObjectEntry(gDeviceManagerEntry)); }

int32_t HostJTagPortCount() {
  auto fn = reinterpret_cast<GetCountEntry>(gJTagPortCountEntry.Resolve());
  if (!fn) return 0;
  int32_t count = 0;
  OleCheck(fn(&count));
  return count;
}

THostRecord HostJTagPort(int32_t index) {
  auto fn = reinterpret_cast<GetIndexedEntry>(gJTagPortEntry.Resolve());
  if (!fn) return THostRecord();
  IDispatch* raw = nullptr;
  OleCheck(fn(index, &raw));
  return THostRecord(ComPtr<IDispatch>::Attach(raw));
}

THostRecord HostTavixWorkspace() {
  if (IClient client = HostClient()) client.StartServer("FPGAFlow");
  return THostRecord(CallObjectEntry(gTavixWorkspaceEntry));
}

THostRecord HostLibraryManager() { return THostRecord(CallObjectEntry(gLibraryManagerEntry)); }
THostRecord HostModelTypeManager() { return THostRecord(CallObjectEntry(gModelTypeManagerEntry)); }
THostRecord HostEditVHDLSynthesizer() { return THostRecord(CallObjectEntry(gEditVHDLEntry)); }

}  // namespace tavix
