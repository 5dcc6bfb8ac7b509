// The host's options: a store of texts keyed by server, section and key (each compared
// without regard to case), reached through the options manager's readers and writers and
// saved to / loaded from an XML file.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

class OptionsStore {
 public:
  std::optional<std::string> Value(const std::string& server, const std::string& section, const std::string& key) const;
  void SetValue(const std::string& server, const std::string& section, const std::string& key, const std::string& value);
  // Booleans are stored as "True" / "False"; any other text reads as the default.
  bool ReadBoolean(const std::string& server, const std::string& section, const std::string& key, bool fallback) const;
  void WriteBoolean(const std::string& server, const std::string& section, const std::string& key, bool value);
  size_t Count() const { return FValues.size(); }
  void Clear();
  // Changed since it was last loaded or saved.
  bool Modified() const { return FModified; }

  // Writes the whole store; the file is replaced only once the new one is complete.
  // Raises ESimHostError when it cannot be written.
  void SaveToFile(const std::string& path);
  // Replaces the store by the file's content. A file that cannot be read or parsed raises
  // ESimHostError and leaves the store as it was.
  void LoadFromFile(const std::string& path);

 private:
  struct NoCase {
    bool operator()(const std::tuple<std::string, std::string, std::string>& a,
                    const std::tuple<std::string, std::string, std::string>& b) const;
  };
  using Map = std::map<std::tuple<std::string, std::string, std::string>, std::string, NoCase>;
  Map FValues;
  bool FModified = false;
};

// Reader (DISPID 273 ReadBoolean) or writer (DISPID 281 WriteBoolean) of one server's options.
class OptionsAccess : public HostObject {
 public:
  OptionsAccess(std::shared_ptr<OptionsStore> store, std::string server, bool writer);
  const std::string& Server() const { return FServer; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::shared_ptr<OptionsStore> FStore;
  std::string FServer;
  bool FWriter;
};

class OptionsManager : public HostObject {
 public:
  OptionsManager() : FStore(std::make_shared<OptionsStore>()) {}
  OptionsStore& Store() { return *FStore; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::shared_ptr<OptionsStore> FStore;
};

}  // namespace tavix::sim
