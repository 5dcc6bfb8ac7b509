#include "simhost/SimHost.Plugins.h"

#include <filesystem>

#include "platform/Files.h"

namespace tavix::sim {

bool PluginItem::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  switch (id) {
    case 2009:  // folder
      SetResultString(result, FFolder);
      return true;
    case 2010:  // disabled flag: non-zero means the extension is switched off
      SetResultInt(result, FDisabled ? 1 : 0);
      return true;
    default:
      return false;
  }
}

PluginItem& PluginsRegistry::Install(const std::string& folder, bool disabled) {
  namespace fs = std::filesystem;
  if (folder.empty() || !DirectoryExists(folder)) throw ESimHostError("extension folder " + folder + " does not exist");
  std::error_code ec;
  const fs::path absolute = fs::absolute(fs::path(folder), ec).lexically_normal();
  const std::string name = IncludeTrailingPathDelimiter(ec ? folder : absolute.string());
  for (const ComPtr<PluginItem>& item : FItems)
    if (item->Folder() == name) return *item.Get();
  FItems.push_back(MakeHostObject<PluginItem>(name, disabled));
  return *FItems.back().Get();
}

bool PluginsRegistry::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 2017:  // count
      SetResultInt(result, static_cast<int32_t>(FItems.size()));
      return true;
    case 2018: {  // item(index)
      const int32_t index = args.Int(0);
      Expect(index >= 0 && static_cast<size_t>(index) < FItems.size(), "plug-in index out of range");
      SetResultDispatch(result, FItems[static_cast<size_t>(index)]->AsDispatch());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tavix::sim
