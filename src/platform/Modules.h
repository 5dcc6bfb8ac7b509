// Dynamic libraries, through the system's loader.
#pragma once

#include <string>

namespace tavix {

using TModuleHandle = void*;

// The handle of a library already loaded into the process under that file or SONAME, or null.
// No reference is taken: the library stays loaded as long as whoever loaded it keeps it.
TModuleHandle GetLoadedModule(const std::string& name);
// Loads a library by path (its dependencies resolved now) and answers its handle, or null;
// LastModuleError then says why.
TModuleHandle LoadModule(const std::string& path);
void FreeModule(TModuleHandle module);
void* GetModuleSymbol(TModuleHandle module, const std::string& name);
std::string LastModuleError();

}  // namespace tavix
