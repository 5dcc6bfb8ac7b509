// The host's device manager: device families with their parameters, taken from the host's
// configuration (an INI file whose sections are family names and whose keys are parameters)
// or set through the API. The JTAG ports live beside it in the TavixManager module's entries.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

// Orders texts without regard to case.
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

class DeviceFamily : public HostObject {
 public:
  explicit DeviceFamily(std::string name) : FName(std::move(name)) {}
  const std::string& Name() const { return FName; }

  void SetParameter(const std::string& name, const std::string& value);
  std::optional<std::string> Parameter(const std::string& name) const;
  // The typed readings the host answers; an absent parameter reads as false / 0 / "".
  // A value that is no Boolean or no integer raises DISP_E_TYPEMISMATCH.
  bool GetBoolean(const std::string& name) const;
  int32_t GetInteger(const std::string& name) const;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::string FName;
  std::map<std::string, std::string, NoCaseLess> FParameters;
};

class DeviceFamilyManager : public HostObject {
 public:
  // The family of that name (compared without regard to case), created when new.
  DeviceFamily& Define(const std::string& name);
  DeviceFamily* Find(const std::string& name) const;
  size_t Count() const { return FFamilies.size(); }
  // Adds the families of an INI file ([family] sections, parameter=value lines); later values
  // replace earlier ones. Raises ESimHostError naming the file and line of a syntax error, or
  // when the file cannot be read.
  void LoadFromIni(const std::string& path);

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::map<std::string, ComPtr<DeviceFamily>, NoCaseLess> FFamilies;
};

class DeviceManager : public HostObject {
 public:
  DeviceManager() : FFamilies(MakeHostObject<DeviceFamilyManager>()) {}
  DeviceFamilyManager& Families() { return *FFamilies.Get(); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  ComPtr<DeviceFamilyManager> FFamilies;
};

}  // namespace tavix::sim
