// The host as a whole: installation, the entry points a module finds, device families and
// driver-module loading.
#include "SimHostTestSupport.h"

#include "jtag/Tavix.JTagInterfaces.h"
#include "platform/Files.h"

namespace tavix::sim::testing {
namespace {

TEST(HostInstallation, EntryPointsAnswerFromTheInstalledHostOnly) {
  EXPECT_FALSE(HostClient());
  {
    ScratchFolder data;
    SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual});
    EXPECT_EQ(SimHost::Current(), &host);
    EXPECT_EQ(HostClient().Dispatch(), host.ClientDispatch());
    EXPECT_EQ(HostWorkspace().Dispatch(), host.Projects().AsDispatch());
    EXPECT_EQ(HostDeviceManager().Dispatch(), host.Devices().AsDispatch());
    EXPECT_EQ(HostJTagPortCount(), 0);
    EXPECT_FALSE(HostJTagPort(0));
    // Services this host does not have.
    EXPECT_FALSE(HostTavixWorkspace());
    EXPECT_FALSE(HostLibraryManager());
    EXPECT_FALSE(HostEditVHDLSynthesizer());
    EXPECT_THROW(SimHost(SimHostOptions{.DataFolder = data.Path()}), ESimHostError);
    EXPECT_EQ(SimHost::Current(), &host);
  }
  EXPECT_EQ(SimHost::Current(), nullptr);
  EXPECT_FALSE(HostClient());
  EXPECT_FALSE(HostWorkspace());
  IDispatch* client = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(ClientAPI_GetClientInterface(&client), S_OK);
  EXPECT_EQ(client, nullptr);
}

using DeviceFamilyTest = SimHostTest;

TEST_F(DeviceFamilyTest, FamiliesAndParametersComeFromTheConfiguration) {
  const std::string file = Data.Path() + "families.ini";
  ASSERT_TRUE(WriteFileAtomically(file,
                                  "; families\n[Arria5GZ]\nND_ActiveDisengage = True\nND_ProgramBitsToIgnore=4\n"
                                  "[Cyclone3]\nND_ActiveDisengage=0\nND_ProgramBitsToIgnore=many\n"));
  Host.Families().LoadFromIni(file);

  const IDeviceFamilyManager families = IDeviceManager(HostDeviceManager()).GetDeviceFamilyManager();
  const IDeviceFamily arria = families.GetDeviceFamily("ARRIA5GZ");
  ASSERT_TRUE(arria);
  EXPECT_TRUE(arria.GetFamilyBoolean("ND_ActiveDisengage"));
  EXPECT_TRUE(arria.HasFamilyParameter("nd_programbitstoignore"));
  EXPECT_EQ(arria.GetFamilyInteger("ND_ProgramBitsToIgnore"), 4);
  // The shipped configuration is there as well.
  EXPECT_EQ(arria.Call(503983, std::string("NameUsedByVendor")).AsString(), "Arria V GZ");

  const IDeviceFamily cyclone = families.GetDeviceFamily("Cyclone3");
  EXPECT_FALSE(cyclone.GetFamilyBoolean("ND_ActiveDisengage"));
  EXPECT_FALSE(cyclone.HasFamilyParameter("Absent"));
  EXPECT_FALSE(cyclone.GetFamilyBoolean("Absent"));
  EXPECT_EQ(cyclone.GetFamilyInteger("Absent"), 0);
  try {
    cyclone.GetFamilyInteger("ND_ProgramBitsToIgnore");
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
  }
  EXPECT_FALSE(families.GetDeviceFamily("Stratix9"));
}

TEST_F(DeviceFamilyTest, ABrokenFamilyFileNamesItsLineAndAddsNothing) {
  const std::string file = Data.Path() + "families.ini";
  ASSERT_TRUE(WriteFileAtomically(file, "[Good]\nA=1\nthis line has no equals sign\n"));
  try {
    Host.Families().LoadFromIni(file);
    ADD_FAILURE();
  } catch (const ESimHostError& e) {
    EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Host.Families().Find("Good"), nullptr);
  ASSERT_TRUE(WriteFileAtomically(file, "A=1\n"));
  EXPECT_THROW(Host.Families().LoadFromIni(file), ESimHostError);
  EXPECT_THROW(Host.Families().LoadFromIni(Data.Path() + "missing.ini"), ESimHostError);
}

using DriverModuleTest = SimHostTest;

TEST_F(DriverModuleTest, LoadingFailuresSayWhatIsWrong) {
  struct Case {
    std::string Path;
    std::string Expected;
  };
  const std::string notElf = Data.Path() + "NotElf.TVX";
  ASSERT_TRUE(WriteFileAtomically(notElf, "text, not a shared object"));
  const std::vector<Case> cases = {
      {Data.Path() + "Missing.TVX", "not found"},
      {notElf, "cannot load driver module"},
      // A shared object that is no driver module.
      {Host.ProgramFolder() + "WorkspaceManager.DLL", "has no export GetTavixDriverCount"},
  };
  for (const Case& c : cases) {
    try {
      Host.LoadDriverModule(c.Path);
      ADD_FAILURE() << c.Path;
    } catch (const ESimHostError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace tavix::sim::testing
