#include "simhost/SimHost.Devices.h"

#include <ini.h>

#include <charconv>

#include "platform/Files.h"

namespace tavix::sim {

// ---- DeviceFamily ----

void DeviceFamily::SetParameter(const std::string& name, const std::string& value) {
  if (Trim(name).empty()) throw ESimHostError("a family parameter needs a name");
  FParameters[Trim(name)] = Trim(value);
}

std::optional<std::string> DeviceFamily::Parameter(const std::string& name) const {
  const auto it = FParameters.find(name);
  if (it == FParameters.end()) return std::nullopt;
  return it->second;
}

bool DeviceFamily::GetBoolean(const std::string& name) const {
  const std::optional<std::string> value = Parameter(name);
  if (!value) return false;
  for (const char* yes : {"True", "Yes", "On", "1"})
    if (SameText(*value, yes)) return true;
  for (const char* no : {"False", "No", "Off", "0", ""})
    if (SameText(*value, no)) return false;
  throw EOleError(DISP_E_TYPEMISMATCH, "family parameter " + name + " is no Boolean");
}

int32_t DeviceFamily::GetInteger(const std::string& name) const {
  const std::optional<std::string> value = Parameter(name);
  if (!value) return 0;
  int32_t number = 0;
  const char* end = value->data() + value->size();
  const auto [ptr, ec] = std::from_chars(value->data(), end, number);
  if (ec != std::errc() || ptr != end || value->empty())
    throw EOleError(DISP_E_TYPEMISMATCH, "family parameter " + name + " is no integer");
  return number;
}

bool DeviceFamily::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 503984:  // GetFamilyBoolean(parameter)
      SetResultBool(result, GetBoolean(args.Str(0)));
      return true;
    case 503985:  // GetFamilyInteger(parameter)
      SetResultInt(result, GetInteger(args.Str(0)));
      return true;
    case 503994:  // HasFamilyParameter(parameter)
      SetResultBool(result, Parameter(args.Str(0)).has_value());
      return true;
    case 503983:  // GetFamilyProperty(name) -> text
      SetResultString(result, Parameter(args.Str(0)).value_or(std::string()));
      return true;
    default:
      return false;
  }
}

// ---- DeviceFamilyManager ----

DeviceFamily& DeviceFamilyManager::Define(const std::string& name) {
  const std::string key = Trim(name);
  if (key.empty()) throw ESimHostError("a device family needs a name");
  ComPtr<DeviceFamily>& family = FFamilies[key];
  if (!family) family = MakeHostObject<DeviceFamily>(key);
  return *family.Get();
}

DeviceFamily* DeviceFamilyManager::Find(const std::string& name) const {
  const auto it = FFamilies.find(Trim(name));
  return it == FFamilies.end() ? nullptr : it->second.Get();
}

void DeviceFamilyManager::LoadFromIni(const std::string& path) {
  std::string text;
  if (!ReadFileText(path, text)) throw ESimHostError("cannot read the device family file " + path);
  // Parse into a staging list first so that a broken file adds nothing.
  struct Entry {
    std::string Family, Name, Value;
  };
  struct Staging {
    std::vector<Entry> Entries;
    bool MissingSection = false;
  } staging;
  const int line = ini_parse_string(
      text.c_str(),
      [](void* user, const char* section, const char* name, const char* value) -> int {
        auto* s = static_cast<Staging*>(user);
        if (!name) return 1;  // a section header on its own
        if (!section || !*section) {
          s->MissingSection = true;
          return 0;
        }
        s->Entries.push_back({section, name, value ? value : ""});
        return 1;
      },
      &staging);
  if (line != 0)
    throw ESimHostError("device family file " + path + ", line " + std::to_string(line) +
                        (staging.MissingSection ? ": parameter outside a [family] section" : ": syntax error"));
  for (const Entry& e : staging.Entries) Define(e.Family).SetParameter(e.Name, e.Value);
}

bool DeviceFamilyManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id != 503996) return false;  // GetDeviceFamily(name): none for a family the host does not know
  DeviceFamily* family = Find(args.Str(0));
  SetResultDispatch(result, family ? family->AsDispatch() : nullptr);
  return true;
}

// ---- DeviceManager ----

bool DeviceManager::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  if (id != 504014) return false;  // GetDeviceFamilyManager
  SetResultDispatch(result, FFamilies->AsDispatch());
  return true;
}

}  // namespace tavix::sim
