#include "platform/Modules.h"

#include <dlfcn.h>

namespace tavix {

namespace {
thread_local std::string tLastError;

void NoteError() {
  const char* error = dlerror();
  tLastError = error ? error : "";
}
}  // namespace

TModuleHandle GetLoadedModule(const std::string& name) {
  if (name.empty()) return nullptr;
  TModuleHandle handle = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return nullptr;
  // RTLD_NOLOAD counted one more reference; give it back, the loader keeps the library.
  dlclose(handle);
  return handle;
}

TModuleHandle LoadModule(const std::string& path) {
  if (path.empty()) return nullptr;
  TModuleHandle handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) NoteError();
  return handle;
}

void FreeModule(TModuleHandle module) {
  if (module) dlclose(module);
}

void* GetModuleSymbol(TModuleHandle module, const std::string& name) {
  if (!module) return nullptr;
  void* address = dlsym(module, name.c_str());
  if (!address) NoteError();
  return address;
}

std::string LastModuleError() { return tLastError; }

}  // namespace tavix
