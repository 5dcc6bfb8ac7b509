// The device-family registry: built-in families and those installed extensions declare.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "../support/FakeHost.h"
#include "../support/TempFolder.h"
#include "catalog/EDP.SCH.Util.h"

namespace tavix {
namespace {

using test::TFakeHost;
using test::TTempFolder;

class DeviceFamilyRegistryTest : public testing::Test {
 protected:
  void SetUp() override { ResetDeviceFamilies(); }
  void TearDown() override { ResetDeviceFamilies(); }

  // An extension folder holding a "TavixConfig.ini" with these lines in section "General".
  std::string Extension(const std::string& name, const std::string& general) {
    return FFolder.Write(name + "/TavixConfig.ini", "[General]\n" + general);
  }
  std::string FolderOf(const std::string& name) { return FFolder / (name + "/"); }

  TTempFolder FFolder;
};

TEST_F(DeviceFamilyRegistryTest, BuiltInFamiliesAreFoundByTheirExactName) {
  const std::pair<const char*, const char*> cases[] = {
      {"Cyclone3", "Altera"}, {"cyclone3", ""},          {"CYCLONE3", ""},
      {"IGLOOnano", "Actel"}, {"Spartan6", "Xilinx"},    {"ispMACH4000Z", "Lattice"},
      {"STM32", "STMicroelectronics"}, {"Stellaris", "TexasInstruments"}, {"BLUESTREAK", "Sharp"},
      {"PPC405", "AMCC"},     {"Arria5GZ", ""},          {"", ""}};
  for (const auto& [family, vendor] : cases) EXPECT_EQ(GetFamilyVendor(family), vendor) << family;
}

TEST_F(DeviceFamilyRegistryTest, BuiltInTableHasItsRowsInOrderWithTheirEdifNames) {
  const auto families = GetDeviceFamilies();  // no host: built-in rows only
  ASSERT_EQ(families.size(), 77u);
  EXPECT_EQ(families.front().FamilyName, "ProASICPlus");
  EXPECT_EQ(families.back().FamilyName, "STM32");
  std::map<std::string, int> perVendor;
  for (const auto& entry : families) {
    ++perVendor[entry.Info.VendorName];
    EXPECT_FALSE(entry.FromExtension);
  }
  EXPECT_EQ(perVendor, (std::map<std::string, int>{{"Actel", 9}, {"Altera", 20}, {"Lattice", 15}, {"Xilinx", 29},
                                                   {"Sharp", 1}, {"AMCC", 1}, {"TexasInstruments", 1},
                                                   {"STMicroelectronics", 1}}));
  const std::pair<const char*, const char*> edif[] = {
      {"ProASICPlus", "PROASICPLUS"}, {"IGLOOnano", "IGLOOnano"}, {"ispMACH4000B", "ispMACH4000B"},
      {"ispXPLD5000MX", "ISPXPLD5000MX"}, {"MachXO2", "MACHXO2"}, {"XC17V00", ""}, {"XCF", ""},
      {"Stellaris", ""}, {"Arria2GZ", "ARRIA2GZ"}};
  for (const auto& [family, expected] : edif) {
    TDeviceFamilyInfo info;
    ASSERT_TRUE(FindDeviceFamily(family, info)) << family;
    EXPECT_EQ(info.EDIF, expected) << family;
  }
}

TEST_F(DeviceFamilyRegistryTest, ExtensionsDeclareAndReplaceFamilies) {
  TFakeHost host;
  Extension("arria", "DeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=ARRIA5GZ\n");
  Extension("spartan", "devicefamily = Spartan6\nDEVICEVENDOR=Other\nEdif=SPARTAN6X\n");
  Extension("noedif", "DeviceFamily=Cyclone3\nDeviceVendor=Nobody\n");
  Extension("emptyvendor", "DeviceFamily=Virtex6\nDeviceVendor=\nEDIF=VIRTEX6\n");
  Extension("disabled", "DeviceFamily=Stratix\nDeviceVendor=Disabled\nEDIF=STRATIX\n");
  FFolder.Folder("noconfig");
  host.AddExtension(FolderOf("arria"));
  host.AddExtension(FolderOf("spartan"));
  host.AddExtension(FolderOf("noedif"));
  host.AddExtension(FolderOf("emptyvendor"));
  host.AddExtension(FolderOf("disabled"), /*disabled=*/true);
  host.AddExtension(FolderOf("noconfig"));
  host.AddExtension(FFolder / "absent");

  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "Altera");
  EXPECT_EQ(GetFamilyVendor("arria5gz"), "");
  EXPECT_EQ(GetFamilyVendor("Spartan6"), "Other");
  EXPECT_EQ(GetFamilyVendor("Cyclone3"), "Altera");  // the file without EDIF adds nothing
  EXPECT_EQ(GetFamilyVendor("Virtex6"), "Xilinx");
  EXPECT_EQ(GetFamilyVendor("Stratix"), "Altera");

  const auto families = GetDeviceFamilies();
  ASSERT_EQ(families.size(), 78u);
  const auto& spartan = *std::find_if(families.begin(), families.end(),
                                      [](const auto& e) { return e.FamilyName == "Spartan6"; });
  EXPECT_TRUE(spartan.FromExtension);
  EXPECT_EQ(spartan.Info.EDIF, "SPARTAN6X");
  EXPECT_EQ(spartan.Source, FolderOf("spartan") + "TavixConfig.ini");
  EXPECT_EQ(families.back().FamilyName, "Arria5GZ");
  EXPECT_TRUE(families.back().FromExtension);
}

TEST_F(DeviceFamilyRegistryTest, LastDeclaringFileWins) {
  TFakeHost host;
  Extension("first", "DeviceFamily=Arria5GZ\nDeviceVendor=First\nEDIF=A\n");
  Extension("second", "DeviceFamily=Arria5GZ\nDeviceVendor=Second\nEDIF=B\n");
  host.AddExtension(FolderOf("first"));
  host.AddExtension(FolderOf("second"));
  TDeviceFamilyInfo info;
  ASSERT_TRUE(FindDeviceFamily("Arria5GZ", info));
  EXPECT_EQ(info.VendorName, "Second");
  EXPECT_EQ(info.EDIF, "B");
}

TEST_F(DeviceFamilyRegistryTest, FilledOnceOnTheFirstLookUp) {
  TFakeHost host;
  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "");
  Extension("late", "DeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=ARRIA5GZ\n");
  host.AddExtension(FolderOf("late"));
  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "");  // a file added later is not seen
  EXPECT_EQ(host.Registry->CallsOf(2017).size(), 1u);
  ResetDeviceFamilies();
  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "Altera");
}

}  // namespace
}  // namespace tavix
