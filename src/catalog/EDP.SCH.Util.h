// The registry of device families: family name (compared exactly, case included) to vendor and
// EDIF library name. Built-in families plus those that installed extensions declare in their
// "TavixConfig.ini"; filled on the first look-up and fixed from then on.
#pragma once

#include <string>
#include <vector>

namespace tavix {

struct TDeviceFamilyInfo {
  std::string VendorName;
  std::string EDIF;
};

// One registry entry as listed for people (`tavix families`).
struct TDeviceFamilyEntry {
  std::string FamilyName;
  TDeviceFamilyInfo Info;
  bool FromExtension = false;  // declared (or replaced) by an extension's configuration file
  std::string Source;          // that configuration file, empty for a built-in row
};

// Fills the registry unless it is filled already.
void InitDeviceFamilies();
// The vendor stored under that exact family name, or empty.
std::string GetFamilyVendor(const std::string& familyName);
// The whole entry; false when no one declares the family.
bool FindDeviceFamily(const std::string& familyName, TDeviceFamilyInfo& info);
// Every entry: the built-in rows in table order, then the families extensions add, in the
// order first declared.
std::vector<TDeviceFamilyEntry> GetDeviceFamilies();

// Forgets the registry so that the next look-up fills it again (for tests).
void ResetDeviceFamilies();

// The file name and keys an extension declares a family with.
inline constexpr const char* kExtensionConfigFile = "TavixConfig.ini";
inline constexpr const char* kExtensionConfigSection = "General";

}  // namespace tavix
