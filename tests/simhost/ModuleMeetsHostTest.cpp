// The module's own host utilities run against the stand-in host: what they send is what the
// host shows.
#include "SimHostTestSupport.h"

#include "catalog/EDP.SCH.Util.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"

namespace tavix::sim::testing {
namespace {

using ModuleMeetsHostTest = SimHostTest;

TEST_F(ModuleMeetsHostTest, ProgressOfTheModuleIsTheHostsProgressBar) {
  BeginProgress("Programming Device Via JTAG...", 10);
  for (int i = 0; i < 4; ++i) StepProgress();
  EXPECT_TRUE(Host.Gui().ProgressActive());
  EXPECT_EQ(Host.Gui().ProgressPercent(), 40);
  EXPECT_EQ(Host.Gui().ProgressText(), "Programming Device Via JTAG...");
  EndProgress();
  EXPECT_FALSE(Host.Gui().ProgressActive());
  EXPECT_EQ(Host.Gui().StatusCalls().size(), 2u + 40u + 2u);
}

TEST_F(ModuleMeetsHostTest, FamiliesDeclaredByAnExtensionInstalledInTheHost) {
  ScratchFolder extension;
  ASSERT_TRUE(WriteFileAtomically(extension.Path() + "TavixConfig.ini",
                                  "[General]\nDeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=ARRIA5GZ\n"));
  Host.InstallExtension(extension.Path());
  ResetDeviceFamilies();
  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "Altera");
  // A disabled extension is skipped by the module, not by the host.
  Host.Plugins().Item(0).SetDisabled(true);
  ResetDeviceFamilies();
  EXPECT_EQ(GetFamilyVendor("Arria5GZ"), "");
  ResetDeviceFamilies();
}

}  // namespace
}  // namespace tavix::sim::testing
