#include "catalog/EDP.SCH.Util.h"

#include <iterator>
#include <map>
#include <optional>

#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/IniFiles.h"

namespace tavix {

namespace {

struct TBuiltInFamily {
  const char* Family;
  const char* Vendor;
  const char* EDIF;
};

// The EDIF name is the family in upper case, except where the vendor's library keeps mixed
// case or has no EDIF library at all.
constexpr TBuiltInFamily kBuiltInFamilies[] = {
    {"ProASICPlus", "Actel", "PROASICPLUS"},
    {"ProASIC3", "Actel", "PROASIC3"},
    {"ProASIC3E", "Actel", "PROASIC3E"},
    {"IGLOO", "Actel", "IGLOO"},
    {"IGLOOE", "Actel", "IGLOOE"},
    {"IGLOOnano", "Actel", "IGLOOnano"},
    {"IGLOOPLUS", "Actel", "IGLOOPLUS"},
    {"Fusion", "Actel", "FUSION"},
    {"SmartFusion", "Actel", "SMARTFUSION"},

    {"MAX3000A", "Altera", "MAX3000A"},
    {"MAX7000AE", "Altera", "MAX7000AE"},
    {"MAX7000B", "Altera", "MAX7000B"},
    {"MAX7000S", "Altera", "MAX7000S"},
    {"MAX2", "Altera", "MAX2"},
    {"MAX5", "Altera", "MAX5"},
    {"Cyclone", "Altera", "CYCLONE"},
    {"Cyclone2", "Altera", "CYCLONE2"},
    {"Cyclone3", "Altera", "CYCLONE3"},
    {"Cyclone4E", "Altera", "CYCLONE4E"},
    {"Cyclone4GX", "Altera", "CYCLONE4GX"},
    {"Stratix", "Altera", "STRATIX"},
    {"StratixGX", "Altera", "STRATIXGX"},
    {"Stratix2", "Altera", "STRATIX2"},
    {"Stratix2GX", "Altera", "STRATIX2GX"},
    {"Stratix3", "Altera", "STRATIX3"},
    {"Stratix4", "Altera", "STRATIX4"},
    {"ArriaGX", "Altera", "ARRIAGX"},
    {"Arria2GX", "Altera", "ARRIA2GX"},
    {"Arria2GZ", "Altera", "ARRIA2GZ"},

    {"EC", "Lattice", "EC"},
    {"ECP", "Lattice", "ECP"},
    {"ECP2", "Lattice", "ECP2"},
    {"ECP2M", "Lattice", "ECP2M"},
    {"XP", "Lattice", "XP"},
    {"XP2", "Lattice", "XP2"},
    {"MachXO", "Lattice", "MACHXO"},
    {"MachXO2", "Lattice", "MACHXO2"},
    {"SC", "Lattice", "SC"},
    {"SCM", "Lattice", "SCM"},
    {"ispXPLD5000MX", "Lattice", "ISPXPLD5000MX"},
    {"ispMACH4000B", "Lattice", "ispMACH4000B"},
    {"ispMACH4000C", "Lattice", "ispMACH4000C"},
    {"ispMACH4000V", "Lattice", "ispMACH4000V"},
    {"ispMACH4000Z", "Lattice", "ispMACH4000Z"},

    {"XC9500", "Xilinx", "XC9500"},
    {"XC9500XL", "Xilinx", "XC9500XL"},
    {"XA9500XL", "Xilinx", "XA9500XL"},
    {"XC9500XV", "Xilinx", "XC9500XV"},
    {"CoolRunner2", "Xilinx", "COOLRUNNER2"},
    {"XACoolRunner2", "Xilinx", "XACOOLRUNNER2"},
    {"CoolRunnerXPLA3", "Xilinx", "COOLRUNNERXPLA3"},
    {"Spartan2", "Xilinx", "SPARTAN2"},
    {"Spartan2E", "Xilinx", "SPARTAN2E"},
    {"Spartan3", "Xilinx", "SPARTAN3"},
    {"Spartan3E", "Xilinx", "SPARTAN3E"},
    {"XASpartan3E", "Xilinx", "XASPARTAN3E"},
    {"Spartan3L", "Xilinx", "SPARTAN3L"},
    {"Spartan3A", "Xilinx", "SPARTAN3A"},
    {"XASpartan3A", "Xilinx", "XASPARTAN3A"},
    {"Spartan3ADSP", "Xilinx", "SPARTAN3ADSP"},
    {"XASpartan3ADSP", "Xilinx", "XASPARTAN3ADSP"},
    {"Spartan3AN", "Xilinx", "SPARTAN3AN"},
    {"Spartan6", "Xilinx", "SPARTAN6"},
    {"Virtex", "Xilinx", "VIRTEX"},
    {"VirtexE", "Xilinx", "VIRTEXE"},
    {"Virtex2", "Xilinx", "VIRTEX2"},
    {"Virtex2P", "Xilinx", "VIRTEX2P"},
    {"Virtex4", "Xilinx", "VIRTEX4"},
    {"Virtex5", "Xilinx", "VIRTEX5"},
    {"Virtex6", "Xilinx", "VIRTEX6"},
    {"XC17V00", "Xilinx", ""},
    {"XC18V00", "Xilinx", ""},
    {"XCF", "Xilinx", ""},

    {"BLUESTREAK", "Sharp", ""},
    {"PPC405", "AMCC", ""},
    {"Stellaris", "TexasInstruments", ""},
    {"STM32", "STMicroelectronics", ""},
};
static_assert(std::size(kBuiltInFamilies) == 77);

// The dictionary keeps the order families were first added in, for listing.
struct TFamilyRegistry {
  std::map<std::string, size_t> Index;  // exact key -> position in Entries
  std::vector<TDeviceFamilyEntry> Entries;

  void Store(const std::string& family, const TDeviceFamilyInfo& info, const std::string& source) {
    const auto [it, added] = Index.emplace(family, Entries.size());
    if (added) Entries.push_back({family, {}, false, {}});
    TDeviceFamilyEntry& entry = Entries[it->second];
    entry.Info = info;
    entry.FromExtension = !source.empty();
    entry.Source = source;
  }
};

std::optional<TFamilyRegistry>& Registry() {
  static std::optional<TFamilyRegistry> registry;
  return registry;
}

// An extension's declaration counts only when family, vendor and EDIF are all given.
void ReadExtensionConfig(TFamilyRegistry& registry, const std::string& folder) {
  const std::string file = folder + kExtensionConfigFile;
  if (!FileExists(file)) return;
  const TIniFile ini(file);
  const std::string family = ini.ReadString(kExtensionConfigSection, "DeviceFamily", "");
  const std::string vendor = ini.ReadString(kExtensionConfigSection, "DeviceVendor", "");
  const std::string edif = ini.ReadString(kExtensionConfigSection, "EDIF", "");
  if (family.empty() || vendor.empty() || edif.empty()) return;
  registry.Store(family, {vendor, edif}, file);
}

const TFamilyRegistry& FilledRegistry() {
  InitDeviceFamilies();
  return *Registry();
}

}  // namespace

void InitDeviceFamilies() {
  auto& registry = Registry();
  if (registry) return;
  TFamilyRegistry filled;
  for (const TBuiltInFamily& row : kBuiltInFamilies) filled.Store(row.Family, {row.Vendor, row.EDIF}, {});
  // Every enabled extension is visited; the last file that names a family wins.
  ForEachExtensionFolder([&](const std::string& folder) {
    ReadExtensionConfig(filled, folder);
    return true;
  });
  registry = std::move(filled);
}

std::string GetFamilyVendor(const std::string& familyName) {
  const TFamilyRegistry& registry = FilledRegistry();
  const auto it = registry.Index.find(familyName);
  return it == registry.Index.end() ? std::string() : registry.Entries[it->second].Info.VendorName;
}

bool FindDeviceFamily(const std::string& familyName, TDeviceFamilyInfo& info) {
  const TFamilyRegistry& registry = FilledRegistry();
  const auto it = registry.Index.find(familyName);
  if (it == registry.Index.end()) return false;
  info = registry.Entries[it->second].Info;
  return true;
}

std::vector<TDeviceFamilyEntry> GetDeviceFamilies() { return FilledRegistry().Entries; }

void ResetDeviceFamilies() { Registry().reset(); }

}  // namespace tavix
