// The host's plug-ins registry: the extension folders installed into the host, in installation
// order, each with its disabled flag. The registry reports the flag; callers decide what to skip.
#pragma once

#include <string>
#include <vector>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

class PluginItem : public HostObject {
 public:
  PluginItem(std::string folder, bool disabled) : FFolder(std::move(folder)), FDisabled(disabled) {}
  const std::string& Folder() const { return FFolder; }
  bool Disabled() const { return FDisabled; }
  void SetDisabled(bool disabled) { FDisabled = disabled; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::string FFolder;  // absolute, with a trailing "/"
  bool FDisabled;
};

class PluginsRegistry : public HostObject {
 public:
  // Installs an existing folder (made absolute, with a trailing "/"); installing a folder
  // twice keeps the first entry. Raises ESimHostError for a folder that does not exist.
  PluginItem& Install(const std::string& folder, bool disabled = false);
  size_t Count() const { return FItems.size(); }
  PluginItem& Item(size_t index) { return *FItems.at(index).Get(); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::vector<ComPtr<PluginItem>> FItems;
};

}  // namespace tavix::sim
